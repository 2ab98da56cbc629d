#include "core/registry.h"
#include "platform/sound.h"
#include "platform/window_services.h"
#include "tests/platform/platform_test_environment.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QResource>
#include <QWidget>

namespace orbita {
namespace {

const char* const kProfile = "Software\\Orbita\\Administrator";
const char* const kPlacement = "Software\\Orbita\\Administrator\\Placement";

class WindowServices : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    }

    static int placement(const char* name) { return ReadRegInteger(Hive::CurrentUser, kPlacement, name); }

    // A window as a dialog would be created: named, designed at its outer size.
    static std::unique_ptr<QWidget> window(const char* name, bool sizeable, QSize designed)
    {
        auto widget = std::make_unique<QWidget>();
        widget->setObjectName(QString::fromLatin1(name));
        SetSizeable(*widget, sizeable);
        widget->resize(designed);
        return widget;
    }
};

TEST_F(WindowServices, SizeableWindowPlacementRoundTrip)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "SaveWindowsPlacement", 1);
    auto first = window("HelpForm", true, QSize(300, 326));
    OpenWindowServices(*first);
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(first->size(), QSize(300, 300)); // nothing stored yet: designed size less the caption
    EXPECT_EQ(HintHidePause(), 600000);
    first->show();
    first->move(40, 50);
    first->resize(320, 400);
    CloseWindowServices(*first);
    EXPECT_EQ(placement("HelpFormLeft"), 40);
    EXPECT_EQ(placement("HelpFormTop"), 50);
    EXPECT_EQ(placement("HelpFormWidth"), 320);
    EXPECT_EQ(placement("HelpFormHeight"), 426);

    // Reopened with another designed size: placed and sized as it was left,
    // and closing it unchanged stores the same values again.
    auto second = window("HelpForm", true, QSize(200, 200));
    OpenWindowServices(*second);
    EXPECT_EQ(second->pos(), QPoint(40, 50));
    EXPECT_EQ(second->size(), QSize(320, 400));
    second->show();
    CloseWindowServices(*second);
    EXPECT_EQ(placement("HelpFormHeight"), 426);
    EXPECT_EQ(placement("HelpFormWidth"), 320);
}

TEST_F(WindowServices, FixedSizeWindowKeepsOnlyItsPosition)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "SaveWindowsPlacement", 1);
    auto first = window("UnitsForm", false, QSize(250, 226));
    OpenWindowServices(*first);
    first->move(70, 80);
    CloseWindowServices(*first);
    EXPECT_EQ(placement("UnitsFormLeft"), 70);
    EXPECT_EQ(placement("UnitsFormTop"), 80);
    EXPECT_EQ(placement("UnitsFormWidth"), -1);
    EXPECT_EQ(placement("UnitsFormHeight"), -1);

    WriteRegInteger(Hive::CurrentUser, kPlacement, "UnitsFormWidth", 999);
    WriteRegInteger(Hive::CurrentUser, kPlacement, "UnitsFormHeight", 999);
    auto second = window("UnitsForm", false, QSize(250, 226));
    OpenWindowServices(*second);
    EXPECT_EQ(second->pos(), QPoint(70, 80));
    EXPECT_EQ(second->size(), QSize(250, 200));
}

