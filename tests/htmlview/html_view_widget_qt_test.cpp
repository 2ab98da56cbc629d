#include "htmlview/archive_page_widget.h"
#include "htmlview/html_view_widget.h"
#include "platform/qt_text.h"
#include "tests/data/test_zip_writer.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace orbita {
namespace {

// Text written in UTF-8 here, handed to the view as Windows-1250 as the program does.
std::string Cp(const char* utf8)
{
    return ToCp1250(QString::fromUtf8(utf8));
}

// `count` numbered paragraphs, with `middle` after the one in the middle.
std::string Paragraphs(int count, const std::string& middle = {})
{
    std::string page;
    for (int i = 0; i < count; ++i) {
        page += "<p>linia " + std::to_string(i);
        if (i == count / 2)
            page += middle;
    }
    return page;
}

// A page tall enough to scroll.
std::string TallPage(int count, const std::string& middle = {})
{
    return "<html><body>" + Paragraphs(count, middle) + "</body></html>";
}

// Pixels of the view's viewport that differ from the page background.
int InkedPixels(ThtmlLite& view)
{
    const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb background = 0xFF000000u | view.Layout().background;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) != background ? 1 : 0;
    return count;
}

class HtmlViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(400, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, 30000));
    }
    // The centre of a page rectangle, in viewport coordinates.
    QPoint centreOf(const html::Rect& rect) const
    {
        return view.ViewportPoint(QPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
    }
    // The page top of the first text line holding `word`.
    int lineTopOf(const std::string& word) const
    {
        const html::PageLayout& layout = view.Layout();
        const std::size_t at = layout.text.find(word);
        for (const html::TextLine& line : layout.lines)
            if (at >= line.textStart && at < line.textStart + line.textLength)
                return line.rect.y;
        ADD_FAILURE() << "no line holds " << word;
        return -1;
    }

    ThtmlLite view;
};

