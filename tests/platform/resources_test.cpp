#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QSize>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

// The pictures compiled into the platform library: every name the windows ask
// for must load at the size its window is laid out for.
namespace orbita {
namespace {

struct Picture {
    const char* name; // as the code names it, without ".png"
    QSize size;
};

const QSize kGlyph(16, 16);
const QSize kMenu(13, 13);

const Picture kPictures[] = {
    // The built-in skin.
    { "SKIN_MASK", QSize(630, 423) },
    { "SKIN_MAIN", QSize(630, 423) },
    { "SKIN_DOWN", QSize(610, 364) },
    // Button glyphs.
    { "B_ABOUT", kGlyph },
    { "B_BACK", kGlyph },
    { "B_CALC", kGlyph },
    { "B_CANCEL", kGlyph },
    { "B_CLOSE", kGlyph },
    { "B_CONFIRM", kGlyph },
    { "B_COPY", kGlyph },
    { "B_DEFAULT", kGlyph },
    { "B_DESCRIPTION", kGlyph },
    { "B_DETAILS", kGlyph },
    { "B_FIND", kGlyph },
    { "B_FIRST", kGlyph },
    { "B_GO", kGlyph },
    { "B_HELP", kGlyph },
    { "B_LAST", kGlyph },
    { "B_LIST", kGlyph },
    { "B_MAIL", kGlyph },
    { "B_MOREDETAILS", kGlyph },
    { "B_NEXT", kGlyph },
    { "B_NOTES", kGlyph },
    { "B_PREVIOUS", kGlyph },
    { "B_PRINT", kGlyph },
    { "B_SAVE", kGlyph },
    { "B_SETTINGS", kGlyph },
    { "B_START", kGlyph },
    { "B_THNX", kGlyph },
    { "B_TOOLS", kGlyph },
    { "B_UPDATE", kGlyph },
    // Menu pictures.
    { "M_CENTRUM", kMenu },
    { "M_DUZE", kMenu },
    { "M_INFORMACJE", kMenu },
    { "M_LEGENDA", kMenu },
    { "M_LISTA", kMenu },
    { "M_MALE", kMenu },
    { "M_MINIMALIZUJ", kMenu },
    { "M_POMOC", kMenu },
    { "M_PROGRAM", kMenu },
    { "M_PRZELICZNIK", kMenu },
    { "M_MASA", kMenu },
    { "M_WLASC", kMenu },
    { "M_SLOWNIK", kMenu },
    { "M_SZCZEGOLY", kMenu },
    { "M_SZUKAJ", kMenu },
    { "M_TABLICE", kMenu },
    { "M_TEST", kMenu },
    { "M_USTAWIENIA", kMenu },
    { "M_WPROWADZENIE", kMenu },
    { "M_ZAMKNIJ", kMenu },
    // Launcher icons, large and small.
    { "TOOL_TABLES_32", QSize(32, 32) },
    { "TOOL_TABLES_16", QSize(16, 16) },
    { "TOOL_TEST_32", QSize(32, 32) },
    { "TOOL_TEST_16", QSize(16, 16) },
    { "TOOL_DICTIONARY_32", QSize(32, 32) },
    { "TOOL_DICTIONARY_16", QSize(16, 16) },
    { "TOOL_ELEMENT_32", QSize(32, 32) },
    { "TOOL_ELEMENT_16", QSize(16, 16) },
    { "TOOL_FIND_32", QSize(32, 32) },
    { "TOOL_FIND_16", QSize(16, 16) },
    { "TOOL_UNITS_32", QSize(32, 32) },
    { "TOOL_UNITS_16", QSize(16, 16) },
    { "TOOL_MOLAR_32", QSize(32, 32) },
    { "TOOL_MOLAR_16", QSize(16, 16) },
    { "TOOL_PROPERTIES_32", QSize(32, 32) },
    { "TOOL_PROPERTIES_16", QSize(16, 16) },
    // The installer's and the uninstaller's window icons.
    { "TOOL_2_32", QSize(32, 32) },
    { "TOOL_2_16", QSize(16, 16) },
    { "TOOL_3_32", QSize(32, 32) },
    { "TOOL_3_16", QSize(16, 16) },
    // Cursor and window pictures.
    { "HANDPOINT", QSize(32, 32) },
    { "SPLASH", QSize(600, 180) },
    { "ABOUT", QSize(128, 128) },
    { "AUTOR", QSize(96, 96) },
    { "CLOUDS", QSize(50, 200) },
    { "TIP_ON", QSize(26, 34) },
    { "TIP_OFF", QSize(26, 34) },
};

QString resourcePath(const char* name)
{
    return QStringLiteral(":/res/%1.png").arg(QLatin1String(name));
}

TEST(PictureResources, EveryPictureLoadsAtItsSize)
{
    for (const Picture& picture : kPictures) {
        SCOPED_TRACE(picture.name);
        const QPixmap pixmap(resourcePath(picture.name));
        ASSERT_FALSE(pixmap.isNull());
        EXPECT_EQ(pixmap.size(), picture.size);
    }
}

TEST(PictureResources, TheSkinMaskHasOneBitPerPixel)
{
    const QImage mask(resourcePath("SKIN_MASK"));
    ASSERT_FALSE(mask.isNull());
    EXPECT_EQ(mask.depth(), 1);
}

TEST(PictureResources, GlyphsAndIconsHaveATransparentGround)
{
    for (const Picture& picture : kPictures) {
        const QString name = QLatin1String(picture.name);
        if (!name.startsWith(QLatin1String("B_")) && !name.startsWith(QLatin1String("M_"))
            && !name.startsWith(QLatin1String("TOOL_")) && name != QLatin1String("HANDPOINT"))
            continue;
        SCOPED_TRACE(picture.name);
        const QImage image = QImage(resourcePath(picture.name)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull());
        int opaque = 0;
        int clear = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                opaque += alpha >= 128 ? 1 : 0;
                clear += alpha == 0 ? 1 : 0;
            }
        }
        // Something is drawn, and the ground around it shows through.
        const int area = image.width() * image.height();
        EXPECT_GT(opaque, area / 20);
        EXPECT_GT(clear, 0);
    }
}

// The resource file lists exactly the pictures committed under res/, so a new
// picture cannot be forgotten there and a listed one cannot be missing.
TEST(PictureResources, TheResourceFileListsEveryCommittedPicture)
{
    const QDir folder(QStringLiteral(ORBITA_SOURCE_DIR "/res"));
    const QStringList committed = folder.entryList({ QStringLiteral("*.png") }, QDir::Files, QDir::Name);
    const QStringList compiled = QDir(QStringLiteral(":/res")).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(compiled, committed);
    // And every picture the code uses is among them.
    for (const Picture& picture : kPictures)
        EXPECT_TRUE(compiled.contains(QString::fromLatin1(picture.name) + QLatin1String(".png")))
            << picture.name;
    EXPECT_EQ(compiled.size(), static_cast<qsizetype>(std::size(kPictures)));
}

} // namespace
} // namespace orbita
