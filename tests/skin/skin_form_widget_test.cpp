#include "../data/test_zip_writer.h"
#include "../platform/platform_test_environment.h"
#include "core/registry.h"
#include "platform/scripted_ui_services.h"
#include "platform/shell_services.h"
#include "skin/builtin_skin.h"
#include "skin/skin_form.h"
#include "skin/skin_mask.h"
#include "skin/skin_package.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace orbita {
namespace {

const QColor kNormal(10, 200, 30);
const QColor kPressed(200, 20, 40);
const QColor kHover(30, 40, 220);

QImage filled(int width, int height, const QColor& color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The mask: 120 x 80 black with a white 20 x 20 corner at the top left.
QImage maskPicture()
{
    QImage mask = filled(120, 80, Qt::black);
    QPainter(&mask).fillRect(0, 0, 20, 20, Qt::white);
    return mask;
}

// A digits strip of 11 cells 4 x 6, cell i filled with grey 20 * i + 5.
QImage digitsPicture()
{
    QImage strip(44, 6, QImage::Format_RGB32);
    for (int i = 0; i < 11; ++i)
        QPainter(&strip).fillRect(i * 4, 0, 4, 6, QColor(20 * i + 5, 20 * i + 5, 20 * i + 5));
    return strip;
}

// A letters sheet of 30 x 3 cells 3 x 2, cell (c, r) filled with (c * 8, r * 80, 1).
QImage lettersPicture()
{
    QImage sheet(90, 6, QImage::Format_RGB32);
    QPainter painter(&sheet);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 30; ++c)
            painter.fillRect(c * 3, r * 2, 3, 2, QColor(c * 8, r * 80, 1));
    return sheet;
}

const char* const kDefinition = "[BITMAPINFO]\r\n"
                                "MaskBitmap=MASKA.PNG\r\n"
                                "MouseUpBitmap=GLOWNY.PNG\r\n"
                                "MouseDownBitmap=OBRAZY\\WCISNIETY.PNG\r\n"
                                "MouseOnBitmap=NAJAZD.PNG\r\n"
                                "NumbersBitmap=CYFRY.PNG\r\n"
                                "TextBitmap=LITERY.PNG\r\n"
                                "[HOTAREAINFO]\r\n"
                                "Count=3\r\n"
                                "1=BTN, 30, 10, 20, 20\r\n"
                                "2=NEXT, 50, 10, 20, 20\r\n"
                                "3=TOG, 30, 40, 10, 10, FALSE\r\n"
                                "[DISPLAYINFO]\r\n"
                                "Count=2\r\n"
                                "1=CLOCK, Arial, FALSE, FALSE, 8, 0, 40, 60, Number\r\n"
                                "2=NAME, Arial, FALSE, FALSE, 8, 0, 80, 60, Text, Aa:\xB9\r\n"
                                "[TRACKBARINFO]\r\n"
                                "Count=1\r\n"
                                "1=VOL, GALKA.PNG, GALKA2.PNG, 10, 70, 100, H, 50\r\n";

// The files of a skin: name -> bytes.
std::vector<std::pair<std::string, QByteArray>> skinFiles(const std::string& definition = kDefinition)
{
    return {
        { "ORBSKIN.INI", QByteArray::fromStdString(definition) },
        { "MASKA.PNG", pngOf(maskPicture()) },
        { "GLOWNY.PNG", pngOf(filled(120, 80, kNormal)) },
        { "OBRAZY/WCISNIETY.PNG", pngOf(filled(120, 80, kPressed)) },
        { "NAJAZD.PNG", pngOf(filled(120, 80, kHover)) },
        { "CYFRY.PNG", pngOf(digitsPicture()) },
        { "LITERY.PNG", pngOf(lettersPicture()) },
        { "GALKA.PNG", pngOf(filled(10, 8, Qt::yellow)) },
        { "GALKA2.PNG", pngOf(filled(10, 8, Qt::cyan)) },
    };
}

class SkinFormTest : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(path("skin/OBRAZY")));
        for (const auto& [name, bytes] : skinFiles()) {
            QFile file(path("skin/") + QString::fromStdString(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
    }

    // Loads the skin written in SetUp into a fresh component.
    std::unique_ptr<TSkinForm> loaded()
    {
        auto skin = std::make_unique<TSkinForm>();
        const TSkinForm::LoadResult result = skin->LoadSkin({ stdPath("skin/ORBSKIN.INI") }, false);
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        return skin;
    }

    static QColor shown(TSkinForm& skin, int x, int y) { return skin.grab().toImage().pixelColor(x, y); }

    static void send(QWidget& widget, QEvent::Type type, QPoint local, Qt::MouseButton button,
        Qt::MouseButtons held, QPoint global = {})
    {
        QMouseEvent event(
            type, local, global.isNull() ? widget.mapToGlobal(local) : global, button, held, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }
};

TEST_F(SkinFormTest, LoadSizesTheWindowAndCutsItsOutline)
{
    auto skin = loaded();
    EXPECT_EQ(skin->size(), QSize(120, 80));
    EXPECT_TRUE(skin->windowFlags() & Qt::FramelessWindowHint);
    const QRegion mask = skin->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(19, 19)));
    EXPECT_TRUE(mask.contains(QPoint(20, 0)));
    EXPECT_TRUE(mask.contains(QPoint(0, 20)));
    EXPECT_EQ(skin->HotAreaName(2), QStringLiteral("TOG"));
    EXPECT_EQ(skin->IndexOfHotArea(QStringLiteral("NEXT")), 1);
}