TEST_F(HtmlViewTest, DefaultsOfTheProperties)
{
    ThtmlLite fresh;
    EXPECT_EQ(fresh.DefBackground(), clBtnFace);
    EXPECT_EQ(fresh.DefFontName(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(fresh.DefPreFontName(), QStringLiteral("Courier New"));
    EXPECT_EQ(fresh.DefFontSize(), 12);
    EXPECT_EQ(fresh.DefFontColor(), clBtnText);
    EXPECT_EQ(fresh.DefHotSpotColor(), clBlue);
    EXPECT_FALSE(fresh.NoSelect());
    EXPECT_EQ(fresh.MarginWidth(), 10);
    EXPECT_EQ(fresh.MarginHeight(), 5);
    fresh.SetBorderStyle(THTMLBorderStyle::htNone);
    EXPECT_EQ(fresh.frameShape(), QFrame::NoFrame);
}

TEST_F(HtmlViewTest, RefreshAppliesTheDefaultProperties)
{
    const std::string page = "<p>tekst <a href=x.htm>odnośnik</a>" + Paragraphs(30);
    view.LoadFromText(Cp(page.c_str()));
    const int height = view.Layout().height;
    ASSERT_FALSE(view.Document().links.empty());

    // Colours are 0x00BBGGRR; the page engine works in 0xRRGGBB.
    view.SetDefBackground(0x00332211);
    view.SetDefFontColor(0x00000080);
    view.SetDefHotSpotColor(0x00008000);
    view.SetDefFontSize(24);
    view.SetDefFontName(QStringLiteral("Arial"));
    EXPECT_EQ(view.Layout().height, height); // nothing changes before Refresh
    view.SetVScrollBarPosition(40);
    view.Refresh();
    EXPECT_EQ(view.Layout().background, 0x112233u);
    const html::Font& body = view.Document().fonts.at(0);
    EXPECT_EQ(body.colour, 0x800000u);
    EXPECT_EQ(body.points, 24);
    EXPECT_EQ(body.face, "Arial");
    bool linkColoured = false;
    for (const html::Font& font : view.Document().fonts)
        linkColoured = linkColoured || (font.underline && font.colour == 0x008000u);
    EXPECT_TRUE(linkColoured);
    EXPECT_GT(view.Layout().height, height);
    EXPECT_EQ(view.VScrollBarPosition(), 40); // Refresh keeps the place

    // A page's own colours win; margins move the text.
    view.LoadFromText("<body bgcolor=\"#C0FFEE\"><p>x");
    EXPECT_EQ(view.Layout().background, 0xC0FFEEu);
    view.SetMarginWidth(40);
    view.SetMarginHeight(30);
    view.Refresh();
    ASSERT_FALSE(view.Layout().lines.empty());
    EXPECT_EQ(view.Layout().lines.front().rect.x, 40);
    EXPECT_GE(view.Layout().lines.front().rect.y, 30);
}

TEST_F(HtmlViewTest, LoadTakesTheTitleAndClearEmptiesTheView)
{
    view.LoadFromText(
        Cp("<html><head><title>Układ okresowy</title></head><body><p>Pierwiastki</body></html>"));
    EXPECT_EQ(view.DocumentTitle(), Cp("Układ okresowy"));
    EXPECT_NE(view.Layout().text.find("Pierwiastki"), std::string::npos);
    EXPECT_TRUE(view.ErrorText().empty());

    view.Clear();
    EXPECT_TRUE(view.DocumentTitle().empty());
    EXPECT_TRUE(view.Layout().text.empty());
    EXPECT_EQ(view.VScrollBarRange(), 0);

    // From a stream: the same page; a page without a title has none.
    std::istringstream stream(Cp("<title>Tytuł</title>Treść strony"));
    view.LoadFromStream(stream);
    EXPECT_EQ(view.DocumentTitle(), Cp("Tytuł"));
    EXPECT_NE(view.Layout().text.find(Cp("Treść")), std::string::npos);
    view.LoadFromText("<p>bez tytu&#179;u");
    EXPECT_TRUE(view.DocumentTitle().empty());
}

TEST_F(HtmlViewTest, LoadScrollsToTheTopAndTheRangeFollowsTheDocument)
{
    view.LoadFromText(TallPage(200));
    const int range = view.VScrollBarRange();
    EXPECT_EQ(range, view.Layout().height - view.viewport()->height());
    ASSERT_GT(range, 1000);
    EXPECT_TRUE(view.verticalScrollBar()->isVisible());

    struct Row {
        int set;
        int expected;
    };
    for (const Row& row :
        { Row { 100, 100 }, Row { -5, 0 }, Row { range + 50, range }, Row { range, range } }) {
        view.SetVScrollBarPosition(row.set);
        EXPECT_EQ(view.VScrollBarPosition(), row.expected) << row.set;
    }
    view.LoadFromText(TallPage(150));
    EXPECT_EQ(view.VScrollBarPosition(), 0);

    // A short page needs no bar.
    view.LoadFromText("<p>krótko");
    EXPECT_EQ(view.VScrollBarRange(), 0);
    EXPECT_FALSE(view.verticalScrollBar()->isVisible());
}

TEST_F(HtmlViewTest, FindGoesForwardFromThePreviousMatchWithoutWrapping)
{
    struct Step {
        const char* text;
        bool matchCase;
        bool found;
        const char* selected; // what the match selects
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases {
        { "any case, three matches then none",
            { { "alfa", false, true, "alfa" }, { "alfa", false, true, "Alfa" },
                { "alfa", false, true, "ALFA" }, { "alfa", false, false, "" },
                { "alfa", false, false, "" } } },
        { "match case finds only the exact one",
            { { "Alfa", true, true, "Alfa" }, { "Alfa", true, false, "" } } },
        { "the next search starts after the previous match, whatever its text",
            { { "gamma", false, true, "gamma" }, { "alfa", false, true, "ALFA" },
                { "beta", false, false, "" } } },
        { "a phrase across a line break of the page",
            { { "koniec pierwszej", false, true, "koniec\npierwszej" } } },
        { "nothing to find", { { "omega", false, false, "" } } },
    };
    for (const Case& c : cases) {
        view.LoadFromText("<p>alfa beta Alfa gamma ALFA<p>koniec<br>pierwszej");
        for (const Step& step : c.steps) {
            EXPECT_EQ(view.Find(step.text, step.matchCase), step.found) << c.name << ": " << step.text;
            if (step.found) {
                EXPECT_EQ(view.SelectedText(), step.selected) << c.name << ": " << step.text;
            }
        }
    }
}

TEST_F(HtmlViewTest, FindScrollsAMatchOutOfViewToMidHeight)
{
    const int visible = view.viewport()->height();
    view.LoadFromText(TallPage(200, " szukane"));
    const int top = lineTopOf("szukane");
    ASSERT_GT(top, visible);

    // Below the visible area: put at mid-height.
    ASSERT_TRUE(view.Find("szukane", false));
    EXPECT_EQ(view.VScrollBarPosition(), top - visible / 2);

    struct Row {
        const char* name;
        int position; // before the search
        bool scrolls;
    };
    const std::vector<Row> rows {
        { "well inside the view stays", top - visible / 3, false },
        { "40 pixels above the bottom stays", top - visible + 40, false },
        { "10 pixels above the bottom is scrolled", top - visible + 10, true },
        { "above the view is scrolled", top + 30, true },
    };
    for (const Row& row : rows) {
        view.LoadFromText(TallPage(200, " szukane"));
        view.SetVScrollBarPosition(row.position);
        ASSERT_TRUE(view.Find("szukane", false)) << row.name;
        EXPECT_EQ(view.VScrollBarPosition(), row.scrolls ? top - visible / 2 : row.position) << row.name;
    }
}

TEST_F(HtmlViewTest, SelectAllAndCopyGiveThePageTextInUnicode)
{
    view.LoadFromText(Cp("<p>Zażółć gęślą jaźń<p>drugi akapit"));
    QGuiApplication::clipboard()->setText(QStringLiteral("poprzednio"));

    // NoSelect set: both do nothing.
    view.SetNoSelect(true);
    view.SelectAll();
    view.CopyToClipboard();
    EXPECT_TRUE(view.SelectedText().empty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("poprzednio"));

    view.SetNoSelect(false);
    view.SelectAll();
    view.CopyToClipboard();
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied, FromCp1250(view.Layout().text));
    EXPECT_TRUE(copied.contains(QString::fromUtf8("Zażółć gęślą jaźń"))) << copied.toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("drugi akapit")));
    EXPECT_LT(copied.indexOf(QStringLiteral("jaź")), copied.indexOf(QStringLiteral("drugi")));
}

