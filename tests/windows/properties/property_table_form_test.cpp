// The property table window: hover texts with units, clicks and Enter
// opening the element window, recolouring with the temperature, the
// printable handout (image and PDF), accessible names and tab order.

#include "platform/scripted_ui_services.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/pdf_pages.h"
#include "tests/support/recording_window_opener.h"
#include "windows/program_window_opener.h"
#include "windows/properties/property_table_form.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace orbita {
namespace {

const std::string kArchive = std::string(ORBITA_PROGRAM_DIR) + "/ORBITA.DAT";

class PropertyTableForm : public test::PlatformTest {
protected:
    void SetUp() override
    {
#ifndef ORBITA_CONTENT_BUILT
        GTEST_SKIP() << "the content archive is not built";
#endif
        PlatformTest::SetUp();
    }

    template <typename T> static T* part(QWidget& form, const char* name)
    {
        T* widget = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QString status(QWidget& form)
    {
        return part<QLabel>(form, "StatusEtykieta")->text();
    }
    // The colour in the middle of the top band of an element's cell (above
    // the symbol, right of the number).
    static QColor cellColour(TPropertyTableWidget& widget, int element)
    {
        const QImage image = widget.grab().toImage();
        const QRectF cell = widget.cellRect(element);
        return image.pixelColor(
            QPointF(cell.right() - cell.width() * 0.15, cell.top() + cell.height() * 0.12).toPoint());
    }
};

TEST_F(PropertyTableForm, HoverShowsTheValueWithItsUnit)
{
    TPropertyTableForm form(nullptr, kArchive);
    form.show();
    ASSERT_TRUE(form.table());
    part<QComboBox>(form, "WlasciwoscPole")->setCurrentIndex(static_cast<int>(TableProperty::Density));
    TPropertyTableWidget* widget = form.tableWidget();
    QTest::mouseMove(widget, widget->cellRect(26).center().toPoint());
    EXPECT_EQ(status(form), QStringLiteral("Żelazo (Fe, 26): Gęstość 7,874 g/cm³"));
    QTest::mouseMove(widget, widget->cellRect(80).center().toPoint());
    EXPECT_TRUE(status(form).startsWith(QStringLiteral("Rtęć (Hg, 80): Gęstość 13,5")));
    // The empty space above the transition metals names no element.
    QTest::mouseMove(widget, widget->cellRect(4).center().toPoint() + QPoint(int(widget->width() / 4), 0));
    EXPECT_EQ(status(form), QString());

    part<QRadioButton>(form, "StanPrzycisk")->setChecked(true);
    part<QSpinBox>(form, "TemperaturaPole")->setValue(30);
    QTest::mouseMove(widget, widget->cellRect(31).center().toPoint());
    EXPECT_EQ(
        status(form), QStringLiteral("Gal (Ga, 31) w 30 °C: ciecz; topnienie 29,76 °C, wrzenie 2229 °C"));
    form.reject();
}

TEST_F(PropertyTableForm, ClickAndEnterOpenTheElement)
{
    test::RecordingWindowOpener opener;
    TPropertyTableForm form(nullptr, kArchive);
    form.show();
    TPropertyTableWidget* widget = form.tableWidget();
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->cellRect(79).center().toPoint());
    ASSERT_EQ(opener.calls, QStringList { QStringLiteral("element 79") });
    EXPECT_EQ(opener.owners.at(0), &form);

    // Keys: from gold, up is silver, right cadmium; down from lanthanum's
    // column steps over the gap into actinium; Enter opens.
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Up);
    EXPECT_EQ(widget->currentElement(), 47);
    QTest::keyClick(widget, Qt::Key_Right);
    EXPECT_EQ(widget->currentElement(), 48);
    widget->setCurrentElement(57);
    QTest::keyClick(widget, Qt::Key_Down);
    EXPECT_EQ(widget->currentElement(), 89);
    QTest::keyClick(widget, Qt::Key_Down);
    EXPECT_EQ(widget->currentElement(), 89) << "no row below the actinides";
    widget->setCurrentElement(1);
    QTest::keyClick(widget, Qt::Key_Right);
    EXPECT_EQ(widget->currentElement(), 2) << "hydrogen to helium over the empty period";
    QTest::keyClick(widget, Qt::Key_Return);
    EXPECT_EQ(opener.calls.last(), QStringLiteral("element 2"));
    EXPECT_TRUE(status(form).startsWith(QStringLiteral("Hel (He, 2)")));
    form.reject();
}