TEST_F(WindowServices, SavedPlacementIsAppliedOnlyWhenAskedFor)
{
    const struct {
        const char* user;
        int savePlacement; // -1: missing
        bool withLeft;
        bool applied;
    } cases[] = {
        { "Administrator", 1, true, true },
        { "Administrator", 0, true, false },
        { "Administrator", -1, true, false },
        { "Administrator", 2, true, false },
        { "Administrator", 1, false, false },
        { "", 1, true, false },
    };
    for (const auto& c : cases) {
        DeleteRegKey(Hive::CurrentUser, "Software\\Orbita");
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", c.user);
        if (c.savePlacement != -1)
            WriteRegInteger(Hive::CurrentUser, kProfile, "SaveWindowsPlacement", c.savePlacement);
        if (c.withLeft)
            WriteRegInteger(Hive::CurrentUser, kPlacement, "DictFormLeft", 15);
        WriteRegInteger(Hive::CurrentUser, kPlacement, "DictFormTop", 25);
        WriteRegInteger(Hive::CurrentUser, kPlacement, "DictFormWidth", 444);
        WriteRegInteger(Hive::CurrentUser, kPlacement, "DictFormHeight", 333);
        auto widget = window("DictForm", true, QSize(200, 126));
        widget->move(5, 6);
        OpenWindowServices(*widget);
        const QRect expected = c.applied ? QRect(15, 25, 444, 307) : QRect(5, 6, 200, 100);
        EXPECT_EQ(QRect(widget->pos(), widget->size()), expected)
            << "user '" << c.user << "' SaveWindowsPlacement " << c.savePlacement << " left " << c.withLeft;
        EXPECT_TRUE(widget->windowFlags().testFlag(Qt::FramelessWindowHint));
    }
}

TEST_F(WindowServices, PlacementIsSavedWhateverTheSettingButNotWithoutAnAccount)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "SaveWindowsPlacement", 0);
    auto widget = window("TestForm", true, QSize(300, 326));
    OpenWindowServices(*widget);
    widget->move(11, 12);
    CloseWindowServices(*widget);
    EXPECT_EQ(placement("TestFormLeft"), 11);
    EXPECT_EQ(placement("TestFormHeight"), 326);

    DeleteRegKey(Hive::CurrentUser, kPlacement);
    WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "");
    CloseWindowServices(*widget);
    EXPECT_TRUE(RegValueNames(Hive::CurrentUser, kPlacement).empty());
    EXPECT_TRUE(RegValueNames(Hive::CurrentUser, "Software\\Orbita\\\\Placement").empty());
    EXPECT_TRUE(RegValueNames(Hive::CurrentUser, "Software\\Orbita\\Placement").empty());
}

TEST_F(WindowServices, MaximisedWindowIsSavedWithItsNormalBounds)
{
    auto widget = window("ElementForm", true, QSize(300, 326));
    OpenWindowServices(*widget);
    widget->move(30, 40);
    widget->show();
    widget->showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(widget->isMaximized());
    CloseWindowServices(*widget);
    EXPECT_EQ(placement("ElementFormLeft"), 30);
    EXPECT_EQ(placement("ElementFormTop"), 40);
    EXPECT_EQ(placement("ElementFormWidth"), 300);
    EXPECT_EQ(placement("ElementFormHeight"), 326);
}

TEST_F(WindowServices, OpenAndCloseSoundsPlayOnlyWhenSwitchedOn)
{
    QFile wav(path("OTWORZ.WAV"));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write("RIFF");
    wav.close();
    ASSERT_TRUE(QFile::copy(path("OTWORZ.WAV"), path("ZAMKNIJ.WAV")));
    const struct {
        const char* user;
        int sounds; // -1: missing
        bool filesExist;
        bool played;
    } cases[] = {
        { "Administrator", 1, true, true },
        { "Administrator", 0, true, false },
        { "Administrator", -1, true, false },
        { "Administrator", 2, true, false },
        { "Administrator", 1, false, false },
        { "", 1, true, false },
    };
    std::vector<std::string> played;
    SetSoundListener([&played](const std::string& file, bool loop) {
        EXPECT_FALSE(loop);
        played.push_back(file);
    });
    for (const auto& c : cases) {
        played.clear();
        DeleteRegKey(Hive::CurrentUser, "Software\\Orbita");
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", c.user);
        if (c.sounds != -1)
            WriteRegInteger(Hive::CurrentUser, kProfile, "Sounds", c.sounds);
        // Stored as the store keeps paths: Windows-1250 text, "\\" allowed.
        const std::string folder = c.filesExist ? m_root.path().toStdString() : stdPath("none");
        WriteRegString(Hive::CurrentUser, kProfile, "WindowOpenSound", folder + "\\OTWORZ.WAV");
        WriteRegString(Hive::CurrentUser, kProfile, "WindowCloseSound", folder + "/ZAMKNIJ.WAV");
        auto widget = window("AboutForm", false, QSize(100, 126));
        OpenWindowServices(*widget);
        CloseWindowServices(*widget);
        const std::vector<std::string> expected = c.played
            ? std::vector<std::string> { stdPath("OTWORZ.WAV"), stdPath("ZAMKNIJ.WAV") }
            : std::vector<std::string> {};
        EXPECT_EQ(played, expected) << "user '" << c.user << "' Sounds " << c.sounds;
    }
    SetSoundListener({});
}