TEST_F(HtmlViewTest, MouseDragSelectsTextUnlessNoSelect)
{
    view.LoadFromText("<p>pierwsze drugie trzecie");
    ASSERT_FALSE(view.Layout().lines.empty());
    const html::TextLine& line = view.Layout().lines.front();
    const QPoint left = view.ViewportPoint(QPoint(line.rect.x + 1, line.rect.y + line.rect.height / 2));
    const QPoint right
        = view.ViewportPoint(QPoint(line.rect.right() + 5, line.rect.y + line.rect.height / 2));
    for (bool noSelect : { false, true }) {
        view.SetNoSelect(noSelect);
        view.LoadFromText("<p>pierwsze drugie trzecie");
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, left);
        QMouseEvent move(QEvent::MouseMove, QPointF(right), view.viewport()->mapToGlobal(QPointF(right)),
            Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, right);
        EXPECT_EQ(view.SelectedText(), noSelect ? "" : "pierwsze drugie trzecie") << noSelect;
    }
}

TEST_F(HtmlViewTest, HotSpotClickGivesTheTargetAndScrollsToUnhandledAnchors)
{
    const std::string page
        = "<p><a href=\"Strona.HTM\">dalej</a> <a href=\"#Dol\">na dół</a> <a href=\"#brak\">nic</a>"
        + Paragraphs(120) + "<p><a name=\"dol\"></a>tu jest dół" + Paragraphs(120);
    struct Row {
        int link; // index of the link area clicked
        bool handle; // the handler sets Handled
        std::string expectedSrc;
        bool scrolls;
    };
    const std::vector<Row> rows {
        { 0, false, "Strona.HTM", false },
        { 1, false, "#Dol", true },
        { 1, true, "#Dol", false },
        { 2, false, "#brak", false },
    };
    for (const Row& row : rows) {
        view.LoadFromText(Cp(page.c_str()));
        std::vector<std::string> clicked;
        view.OnHotSpotClick = [&](ThtmlLite* sender, const std::string& src, bool& handled) {
            EXPECT_EQ(sender, &view);
            clicked.push_back(src);
            handled = row.handle;
        };
        html::Rect area;
        for (const html::LinkArea& candidate : view.Layout().linkAreas)
            if (candidate.link == static_cast<html::LinkId>(row.link))
                area = candidate.rect;
        ASSERT_GT(area.width, 0) << row.expectedSrc;
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centreOf(area));
        ASSERT_EQ(clicked.size(), 1u) << row.expectedSrc;
        EXPECT_EQ(clicked.front(), row.expectedSrc);
        const int anchorTop = view.Layout().anchorY.at(0);
        EXPECT_EQ(view.VScrollBarPosition(), row.scrolls ? anchorTop : 0) << row.expectedSrc;
        if (row.scrolls) {
            EXPECT_EQ(lineTopOf(Cp("tu jest dół")), anchorTop);
        }
    }

    // A click beside the links raises nothing; the hand shows over a link only.
    int count = 0;
    view.OnHotSpotClick = [&](ThtmlLite*, const std::string&, bool&) { ++count; };
    view.LoadFromText("<p><a href=\"x.htm\">link</a><p>zwykły tekst");
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(390, 290));
    EXPECT_EQ(count, 0);
    const QPoint overLink = centreOf(view.Layout().linkAreas.at(0).rect);
    QTest::mouseMove(view.viewport(), overLink);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(view.viewport(), QPoint(390, 290));
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::ArrowCursor);
}

// Asking for a picture may dispatch messages (the content archive does while
// it extracts): a Ctrl+A and a paint handled then meet the page shown so
// far, whole, and a page set meanwhile is the one that stays.
TEST_F(HtmlViewTest, MessagesDispatchedWhileAPictureIsFetchedMeetAWholePage)
{
    view.LoadFromText("<p><b>gruby</b> <i>pochyly</i> <font size=7>duzy</font> <tt>staly</tt> "
                      "<b><i><font size=1>maly</font></i></b></p>");
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "BMP"));
    int requests = 0;
    view.OnImageRequest = [&](ThtmlLite*, const std::string& src, std::optional<std::string>& stream) {
        ++requests;
        stream = bytes.toStdString();
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        EXPECT_NO_THROW(view.grab());
        if (src == "pierwszy.bmp")
            view.LoadFromText("<p>Strona ustawiona w miedzyczasie <img src=\"drugi.bmp\"></p>");
    };
    view.LoadFromText("<p>Zwykly tekst <img src=\"pierwszy.bmp\"></p>");
    EXPECT_EQ(requests, 2);
    EXPECT_NE(view.Layout().text.find("w miedzyczasie"), std::string::npos) << view.Layout().text;
    EXPECT_EQ(view.Layout().text.find("Zwykly"), std::string::npos);
    view.SelectAll();
    EXPECT_NO_THROW(view.grab());
}