TEST_F(PropertyTableForm, TheSliderRecoloursGalliumBetween29And30Degrees)
{
    TPropertyTableForm form(nullptr, kArchive);
    form.show();
    part<QRadioButton>(form, "StanPrzycisk")->setChecked(true);
    QSlider* slider = part<QSlider>(form, "TemperaturaSuwak");
    QSpinBox* box = part<QSpinBox>(form, "TemperaturaPole");
    TPropertyTableWidget* widget = form.tableWidget();
    slider->setValue(29);
    EXPECT_EQ(box->value(), 29);
    EXPECT_EQ(part<QLabel>(form, "KelwinEtykieta")->text(), QStringLiteral("= 302,15 K"));
    const QColor at29 = cellColour(*widget, 31);
    const QColor iron29 = cellColour(*widget, 26);
    slider->setValue(30);
    const QColor at30 = cellColour(*widget, 31);
    EXPECT_NE(at29, at30);
    EXPECT_EQ(at29, QColor(PropertyCellColour(*form.table(), form.view(), 26)));
    EXPECT_EQ(at30, QColor(PropertyCellColour(*form.table(), form.view(), 80)))
        << "gallium as liquid as mercury";
    EXPECT_EQ(iron29, cellColour(*widget, 26));
    // The box moves the slider back.
    box->setValue(-273);
    EXPECT_EQ(slider->value(), -273);
    EXPECT_EQ(part<QLabel>(form, "KelwinEtykieta")->text(), QStringLiteral("= 0,15 K"));
    EXPECT_EQ(cellColour(*widget, 31), at29);
    form.reject();
}

TEST_F(PropertyTableForm, TheHandoutPaintsIntoAnImageAndAOnePagePdf)
{
    TPropertyTableForm form(nullptr, kArchive);
    ASSERT_TRUE(form.table());
    const PropertyTable& table = *form.table();
    PropertyTableView view;
    view.property = TableProperty::Electronegativity;

    QImage image(1123, 794, QImage::Format_RGB32); // A4 landscape at 96 dpi
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        PaintPropertyHandout(painter, QRectF(image.rect()), table, view);
    }
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white)) << "the page is filled";
    // The legend's colour bar shows both ends of the scale.
    const QRectF legend = PropertyLegendRect(QRectF(image.rect()).adjusted(56, 56 + 50, -56, -56 - 20));
    int dark = 0;
    int yellow = 0;
    for (int x = int(legend.left()); x < int(legend.right()); ++x)
        for (int y = int(legend.top()); y < int(legend.bottom()); ++y) {
            const QColor pixel = image.pixelColor(x, y);
            dark += pixel.red() < 0x60 && pixel.green() < 0x20 && pixel.blue() > 0x40;
            yellow += pixel.red() > 0xE0 && pixel.green() > 0xD0 && pixel.blue() < 0x60;
        }
    EXPECT_GT(dark, 20);
    EXPECT_GT(yellow, 20);
    // Fluorine's cell is the scale's yellow end somewhere on the page.
    const Rgb top = Viridis(1);
    int fluorine = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            fluorine += image.pixelColor(x, y) == QColor(top.red, top.green, top.blue);
    EXPECT_GT(fluorine, 50);

    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setResolution(150);
        QPainter painter(&writer);
        ASSERT_TRUE(painter.isActive());
        PaintPropertyHandout(painter, QRectF(0, 0, writer.width(), writer.height()), table, view);
        EXPECT_GT(writer.width(), writer.height()) << "landscape";
    }
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page>") + pdf.count("/Type /Page "), 1);
    EXPECT_GT(pdf.size(), 5000);
}