TEST_F(SkinFormTest, HoverAndPressedLooks)
{
    auto skin = loaded();
    skin->show();
    QSignalSpy up(skin.get(), &TSkinForm::OnMouseUpNotify);
    QSignalSpy down(skin.get(), &TSkinForm::OnMouseDownNotify);
    QSignalSpy moved(skin.get(), &TSkinForm::OnMouseMoveNotify);
    struct Look {
        QPoint point;
        QColor color;
    };
    auto expectLooks = [&](const std::vector<Look>& looks, const char* when) {
        const QImage image = skin->grab().toImage();
        for (const Look& look : looks)
            EXPECT_EQ(image.pixelColor(look.point), look.color)
                << when << " at " << look.point.x() << "," << look.point.y();
    };
    expectLooks({ { { 35, 15 }, kNormal }, { { 55, 15 }, kNormal } }, "at rest");

    send(*skin, QEvent::MouseMove, { 35, 15 }, Qt::NoButton, Qt::NoButton);
    expectLooks(
        { { { 35, 15 }, kHover }, { { 49, 29 }, kHover }, { { 50, 15 }, kNormal }, { { 29, 15 }, kNormal } },
        "hovering BTN");
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toString(), QStringLiteral("BTN"));

    send(*skin, QEvent::MouseButtonPress, { 35, 15 }, Qt::LeftButton, Qt::LeftButton);
    expectLooks({ { { 35, 15 }, kPressed }, { { 49, 29 }, kPressed }, { { 55, 15 }, kNormal } }, "pressed");
    EXPECT_EQ(down.at(0).at(0).toString(), QStringLiteral("BTN"));

    send(*skin, QEvent::MouseMove, { 36, 16 }, Qt::NoButton, Qt::LeftButton);
    expectLooks({ { { 35, 15 }, kPressed } }, "held");

    // Released over NEXT: NEXT is reported and the normal look is back.
    send(*skin, QEvent::MouseButtonRelease, { 55, 15 }, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up.at(0).at(0).toString(), QStringLiteral("NEXT"));
    EXPECT_EQ(up.at(0).at(1).value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(up.at(0).at(3).toInt(), 55);
    expectLooks({ { { 35, 15 }, kNormal }, { { 55, 15 }, kNormal } }, "released");

    send(*skin, QEvent::MouseButtonRelease, { 100, 5 }, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(up.at(1).at(0).toString(), QString());

    // The toggle stays held down after its release, and comes up at the next press.
    send(*skin, QEvent::MouseButtonPress, { 32, 42 }, Qt::LeftButton, Qt::LeftButton);
    send(*skin, QEvent::MouseButtonRelease, { 32, 42 }, Qt::LeftButton, Qt::NoButton);
    expectLooks({ { { 32, 42 }, kPressed } }, "toggle down");
    send(*skin, QEvent::MouseButtonPress, { 32, 42 }, Qt::LeftButton, Qt::LeftButton);
    send(*skin, QEvent::MouseButtonRelease, { 32, 42 }, Qt::LeftButton, Qt::NoButton);
    expectLooks({ { { 32, 42 }, kNormal } }, "toggle up");
    skin->SetHotAreaDown(QStringLiteral("TOG"), true);
    expectLooks({ { { 32, 42 }, kPressed } }, "toggle set down");
}

// The clock sets its text every second, which repaints the whole window: the
// look under the pointer must survive it, and leaving the window clears it.
TEST_F(SkinFormTest, ClockTicksKeepTheLookUnderThePointer)
{
    auto skin = loaded();
    skin->show();
    send(*skin, QEvent::MouseMove, { 35, 15 }, Qt::NoButton, Qt::NoButton);
    skin->SetAreaText(QStringLiteral("CLOCK"), QStringLiteral("12"));
    EXPECT_EQ(shown(*skin, 35, 15), kHover) << "hover after a clock tick";

    send(*skin, QEvent::MouseButtonPress, { 35, 15 }, Qt::LeftButton, Qt::LeftButton);
    skin->SetAreaText(QStringLiteral("CLOCK"), QStringLiteral("13"));
    EXPECT_EQ(shown(*skin, 35, 15), kPressed) << "pressed after a clock tick";
    skin->SetHotAreaDown(QStringLiteral("TOG"), true);
    EXPECT_EQ(shown(*skin, 35, 15), kPressed) << "pressed after a toggle set from outside";
    send(*skin, QEvent::MouseButtonRelease, { 35, 15 }, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(shown(*skin, 35, 15), kNormal) << "released";

    send(*skin, QEvent::MouseMove, { 55, 15 }, Qt::NoButton, Qt::NoButton);
    ASSERT_EQ(shown(*skin, 55, 15), kHover);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(skin.get(), &leave);
    EXPECT_EQ(shown(*skin, 55, 15), kNormal) << "after the pointer left the window";
    skin->SetAreaText(QStringLiteral("CLOCK"), QStringLiteral("14"));
    EXPECT_EQ(shown(*skin, 55, 15), kNormal) << "a clock tick after leaving";
    EXPECT_EQ(shown(*skin, 32, 42), kPressed) << "the toggle stays down";
}

TEST_F(SkinFormTest, GlyphTexts)
{
    auto skin = loaded();
    skin->SetAreaText(QStringLiteral("CLOCK"), QStringLiteral("12:34"));
    const QImage shownImage = skin->grab().toImage();
    const int cells[] = { 1, 2, 0, 3, 4 }; // the colon is not in the strip: cell 0
    for (int i = 0; i < 5; ++i) {
        for (int dx : { 0, 3 }) {
            const int grey = 20 * cells[i] + 5;
            EXPECT_EQ(shownImage.pixelColor(40 + i * 4 + dx, 63), QColor(grey, grey, grey)) << i;
        }
    }
    EXPECT_EQ(shownImage.pixelColor(60, 63), kNormal); // nothing past the text

    // "Aa:ą" from the letters sheet: A (0, 0), a (0, 2), ":" (12, 1), "ą" the blank (10, 1).
    const std::pair<int, int> letters[] = { { 0, 0 }, { 0, 2 }, { 12, 1 }, { 10, 1 } };
    for (int i = 0; i < 4; ++i) {
        const auto [column, row] = letters[i];
        EXPECT_EQ(shownImage.pixelColor(80 + i * 3 + 1, 61), QColor(column * 8, row * 80, 1)) << i;
    }
}

TEST_F(SkinFormTest, SliderDragReportsPositions)
{
    auto skin = loaded();
    QSignalSpy track(skin.get(), &TSkinForm::OnTrackBarNotify);
    // Track x 10..109, thumb 10 wide: offset (100 - 10) * 50 / 100 = 45, thumb at x 55..64.
    EXPECT_EQ(shown(*skin, 56, 72), QColor(Qt::yellow));
    send(*skin, QEvent::MouseButtonPress, { 57, 72 }, Qt::LeftButton, Qt::LeftButton);
    send(*skin, QEvent::MouseMove, { 67, 72 }, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(shown(*skin, 66, 72), QColor(Qt::cyan)); // the active thumb while dragged
    send(*skin, QEvent::MouseMove, { 200, 72 }, Qt::NoButton, Qt::LeftButton); // beyond the track: no move
    send(*skin, QEvent::MouseMove, { 5, 72 }, Qt::NoButton, Qt::LeftButton);
    send(*skin, QEvent::MouseMove, { 12, 72 }, Qt::NoButton, Qt::LeftButton);
    send(*skin, QEvent::MouseButtonRelease, { 12, 72 }, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(track.count(), 2);
    EXPECT_EQ(track.at(0).at(0).toString(), QStringLiteral("VOL"));
    EXPECT_EQ(track.at(0).at(1).toInt(), 61); // offset 55
    EXPECT_EQ(track.at(1).at(1).toInt(), 0); // 12 - 10 - 2 grabbed: limited to 0
    EXPECT_EQ(shown(*skin, 12, 72), QColor(Qt::yellow));
}

TEST_F(SkinFormTest, PressOutsideAreasMovesTheWindowWithTheLeftButtonOnly)
{
    auto skin = loaded();
    skin->move(100, 100);
    skin->show();
    QSignalSpy up(skin.get(), &TSkinForm::OnMouseUpNotify);
    const QPoint start = skin->mapToGlobal(QPoint(100, 30));
    send(*skin, QEvent::MouseButtonPress, { 100, 30 }, Qt::RightButton, Qt::RightButton, start);
    send(*skin, QEvent::MouseMove, { 110, 35 }, Qt::NoButton, Qt::RightButton, start + QPoint(10, 5));
    EXPECT_EQ(skin->pos(), QPoint(100, 100));
    send(
        *skin, QEvent::MouseButtonRelease, { 110, 35 }, Qt::RightButton, Qt::NoButton, start + QPoint(10, 5));
    EXPECT_EQ(up.count(), 1);

    send(*skin, QEvent::MouseButtonPress, { 100, 30 }, Qt::LeftButton, Qt::LeftButton, start);
    send(*skin, QEvent::MouseMove, { 100, 30 }, Qt::NoButton, Qt::LeftButton, start + QPoint(10, 5));
    EXPECT_EQ(skin->pos(), QPoint(110, 105));
    send(*skin, QEvent::MouseButtonRelease, { 100, 30 }, Qt::LeftButton, Qt::NoButton, start + QPoint(10, 5));
    EXPECT_EQ(up.count(), 1); // the release that ends the move is not reported
}

TEST_F(SkinFormTest, FailedLoadsChangeNothing)
{
    auto skin = loaded();
    QSignalSpy changed(skin.get(), &TSkinForm::OnSkinChanged);
    struct Case {
        const char* name;
        std::string definition;
    };
    const Case cases[] = {
        { "not a number", "[HOTAREAINFO]\r\nCount=1\r\n1=A, x, 0, 1, 1\r\n" },
        { "missing picture", "[BITMAPINFO]\r\nMaskBitmap=BRAK.PNG\r\n" },
        { "leaves the folder", "[BITMAPINFO]\r\nMaskBitmap=../skin/MASKA.PNG\r\n" },
        { "absolute", "[BITMAPINFO]\r\nMaskBitmap=" + stdPath("skin/MASKA.PNG") + "\r\n" },
        { "picture not a picture", "[BITMAPINFO]\r\nMaskBitmap=ORBSKIN.INI\r\n" },
    };
    for (const Case& c : cases) {
        test::WriteBytes(stdPath("skin/INNA.INI"), c.definition);
        const TSkinForm::LoadResult result = skin->LoadSkin({ stdPath("skin/INNA.INI") }, false);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_FALSE(result.error.isEmpty()) << c.name;
        EXPECT_EQ(skin->IndexOfHotArea(QStringLiteral("TOG")), 2) << c.name;
        EXPECT_EQ(skin->size(), QSize(120, 80)) << c.name;
    }
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(skin->LoadSkin({ stdPath("skin/NIE_MA.INI") }, false).ok);
}

TEST_F(SkinFormTest, GifPicturesAreRefusedWithAMessage)
{
    auto skin = loaded();
    ScriptedUiServices ui;
    ui.answerMessage(mrOk);
    std::string definition = kDefinition;
    definition.replace(definition.find("NAJAZD.PNG"), 10, "najazd.gif");
    test::WriteBytes(stdPath("skin/GIF.INI"), definition);
    const TSkinForm::LoadResult result = skin->LoadSkin({ stdPath("skin/GIF.INI") }, false);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.refusedPictures, 1);
    ASSERT_TRUE(ui.finished());
    EXPECT_EQ(ui.requests().at(0).text, QStringLiteral("Włącz obsługę obrazów w formacie GIF"));
    // The hover picture held before stays.
    skin->show();
    send(*skin, QEvent::MouseMove, { 35, 15 }, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(shown(*skin, 35, 15), kHover);
}

TEST(SkinMaskTest, KeyColorAndTolerance)
{
    // One row of pixels; which of them lie outside the window.
    const QColor row[] = { QColor(255, 255, 255), QColor(240, 240, 240), QColor(250, 245, 241),
        QColor(239, 250, 250), QColor(0, 0, 0), QColor(255, 255, 254), QColor(16, 16, 16) };
    QImage mask(7, 1, QImage::Format_RGB32);
    for (int x = 0; x < 7; ++x)
        mask.setPixelColor(x, 0, row[x]);
    struct Case {
        QColor key, tolerance;
        std::vector<bool> outside;
    };
    const Case cases[] = {
        { Qt::white, Qt::black, { true, false, false, false, false, false, false } },
        { QColor(240, 240, 240), QColor(32, 32, 32), { true, true, true, false, false, true, false } },
        { QColor(0, 0, 0), QColor(16, 16, 16), { false, false, false, false, true, false, true } },
        { QColor(0, 0, 0), QColor(255, 255, 255), { true, true, true, true, true, true, true } },
    };
    for (const Case& c : cases) {
        const QRegion region = MaskToRegion(mask, c.key, c.tolerance);
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(!region.contains(QPoint(x, 0)), c.outside[std::size_t(x)])
                << x << " key " << c.key.red();
    }
}

TEST(SkinMaskTest, BandsFollowTheOutline)
{
    // A ring: rows with the same runs share one band.
    QImage mask = filled(50, 40, Qt::white);
    QPainter painter(&mask);
    painter.fillRect(5, 5, 40, 30, Qt::black);
    painter.fillRect(15, 15, 20, 10, Qt::white);
    painter.end();
    const QRegion region = MaskToRegion(mask, Qt::white, Qt::black);
    QRegion expected = QRegion(5, 5, 40, 30) - QRegion(15, 15, 20, 10);
    EXPECT_EQ(region, expected);
    EXPECT_EQ(region.rectCount(), 4);
    EXPECT_TRUE(MaskToRegion(QImage(), Qt::white, Qt::black).isEmpty());
}

TEST(SkinFormPlacingTest, OnlyOnAForm)
{
    QWidget form;
    QWidget inner(&form);
    EXPECT_THROW(TSkinForm skin(&inner), std::invalid_argument);
    TSkinForm skin(&form);
    skin.LoadBuiltinSkin();
    EXPECT_EQ(form.size(), QSize(kBuiltinSkinWidth, kBuiltinSkinHeight));
    EXPECT_EQ(skin.geometry(), QRect(0, 0, kBuiltinSkinWidth, kBuiltinSkinHeight));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(form.mask().isEmpty());
}

TEST(SkinFormBuiltinTest, BuiltinSkin)
{
    TSkinForm skin;
    QSignalSpy changed(&skin, &TSkinForm::OnSkinChanged);
    skin.LoadBuiltinSkin();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(skin.size(), QSize(kBuiltinSkinWidth, kBuiltinSkinHeight));
    ASSERT_EQ(skin.State().HotAreas().size(), BuiltinHotAreas().size());
    EXPECT_EQ(skin.HotAreaName(0), QStringLiteral("BUTTON_HELP"));
    EXPECT_FALSE(skin.State().HoverEnabled());
    const QImage normal(QStringLiteral(":/res/SKIN_MAIN.png"));
    const QImage pressed(QStringLiteral(":/res/SKIN_DOWN.png"));
    ASSERT_FALSE(normal.isNull());
    // Hydrogen's cell pressed shows the pressed picture there.
    QSignalSpy up(&skin, &TSkinForm::OnMouseUpNotify);
    QTest::mousePress(&skin, Qt::LeftButton, {}, QPoint(50, 95));
    const QImage shownImage = skin.grab().toImage();
    EXPECT_EQ(shownImage.pixelColor(50, 95), pressed.pixelColor(50, 95));
    EXPECT_EQ(shownImage.pixelColor(50, 125), normal.pixelColor(50, 125));
    QTest::mouseRelease(&skin, Qt::LeftButton, {}, QPoint(50, 120));
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up.at(0).at(0).toString(), QStringLiteral("BUTTON_LI"));
    EXPECT_EQ(skin.Canvas().pixelColor(50, 95), normal.pixelColor(50, 95));
}

// Skin packages in KARNACJE of the program folder.
class SkinPackageTest : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(path("program/KARNACJE")));
        m_env.set("ORBITA_PROGRAM_DIR", path("program"));
    }

    void writePackage(const char* name, const std::vector<std::pair<std::string, QByteArray>>& files)
    {
        test::TestZipWriter zip;
        for (const auto& [member, bytes] : files)
            zip.members.push_back(test::Stored(member, bytes.toStdString()));
        test::WriteBytes(stdPath("program/KARNACJE/") + name, zip.Build());
    }

    static std::string unpacked() { return TempFolder() + "ORB_SKIN"; }
};