TEST_F(HtmlViewTest, ImageMapAreasAreHotSpots)
{
    QImage picture(40, 44, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "BMP"));
    view.OnImageRequest = [&](ThtmlLite*, const std::string&, std::optional<std::string>& stream) {
        stream = bytes.toStdString();
    };
    std::vector<std::string> clicked;
    view.OnHotSpotClick = [&](ThtmlLite*, const std::string& src, bool& handled) {
        clicked.push_back(src);
        handled = true;
    };
    view.LoadFromText(
        "<p><img src=\"mapa.bmp\" usemap=\"#MAPA\"><map name=\"mapa\">"
        "<area shape=\"poly\" coords=\"24,26, 30,30, 22,40, 15,35, 24,26\" href=\"wielokat.htm\">"
        "<area shape=\"rect\" coords=\"12,1, 30,18\" href=\"prostokat.htm\">"
        "<area shape=\"rect\" coords=\"0,0, 10,10\" nohref>"
        "<area shape=\"circle\" coords=\"9.5,22, 9\" href=\"kolo.htm\">"
        "<area shape=\"rect\" coords=\"0,0, 39,43\" href=\"reszta.htm\">"
        "</map>");
    ASSERT_EQ(view.Layout().images.size(), 1u);
    const html::Rect placed = view.Layout().images.front().rect;
    ASSERT_EQ(placed.width, 40);
    struct Row {
        int x;
        int y; // in the picture's pixels
        const char* expected; // nullptr: no click
    };
    const std::vector<Row> rows {
        { 24, 32, "wielokat.htm" },
        { 20, 10, "prostokat.htm" },
        { 30, 18, "prostokat.htm" }, // corners belong to the rectangle
        { 5, 5, nullptr }, // NOHREF hides the areas below it
        { 9, 28, "kolo.htm" },
        { 38, 42, "reszta.htm" },
    };
    for (const Row& row : rows) {
        clicked.clear();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
            view.ViewportPoint(QPoint(placed.x + row.x, placed.y + row.y)));
        if (row.expected == nullptr) {
            EXPECT_TRUE(clicked.empty()) << row.x << "," << row.y;
        } else {
            EXPECT_EQ(clicked, std::vector<std::string> { row.expected }) << row.x << "," << row.y;
        }
    }
}

TEST_F(HtmlViewTest, RightClickReportsTheLinkUnderTheMouse)
{
    view.LoadFromText("<p><a href=\"cel.htm\">odnośnik</a><p>zwykły tekst");
    std::vector<std::string> urls;
    view.OnRightClick = [&](ThtmlLite* sender, const TRightClickParameters& parameters) {
        EXPECT_EQ(sender, &view);
        urls.push_back(parameters.URL);
    };
    bool hotSpot = false;
    view.OnHotSpotClick = [&](ThtmlLite*, const std::string&, bool&) { hotSpot = true; };
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, centreOf(view.Layout().linkAreas.at(0).rect));
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, QPoint(390, 290));
    EXPECT_EQ(urls, (std::vector<std::string> { "cel.htm", "" }));
    EXPECT_FALSE(hotSpot); // a right click follows no link
}

// A 1 x 1 GIF whose only pixel is palette entry 0, red.
std::string RedGif()
{
    const unsigned char bytes[] = { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0, 0, 0, 0,
        0xFF, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B };
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes.toStdString();
}