// A 3 x 2 texture of six different colours.
QImage texture()
{
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb colours[6] = { 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF };
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, 0xFF000000 | colours[y * 3 + x]);
    return image;
}

QImage painted(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    PaintBackground(widget, painter);
    return image;
}

bool isPlain(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != 0xFFE4E4E4)
                return false;
    return true;
}

bool isTiled(const QImage& image, const QImage& tile)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != tile.pixel(x % tile.width(), y % tile.height()))
                return false;
    return true;
}

TEST_F(WindowServices, BackgroundIsTheTextureTiledOrPlainColour)
{
    ASSERT_TRUE(texture().save(path("FAKTURA.BMP"), "BMP"));
    ASSERT_TRUE(texture().save(path("Faktura żółta.bmp"), "BMP"));
    QFile junk(path("junk.bmp"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("BMnot a picture");
    junk.close();
    const std::string bmp = stdPath("FAKTURA.BMP");
    // Windows-1250, as the store keeps it.
    const std::string polish = m_root.path().toStdString() + "/Faktura \xBF\xF3\xB3ta.bmp";
    std::string backslashed = stdPath("FAKTURA.BMP");
    backslashed.replace(backslashed.rfind('/'), 1, "\\");

    const struct {
        const char* user;
        int useBackground;
        std::string path;
        bool tiled;
    } cases[] = {
        { "Administrator", 1, bmp, true }, { "Administrator", 1, polish, true },
        { "Administrator", 1, backslashed, true },
        { "", 1, bmp, true }, // nobody logged in: Administrator's settings
        { "Administrator", 0, bmp, false }, { "Administrator", -1, bmp, false },
        { "Administrator", 1, stdPath("missing.bmp"), false },
        { "Administrator", 1, stdPath("junk.bmp"), false }, { "Administrator", 1, "", false },
        { "Jan", 1, bmp, false }, // Jan has no texture of his own
    };
    QWidget widget;
    widget.resize(10, 7);
    for (const auto& c : cases) {
        DeleteRegKey(Hive::CurrentUser, "Software\\Orbita");
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", c.user);
        if (c.useBackground != -1)
            WriteRegInteger(Hive::CurrentUser, kProfile, "UseBackground", c.useBackground);
        WriteRegString(Hive::CurrentUser, kProfile, "BackgroundPath", c.path);
        const QImage image = painted(widget);
        if (c.tiled)
            EXPECT_TRUE(isTiled(image, texture())) << c.user << " " << c.path;
        else
            EXPECT_TRUE(isPlain(image)) << c.user << " " << c.path;
    }
}

TEST_F(WindowServices, TextureIsReadAgainAtEveryPaint)
{
    WriteRegInteger(Hive::CurrentUser, kProfile, "UseBackground", 1);
    WriteRegString(Hive::CurrentUser, kProfile, "BackgroundPath", stdPath("FAKTURA.BMP"));
    QWidget widget;
    widget.resize(8, 8);
    ASSERT_TRUE(texture().save(path("FAKTURA.BMP"), "BMP"));
    EXPECT_TRUE(isTiled(painted(widget), texture()));
    const QImage other = texture().mirrored(true, false);
    ASSERT_TRUE(other.save(path("FAKTURA.BMP"), "BMP"));
    EXPECT_TRUE(isTiled(painted(widget), other));
    QFile::remove(path("FAKTURA.BMP"));
    EXPECT_TRUE(isPlain(painted(widget)));
}

// Registers a resource file with ":/res/B_TEST.png" (a 4 x 4 red square),
// built with Qt's resource compiler.
class ResourcePictures : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        const QString rcc = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + QStringLiteral("/rcc");
        if (!QFileInfo(rcc).isExecutable())
            GTEST_SKIP() << "Qt's resource compiler is not installed";
        QImage red(4, 4, QImage::Format_ARGB32);
        red.fill(Qt::red);
        ASSERT_TRUE(red.save(path("B_TEST.png")));
        QFile qrc(path("test.qrc"));
        ASSERT_TRUE(qrc.open(QIODevice::WriteOnly));
        qrc.write("<RCC><qresource prefix=\"/res\"><file>B_TEST.png</file></qresource></RCC>");
        qrc.close();
        ASSERT_EQ(
            QProcess::execute(
                rcc, { QStringLiteral("-binary"), path("test.qrc"), QStringLiteral("-o"), path("test.rcc") }),
            0);
        ASSERT_TRUE(QResource::registerResource(path("test.rcc")));
        m_registered = true;
    }
    void TearDown() override
    {
        if (m_registered)
            QResource::unregisterResource(path("test.rcc"));
    }

    bool m_registered = false;
};