TEST_F(SkinPackageTest, PackageUnpacksEveryPictureAndCleansUp)
{
    writePackage("Test.obs", skinFiles());
    {
        TSkinForm skin;
        EXPECT_TRUE(skin.LoadSkinPackage("Test.obs"));
        EXPECT_EQ(skin.size(), QSize(120, 80));
        EXPECT_EQ(skin.HotAreaName(0), QStringLiteral("BTN"));
        for (const char* name : { "ORBSKIN.INI", "MASKA.PNG", "GLOWNY.PNG", "OBRAZY/WCISNIETY.PNG",
                 "NAJAZD.PNG", "CYFRY.PNG", "LITERY.PNG", "GALKA.PNG", "GALKA2.PNG" })
            EXPECT_TRUE(QFile::exists(QString::fromStdString(unpacked() + "/" + name))) << name;
        skin.RemoveSkinFolder();
        EXPECT_FALSE(FolderExists(unpacked()));
        EXPECT_TRUE(skin.LoadSkinPackage("Test.obs"));
        EXPECT_TRUE(FolderExists(unpacked()));
    }
    EXPECT_FALSE(FolderExists(unpacked())); // the destructor removed it
}

// A package in the per-user folder's KARNACJE (where skins go when the
// program folder cannot be written) is found, and wins over the program
// folder's package of the same name.
TEST_F(SkinPackageTest, PerUserPackageIsFoundAndWinsOverTheProgramFolders)
{
    writePackage("Test.obs", { { "ORBSKIN.INI", QByteArray("nothing usable") } });
    EXPECT_FALSE(TSkinForm().LoadSkinPackage("Test.obs"));
    ASSERT_TRUE(QDir().mkpath(path("data/orbita/KARNACJE")));
    test::TestZipWriter zip;
    for (const auto& [member, bytes] : skinFiles())
        zip.members.push_back(test::Stored(member, bytes.toStdString()));
    test::WriteBytes(stdPath("data/orbita/KARNACJE/Test.obs"), zip.Build());
    TSkinForm skin;
    EXPECT_TRUE(skin.LoadSkinPackage("Test.obs"));
    EXPECT_EQ(skin.HotAreaName(0), QStringLiteral("BTN"));
}