TEST_F(HtmlViewTest, ImagesAreRequestedOncePerPageAndDecodedFromTheStream)
{
    QImage green(7, 5, QImage::Format_RGB32);
    green.fill(QColor(0, 200, 0));
    QImage blue(16, 8, QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 255));
    const std::map<std::string, std::string> files {
        { "a.bmp", Encoded(green, "BMP") },
        { "b.jpg", Encoded(blue, "JPEG") },
        { "c.gif", RedGif() },
        { "zle.gif", "GIF89a to nie jest obrazek" },
    };
    std::vector<std::string> requests;
    view.OnImageRequest = [&](ThtmlLite* sender, const std::string& src, std::optional<std::string>& stream) {
        EXPECT_EQ(sender, &view);
        EXPECT_FALSE(stream.has_value());
        requests.push_back(src);
        if (const auto found = files.find(src); found != files.end())
            stream = found->second;
    };
    const std::string page
        = "<p><img src=\"a.bmp\"> <img src=\"b.jpg\"> <img src=\"a.bmp\"> <img src=\"c.gif\">"
          " <img src=\"brak.png\"> <img src=\"zle.gif\">";
    view.LoadFromText(page);
    const std::vector<std::string> expected { "a.bmp", "b.jpg", "c.gif", "brak.png", "zle.gif" };
    EXPECT_EQ(requests, expected);

    struct Row {
        const char* src;
        int width;
        int height;
        QRgb pixel;
    };
    for (const Row& row : { Row { "a.bmp", 7, 5, qRgb(0, 200, 0) }, Row { "b.jpg", 16, 8, qRgb(0, 0, 255) },
             Row { "c.gif", 1, 1, qRgb(255, 0, 0) } }) {
        const QImage* image = view.CachedImage(row.src);
        ASSERT_NE(image, nullptr) << row.src;
        EXPECT_EQ(image->size(), QSize(row.width, row.height)) << row.src;
        const QColor pixel = image->pixelColor(0, 0);
        const QColor want = QColor::fromRgb(row.pixel);
        EXPECT_NEAR(pixel.red(), want.red(), 12) << row.src; // JPEG is lossy
        EXPECT_NEAR(pixel.green(), want.green(), 12) << row.src;
        EXPECT_NEAR(pixel.blue(), want.blue(), 12) << row.src;
    }
    EXPECT_EQ(view.CachedImage("brak.png"), nullptr);
    EXPECT_EQ(view.CachedImage("zle.gif"), nullptr);

    // The layout got the pictures' sizes.
    const auto& images = view.Document().images;
    for (const html::ImagePlacement& placed : view.Layout().images) {
        const QImage* image = view.CachedImage(images.at(placed.image).src);
        if (image == nullptr)
            continue;
        EXPECT_EQ(placed.rect.width, image->width()) << images.at(placed.image).src;
        EXPECT_EQ(placed.rect.height, image->height()) << images.at(placed.image).src;
    }

    // Resizing lays out again from the cache; a new page asks again.
    view.resize(300, 300);
    QApplication::processEvents();
    EXPECT_EQ(requests.size(), 5u);
    view.LoadFromText("<img src=\"a.bmp\">");
    EXPECT_EQ(requests.size(), 6u);
    EXPECT_EQ(requests.back(), "a.bmp");
}

TEST_F(HtmlViewTest, FormControlsAreRealQtControlsScrolledWithThePage)
{
    view.LoadFromText(TallPage(30)
        + "<form><input name=t value=\"ab\"><input type=password name=p>"
          "<input type=checkbox name=c><input type=radio name=r><select name=s><option>x</select>"
          "<textarea name=a>tekst</textarea><input type=submit><input type=hidden name=h value=1>"
          "</form>");
    EXPECT_EQ(view.FormControlCount(), 8);
    EXPECT_NE(qobject_cast<QLineEdit*>(view.ControlWidget(0)), nullptr);
    EXPECT_EQ(qobject_cast<QLineEdit*>(view.ControlWidget(1))->echoMode(), QLineEdit::Password);
    EXPECT_NE(qobject_cast<QCheckBox*>(view.ControlWidget(2)), nullptr);
    EXPECT_NE(qobject_cast<QRadioButton*>(view.ControlWidget(3)), nullptr);
    EXPECT_NE(qobject_cast<QComboBox*>(view.ControlWidget(4)), nullptr);
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(view.ControlWidget(5))->toPlainText(), QStringLiteral("tekst"));
    EXPECT_NE(qobject_cast<QPushButton*>(view.ControlWidget(6)), nullptr);
    EXPECT_EQ(view.ControlWidget(7), nullptr);

    for (int position : { 0, 150, view.VScrollBarRange() }) {
        view.SetVScrollBarPosition(position);
        for (const html::ControlPlacement& placed : view.Layout().controls) {
            QWidget* widget = view.ControlWidget(placed.control);
            if (widget == nullptr)
                continue;
            EXPECT_EQ(widget->geometry().topLeft(), view.ViewportPoint(QPoint(placed.rect.x, placed.rect.y)));
            EXPECT_EQ(widget->focusPolicy(), Qt::StrongFocus);
        }
    }
}

TEST_F(HtmlViewTest, AControlReachedWithTheKeyboardIsScrolledIntoView)
{
    view.LoadFromText(
        "<form><input name=gora>" + Paragraphs(80) + "<input name=dol>" + Paragraphs(80) + "</form>");
    QWidget* top = view.ControlWidget(0);
    QWidget* bottom = view.ControlWidget(1);
    ASSERT_NE(bottom, nullptr);
    view.activateWindow();
    top->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(view.VScrollBarPosition(), 0);
    bottom->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(bottom->hasFocus());
    const QRect shown = bottom->geometry();
    EXPECT_GT(view.VScrollBarPosition(), 0);
    EXPECT_GE(shown.top(), 0);
    EXPECT_LE(shown.bottom(), view.viewport()->height());
    const int scrolled = view.VScrollBarPosition();
    top->setFocus(Qt::BacktabFocusReason);
    QApplication::processEvents();
    EXPECT_LT(view.VScrollBarPosition(), scrolled);
    EXPECT_EQ(top->geometry().top(), 0); // scrolled just far enough
}