TEST_F(PropertyTableForm, EveryControlIsNamedAndTabFollowsTheLayout)
{
    TPropertyTableForm form(nullptr, kArchive);
    form.show();
    QApplication::setActiveWindow(&form);
    // What a screen reader reads: the name Qt's accessibility gives each
    // control reached by Tab (the boxes inside a combo or a spin box speak
    // for their owner).
    for (QWidget* widget : form.findChildren<QWidget*>())
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() && widget->parentWidget()
            && !qobject_cast<QComboBox*>(widget->parentWidget())
            && !qobject_cast<QAbstractSpinBox*>(widget->parentWidget())) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(accessible, nullptr);
            EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << widget->objectName().toStdString();
        }
    // The two mode buttons are one stop of Tab (the arrows move between
    // them), and only the chosen mode's controls are reached.
    const auto tabOrderFrom = [&](const char* first, int steps) {
        part<QRadioButton>(form, first)->setFocus();
        QStringList visited;
        for (int step = 0; step < steps; ++step) {
            QWidget* focused = QApplication::focusWidget();
            if (focused == nullptr)
                break;
            if (qobject_cast<QSpinBox*>(focused->parentWidget()))
                focused = focused->parentWidget();
            visited << focused->objectName();
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        return visited;
    };
    EXPECT_EQ(tabOrderFrom("WlasciwoscPrzycisk", 6),
        QStringList({ QStringLiteral("WlasciwoscPrzycisk"), QStringLiteral("WlasciwoscPole"),
            QStringLiteral("TablicaWidok"), QStringLiteral("PomocPrzycisk"), QStringLiteral("DrukujPrzycisk"),
            QStringLiteral("ZamknijPrzycisk") }));
    part<QRadioButton>(form, "StanPrzycisk")->click();
    EXPECT_FALSE(part<QComboBox>(form, "WlasciwoscPole")->isEnabled());
    EXPECT_EQ(tabOrderFrom("StanPrzycisk", 4),
        QStringList({ QStringLiteral("StanPrzycisk"), QStringLiteral("TemperaturaSuwak"),
            QStringLiteral("TemperaturaPole"), QStringLiteral("TablicaWidok") }));
    form.reject();
}

TEST_F(PropertyTableForm, TheProgramsOpenerShowsItAndHelpHasItsTopic)
{
    {
        ScriptedUiServices ui;
        ui.answerModal([](QDialog&) { return mrCancel; });
        ProgramWindowOpener().OpenPropertyTable(nullptr);
        ASSERT_TRUE(ui.finished());
        EXPECT_EQ(ui.requests().at(0).caption, QStringLiteral("Tablica właściwości"));
    }
    test::RecordingWindowOpener opener;
    TPropertyTableForm form(nullptr, kArchive);
    form.show();
    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_EQ(opener.calls, QStringList { QStringLiteral("help O_WLASC") });
    form.reject();
}

// Ctrl+P prints the table as it looks now, with its legend, on one
// landscape sheet.
TEST_F(PropertyTableForm, CtrlPPrintsTheShownTableOnOneLandscapeSheet)
{
    ScriptedUiServices ui;
    TPropertyTableForm form(nullptr, kArchive);
    form.show();
    part<QRadioButton>(form, "StanPrzycisk")->click();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString pdf = folder.filePath(QStringLiteral("tablica.pdf"));
    ui.answerPrint(pdf);
    QTest::keyClick(&form, Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests().back().kind, ScriptedUiServices::Kind::Print);
    EXPECT_EQ(ui.requests().back().orientation, QPageLayout::Landscape);
    EXPECT_EQ(test::PdfPageCount(pdf), 1);
    const std::optional<QImage> sheet = test::RenderPdfPage(pdf, 1);
    if (!sheet)
        GTEST_SKIP() << "pdftoppm is not installed";
    EXPECT_GT(sheet->width(), sheet->height());
    // The state colours of the legend and the cells are on the sheet.
    int liquid = 0;
    const Rgb colour = StateColour(MatterState::Liquid);
    for (int y = 0; y < sheet->height(); ++y)
        for (int x = 0; x < sheet->width(); ++x) {
            const QColor pixel = sheet->pixelColor(x, y);
            liquid += std::abs(pixel.red() - colour.red) + std::abs(pixel.green() - colour.green)
                    + std::abs(pixel.blue() - colour.blue)
                < 24;
        }
    EXPECT_GT(liquid, 30);
    form.reject();
}

TEST_F(PropertyTableForm, AnUnreadableArchiveSaysSo)
{
    TPropertyTableForm form(nullptr, "/nonexistent/ORBITA.DAT");
    EXPECT_FALSE(form.table());
    EXPECT_TRUE(status(form).contains(QStringLiteral("Nie można odczytać")));
    EXPECT_FALSE(form.tableWidget()->isEnabled());
    EXPECT_FALSE(part<QToolButton>(form, "DrukujPrzycisk")->isEnabled());
}

} // namespace
} // namespace orbita