TEST_F(ResourcePictures, MissingPicturesDrawNothing)
{
    QLabel label;
    DrawResourceBitmap(label, QStringLiteral("B_MISSING"));
    EXPECT_TRUE(label.pixmap().isNull());
    DrawResourceBitmap(label, QStringLiteral("B_TEST"));
    ASSERT_FALSE(label.pixmap().isNull());
    EXPECT_EQ(label.pixmap().toImage().pixel(0, 0), 0xFFFF0000);
    EXPECT_EQ(label.alignment(), Qt::AlignLeft | Qt::AlignTop);

    QMenu menu;
    menu.addAction(QStringLiteral("Szukaj"));
    menu.addAction(QStringLiteral("Zamknij"));
    SetMenuItemImage(QStringLiteral("B_TEST"), menu, 1);
    SetMenuItemImage(QStringLiteral("B_TEST"), menu, 2);
    SetMenuItemImage(QStringLiteral("B_TEST"), menu, -1);
    SetMenuItemImage(QStringLiteral("B_MISSING"), menu, 0);
    EXPECT_TRUE(menu.actions().at(0)->icon().isNull());
    EXPECT_FALSE(menu.actions().at(1)->icon().isNull());

    QList<QIcon> icons;
    AddResourceIcon(QStringLiteral("B_MISSING"), icons, 32);
    AddResourceIcon(QStringLiteral("B_TEST"), icons, 32);
    ASSERT_EQ(icons.size(), 2);
    EXPECT_EQ(icons[0].pixmap(32, 32).toImage().pixel(5, 5), 0x00000000u);
    EXPECT_EQ(icons[1].availableSizes().value(0), QSize(32, 32));
    EXPECT_EQ(icons[1].pixmap(32, 32).toImage().pixel(31, 31), 0xFFFF0000);
}

// A tool icon holds the small picture as drawn, not the large one scaled down.
TEST_F(WindowServices, ToolIconsJoinTheirTwoSizes)
{
    const QIcon icon = ToolIcon(QStringLiteral("TOOL_TABLES"));
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    const auto argb = [](const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); };
    EXPECT_EQ(argb(icon.pixmap(16, 16).toImage()), argb(QImage(QStringLiteral(":/res/TOOL_TABLES_16.png"))));
    EXPECT_EQ(argb(icon.pixmap(32, 32).toImage()), argb(QImage(QStringLiteral(":/res/TOOL_TABLES_32.png"))));
    EXPECT_TRUE(ToolIcon(QStringLiteral("TOOL_MISSING")).isNull());
}

} // namespace
} // namespace orbita