// A page replaced while one of its controls holds the focus leaves the keys
// with the view: the focus never falls to no widget or out of the view.
TEST_F(HtmlViewTest, ReplacingThePageUnderAFocusedControlKeepsTheFocusInTheView)
{
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view, 30000));
    for (const char* next : { "<p>Bez kontrolek</p>", "<form><input type=radio name=q value=9></form>" }) {
        view.LoadFromText("<form><input type=radio name=r value=1><input type=radio name=r value=2></form>");
        view.setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), view.ControlWidget(0));
        view.LoadFromText(next);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(QApplication::focusWidget(), &view) << next;
    }
    // A control without the focus leaves the focus where it is.
    view.LoadFromText("<form><input name=t></form>");
    view.setFocus(Qt::OtherFocusReason);
    view.LoadFromText("<p>x</p>");
    EXPECT_EQ(QApplication::focusWidget(), &view);
}

TEST_F(HtmlViewTest, FormSubmitIsPostedWithNameValueResults)
{
    struct Case {
        const char* name;
        std::string page;
        bool clickSubmit; // the submit button, else SubmitFirstForm
        std::vector<std::string> results;
    };
    const std::vector<Case> cases {
        { "every kind of control",
            "<form action=\"wynik.htm\" method=post target=ramka enctype=\"text/plain\">"
            "<input name=imie value=\"Jan\"><input type=hidden name=ukryte value=7>"
            "<input type=radio name=odp value=a><input type=radio name=odp value=b checked>"
            "<input type=checkbox name=zgoda value=tak checked><input type=checkbox name=nie value=x>"
            "<input type=checkbox name=bez checked>"
            "<select name=kolor><option value=c1>czerwony<option selected>zielony</select>"
            "<textarea name=uwagi>linia</textarea><input name=\"\" value=bez_nazwy>"
            "<input type=submit name=ok value=\"Dalej\"></form>",
            true,
            { "imie=Jan", "ukryte=7", "odp=b", "zgoda=tak", "bez=on", "kolor=zielony", "uwagi=linia",
                "ok=Dalej" } },
        { "no radio selected gives an empty list",
            "<form><input type=radio name=odp value=a><input type=radio name=odp value=b>"
            "<input type=submit value=OK></form>",
            true, {} },
        { "the first form without a pressed button",
            "<form action=pierwszy><input type=radio name=q value=1 checked><input type=submit name=s "
            "value=x></form>"
            "<form action=drugi><input name=w value=2></form>",
            false, { "q=1" } },
    };
    for (const Case& c : cases) {
        view.LoadFromText(c.page);
        std::vector<std::vector<std::string>> raised;
        std::string action;
        view.OnFormSubmit
            = [&](ThtmlLite* sender, const std::string& Action, const std::string&, const std::string&,
                  const std::string&, const std::vector<std::string>& results) {
                  EXPECT_EQ(sender, &view);
                  action = Action;
                  raised.push_back(results);
                  // The handler may replace the page: the click has returned.
                  view.LoadFromText("<p>nowa strona");
              };
        if (c.clickSubmit) {
            QPushButton* submit = nullptr;
            for (int i = 0; i < view.FormControlCount() && submit == nullptr; ++i)
                submit = qobject_cast<QPushButton*>(view.ControlWidget(static_cast<html::ControlId>(i)));
            ASSERT_NE(submit, nullptr) << c.name;
            QTest::mouseClick(submit, Qt::LeftButton);
        } else {
            view.SubmitFirstForm();
        }
        EXPECT_TRUE(raised.empty()) << c.name << ": raised before the click returned";
        QApplication::processEvents();
        ASSERT_EQ(raised.size(), 1u) << c.name;
        EXPECT_EQ(raised.front(), c.results) << c.name;
        EXPECT_EQ(view.FormControlCount(), 0) << c.name;
    }

    // The form's attributes reach the handler.
    view.LoadFromText(
        "<form action=\"a.htm\" method=\"POST\" target=\"t\" enctype=\"e\"><input name=n value=v></form>");
    std::vector<std::string> seen;
    view.OnFormSubmit
        = [&](ThtmlLite*, const std::string& Action, const std::string& Target, const std::string& EncType,
              const std::string& Method, const std::vector<std::string>&) {
              seen = { Action, Target, EncType, Method };
          };
    view.SubmitFirstForm();
    QApplication::processEvents();
    EXPECT_EQ(seen, (std::vector<std::string> { "a.htm", "t", "e", "POST" }));
}