TEST_F(SkinPackageTest, UnusablePackagesFallBackToTheBuiltinSkin)
{
    auto withDefinition = [](const std::string& definition, const char* drop = nullptr) {
        std::vector<std::pair<std::string, QByteArray>> files = skinFiles(definition);
        if (drop != nullptr)
            std::erase_if(files, [&](const auto& file) { return file.first == drop; });
        return files;
    };
    std::string traversal = kDefinition;
    traversal.replace(traversal.find("NAJAZD.PNG"), 10, "../../x.png");
    std::string deep = kDefinition;
    deep.replace(deep.find("NAJAZD.PNG"), 10, "a/b/c.png");
    std::string noMask = kDefinition;
    noMask.replace(noMask.find("MaskBitmap"), 10, "Maskbitmap_");
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, QByteArray>> files;
        std::string skinFile;
    };
    const Case cases[] = {
        { "a traversal name", withDefinition(traversal), "Test.obs" },
        { "three folder levels", withDefinition(deep), "Test.obs" },
        { "a missing hover picture", withDefinition(kDefinition, "NAJAZD.PNG"), "Test.obs" },
        { "a missing thumb", withDefinition(kDefinition, "GALKA2.PNG"), "Test.obs" },
        { "no definition", withDefinition(kDefinition, "ORBSKIN.INI"), "Test.obs" },
        { "no mask named", withDefinition(noMask), "Test.obs" },
        { "no such package", withDefinition(kDefinition), "Inny.obs" },
        { "a package name that leaves KARNACJE", withDefinition(kDefinition), "../KARNACJE/Test.obs" },
    };
    for (const Case& c : cases) {
        writePackage("Test.obs", c.files);
        TSkinForm skin;
        QSignalSpy changed(&skin, &TSkinForm::OnSkinChanged);
        EXPECT_FALSE(skin.LoadSkinPackage(c.skinFile)) << c.name;
        EXPECT_EQ(skin.size(), QSize(kBuiltinSkinWidth, kBuiltinSkinHeight)) << c.name;
        EXPECT_EQ(skin.HotAreaName(0), QStringLiteral("BUTTON_HELP")) << c.name;
        EXPECT_EQ(changed.count(), 1) << c.name;
        EXPECT_FALSE(FolderExists(unpacked())) << c.name;
        EXPECT_FALSE(QFile::exists(path("run/x.png"))) << c.name; // where "../../x.png" would land
    }
}

TEST_F(SkinPackageTest, SettingsChooseThePackage)
{
    writePackage("Test.obs", skinFiles());
    const std::string key = "Software\\Orbita\\Jan";
    WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Jan");
    struct Case {
        std::optional<int> useSkin;
        std::string skinFile;
        bool package;
    };
    const Case cases[] = {
        { std::nullopt, "Test.obs", false },
        { 0, "Test.obs", false },
        { 2, "Test.obs", false },
        { 1, "Test.obs", true },
        { 1, "Brak.obs", false },
    };
    for (const Case& c : cases) {
        DeleteRegValue(Hive::CurrentUser, key, "UseSkin");
        if (c.useSkin)
            WriteRegInteger(Hive::CurrentUser, key, "UseSkin", *c.useSkin);
        WriteRegString(Hive::CurrentUser, key, "SkinFile", c.skinFile);
        TSkinForm skin;
        EXPECT_EQ(LoadConfiguredSkin(skin), c.package) << c.skinFile;
        EXPECT_EQ(skin.HotAreaName(0), c.package ? QStringLiteral("BTN") : QStringLiteral("BUTTON_HELP"));
    }
}

} // namespace
} // namespace orbita