// A question page as the test window builds it: radio buttons outside any
// FORM element, the question cell with its quoting `valign="top "width=`.
std::string QuestionPage(int number)
{
    const std::string n = std::to_string(number);
    return "<table width=\"100%\" cellpadding=\"5\" cellspacing=\"0\" border=\"0\">"
           "<tr><td width=\"8%\" align=\"center\" valign=\"top\">"
        + n + ":</td><td valign=\"top \"width=\"92%\">Pytanie " + n
        + "</td></tr><tr><td></td></tr>"
          "<tr><td align=\"center\" valign=\"top\"><input type=radio name=option "
          "value=\"1\"></td><td>jeden</td></tr>"
          "<tr><td align=\"center\" valign=\"top\"><input type=radio name=option "
          "value=\"2\"></td><td>dwa</td></tr>"
          "</table>";
}

TEST_F(HtmlViewTest, ControlsOutsideAFormAreSubmittedAsAFormOfTheirOwn)
{
    std::vector<std::vector<std::string>> raised;
    std::string action = "unset";
    view.OnFormSubmit = [&](ThtmlLite*, const std::string& Action, const std::string&, const std::string&,
                            const std::string&, const std::vector<std::string>& results) {
        action = Action;
        raised.push_back(results);
    };

    view.LoadFromText(QuestionPage(1));
    ASSERT_EQ(view.ErrorText(), "");
    ASSERT_EQ(view.FormControlCount(), 2);
    // The question cell kept both of its attributes despite the quoting.
    EXPECT_NE(view.Layout().text.find("Pytanie 1"), std::string::npos);
    // Nothing chosen: the event comes with no entries.
    view.SubmitFirstForm();
    QApplication::processEvents();
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_TRUE(raised[0].empty());
    EXPECT_EQ(action, "");

    // Tab leads from the view into its controls.
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view, 30000));
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Tab);
    EXPECT_TRUE(view.ControlWidget(0)->hasFocus());

    auto* second = qobject_cast<QRadioButton*>(view.ControlWidget(1));
    ASSERT_NE(second, nullptr);
    QTest::mouseClick(second, Qt::LeftButton);
    ASSERT_TRUE(second->isChecked());
    view.SubmitFirstForm();
    QApplication::processEvents();
    ASSERT_EQ(raised.size(), 2u);
    EXPECT_EQ(raised[1], (std::vector<std::string> { "option=2" }));

    // A page without any control raises nothing.
    view.LoadFromText("<p>Pytanie:</p><p>Odpowiedź</p>");
    view.SubmitFirstForm();
    QApplication::processEvents();
    EXPECT_EQ(raised.size(), 2u);

    // With a FORM element on the page its first form is submitted, not the loose controls.
    view.LoadFromText("<input type=hidden name=luzem value=1><form action=f><input type=hidden name=w "
                      "value=2></form>");
    view.SubmitFirstForm();
    QApplication::processEvents();
    ASSERT_EQ(raised.size(), 3u);
    EXPECT_EQ(raised[2], (std::vector<std::string> { "w=2" }));
    EXPECT_EQ(action, "f");
}

TEST_F(HtmlViewTest, ASubmitPostedForAReplacedPageIsDropped)
{
    // Two Enter presses before the first posted event runs: the handler
    // replaces the page with the next question, so the second submit belongs
    // to a page that is gone and must not answer the new one.
    int page = 1;
    std::vector<std::pair<int, std::vector<std::string>>> answers;
    view.OnFormSubmit = [&](ThtmlLite*, const std::string&, const std::string&, const std::string&,
                            const std::string&, const std::vector<std::string>& results) {
        answers.emplace_back(page, results);
        view.LoadFromText(QuestionPage(++page));
    };
    view.LoadFromText(QuestionPage(page));
    QTest::mouseClick(view.ControlWidget(0), Qt::LeftButton);
    view.SubmitFirstForm();
    view.SubmitFirstForm();
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].first, 1);
    EXPECT_EQ(answers[0].second, (std::vector<std::string> { "option=1" }));
    EXPECT_EQ(page, 2);

    // A rebuild of the same page (new appearance) also drops the posted submit:
    // its controls were made anew.
    view.SubmitFirstForm();
    view.Refresh();
    QApplication::processEvents();
    EXPECT_EQ(answers.size(), 1u);

    // The new page submits normally.
    view.SubmitFirstForm();
    QApplication::processEvents();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[1].first, 2);
    EXPECT_TRUE(answers[1].second.empty());
}

TEST_F(HtmlViewTest, KeyboardAndWheelScroll)
{
    view.LoadFromText(TallPage(200));
    const int range = view.VScrollBarRange();
    const int page = view.viewport()->height() - 16;
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int start;
        int expected;
    };
    const std::vector<Row> rows {
        { Qt::Key_Down, {}, 0, 16 },
        { Qt::Key_Up, {}, 100, 84 },
        { Qt::Key_Up, {}, 0, 0 },
        { Qt::Key_PageDown, {}, 0, page },
        { Qt::Key_PageUp, {}, 1000, 1000 - page },
        { Qt::Key_Space, {}, 0, page },
        { Qt::Key_Space, Qt::ShiftModifier, 1000, 1000 - page },
        { Qt::Key_End, {}, 0, range },
        { Qt::Key_Home, {}, 500, 0 },
        { Qt::Key_PageDown, {}, range - 10, range },
    };
    for (const Row& row : rows) {
        view.SetVScrollBarPosition(row.start);
        QTest::keyClick(&view, row.key, row.modifiers);
        EXPECT_EQ(view.VScrollBarPosition(), row.expected) << row.key << " from " << row.start;
    }

    // OnKeyDown sees the key first and may swallow it.
    std::vector<int> keys;
    view.OnKeyDown = [&](ThtmlLite*, int& key, Qt::KeyboardModifiers) {
        keys.push_back(key);
        if (key == Qt::Key_Down)
            key = 0;
    };
    view.SetVScrollBarPosition(0);
    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_EQ(keys, (std::vector<int> { Qt::Key_Down, Qt::Key_Escape }));
    EXPECT_EQ(view.VScrollBarPosition(), 0);

    // One wheel notch scrolls the system's lines per notch.
    const QPointF at(100, 100);
    QWheelEvent wheel(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    EXPECT_EQ(view.VScrollBarPosition(), QApplication::wheelScrollLines() * 16);
}

TEST_F(HtmlViewTest, ErrorsReplaceThePageWithTheirText)
{
    view.Clear();
    EXPECT_EQ(InkedPixels(view), 0); // nothing painted on an empty page

    auto columns = [](int count) {
        std::string table = "<table><tr>";
        for (int i = 0; i < count; ++i)
            table += "<td>" + std::to_string(i);
        return "<p>przed" + table + "</table><p>po";
    };
    struct Row {
        std::string page;
        std::string error;
        const char* shown; // a word of the page shown when there is no error
    };
    const std::vector<Row> rows {
        { columns(31), "Table has too many Columns", "" },
        { columns(30), "", "przed" },
        { "<p>tekst <!-- bez końca", "Open Comment at End of HTML File", "" },
        { "<p>tekst <!-- zamknięty --> dalej", "", "dalej" },
    };
    for (const Row& row : rows) {
        view.LoadFromText(Cp(row.page.c_str()));
        EXPECT_EQ(view.ErrorText(), row.error) << row.page;
        if (row.error.empty()) {
            EXPECT_NE(view.Layout().text.find(row.shown), std::string::npos) << row.page;
        } else {
            // Shown instead of the page: its only line of text.
            std::string shown = view.Layout().text;
            if (!shown.empty() && shown.back() == '\n')
                shown.pop_back();
            EXPECT_EQ(shown, row.error) << row.page;
            EXPECT_EQ(view.Layout().lines.size(), 1u) << row.page;
        }
        // The error, like a page, is painted: ink on the background.
        EXPECT_GT(InkedPixels(view), 30) << row.page;
    }
}

class ArchivePageTest : public HtmlViewTest {
protected:
    void SetUp() override
    {
        HtmlViewTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        archive = dir.filePath(QStringLiteral("ORBITA.DAT")).toStdString();
        test::TestZipWriter zip;
        zip.members.push_back(test::Deflated("POMOC\\O_GLOWNE.HTM",
            "<title>Pomoc</title><p>strona główna" + TallPage(100) + "<a name=dol></a><p>koniec"));
        zip.members.push_back(test::Stored("pomoc\\inna.htm", "<title>Inna</title><p>inna strona"));
        test::WriteBytes(archive, zip.Build());
    }
    QTemporaryDir dir;
    std::string archive;
};

TEST_F(ArchivePageTest, LoadsTheMemberOrLeavesTheViewAsItWas)
{
    struct Row {
        const char* name;
        const char* title; // shown afterwards: "Przed" when unchanged
    };
    const std::vector<Row> rows {
        { "POMOC\\O_GLOWNE.HTM", "Pomoc" },
        { "pomoc\\o_glowne.htm", "Pomoc" },
        { "Pomoc\\O_Glowne.Htm#DOL", "Pomoc" },
        { "POMOC\\INNA.HTM", "Inna" },
        { "#dol", "Przed" },
        { "", "Przed" },
        { "pomoc\\brak.htm", "Przed" },
        { "pomoc\\o_glowne.html", "Przed" },
    };
    for (const Row& row : rows) {
        view.LoadFromText(TallPage(100, "<title>Przed</title>"));
        view.SetVScrollBarPosition(200);
        LoadArchivePage(archive, row.name, view);
        EXPECT_EQ(view.DocumentTitle(), row.title) << row.name;
        // A loaded page shows from its top, the anchor dropped; an unchanged one stays.
        EXPECT_EQ(view.VScrollBarPosition(), std::string(row.title) == "Przed" ? 200 : 0) << row.name;
    }

    view.LoadFromText("<title>Przed</title>");
    LoadArchivePage(dir.filePath(QStringLiteral("BRAK.DAT")).toStdString(), "pomoc\\o_glowne.htm", view);
    EXPECT_EQ(view.DocumentTitle(), "Przed");
}

} // namespace
} // namespace orbita
