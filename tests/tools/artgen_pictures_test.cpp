#include "core/cp1250.h"
#include "skin/builtin_skin.h"
#include "skin/element_cells.h"
#include "tests/support/picture_compare.h"
#include "tools/artgen/art_fonts.h"
#include "tools/artgen/pictures.h"
#include "tools/artgen/program_files.h"
#include "tools/artgen/skin_pictures.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <set>

// The pictures of orbita-artgen: the committed copies under res/ and
// content/KARNACJE/Niebieski/ must be exactly what the generator draws, and
// the skin pictures must fit the built-in hot areas.
namespace orbita {
namespace {

const QString kSourceDir = QStringLiteral(ORBITA_SOURCE_DIR);
const QString kBlueSkinDir = kSourceDir + QStringLiteral("/content/KARNACJE/Niebieski");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage decoded(const QByteArray& bytes)
{
    return QImage::fromData(bytes).convertToFormat(QImage::Format_ARGB32);
}

double luminance(QRgb rgb)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

bool sameRect(const QImage& a, const QImage& b, const SkinRect& rect)
{
    for (int y = rect.top; y < rect.bottom(); ++y) {
        for (int x = rect.left; x < rect.right(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
        }
    }
    return true;
}

// Compares every file of `files` with its committed copy in `folder`: the
// definition text byte for byte, pictures within the tolerance of the shared
// picture comparison (antialiasing rounds differently on other processors). A
// picture that differs is written to the build tree as <name>.generated.png.
void expectCommittedCopies(const std::vector<artgen::ArtFile>& files, const QString& folder)
{
    ASSERT_TRUE(artgen::FontsAvailable()) << "fonts-dejavu-core is needed to draw the pictures";
    for (const artgen::ArtFile& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        const QByteArray generated = file.make();
        const QByteArray committed = readFile(QDir(folder).filePath(file.name));
        ASSERT_FALSE(generated.isEmpty());
        ASSERT_FALSE(committed.isEmpty()) << "not committed";
        if (!file.name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
            EXPECT_EQ(generated, committed);
            continue;
        }
        const QImage drawn = QImage::fromData(generated);
        const QImage stored = QImage::fromData(committed);
        ASSERT_FALSE(stored.isNull());
        EXPECT_EQ(drawn.depth(), stored.depth());
        EXPECT_TRUE(test::PicturesMatch(drawn, stored, file.name + QStringLiteral(".generated.png")))
            << "the committed picture differs from the drawn one; run orbita-artgen again";
    }
}

// CIE L*a*b* (D65) of an sRGB colour.
struct Lab {
    double l;
    double a;
    double b;
};

Lab labOf(const QColor& colour)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double r = linear(colour.red());
    const double g = linear(colour.green());
    const double b = linear(colour.blue());
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    return Lab { 116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z)) };
}

// The CIEDE2000 colour difference (Sharma, Wu and Dalal 2005).
double ciede2000(const Lab& p, const Lab& q)
{
    constexpr double kPi = 3.14159265358979323846;
    const auto rad = [](double degrees) { return degrees * kPi / 180; };
    const auto deg = [](double radians) { return radians * 180 / kPi; };
    const double cMean = (std::hypot(p.a, p.b) + std::hypot(q.a, q.b)) / 2;
    const double g = 0.5 * (1 - std::sqrt(std::pow(cMean, 7) / (std::pow(cMean, 7) + std::pow(25.0, 7))));
    const double a1 = (1 + g) * p.a;
    const double a2 = (1 + g) * q.a;
    const double c1 = std::hypot(a1, p.b);
    const double c2 = std::hypot(a2, q.b);
    const auto hue = [&](double a, double b) {
        const double h = deg(std::atan2(b, a));
        return h < 0 ? h + 360 : h;
    };
    const double h1 = c1 == 0 ? 0 : hue(a1, p.b);
    const double h2 = c2 == 0 ? 0 : hue(a2, q.b);
    double dh = 0;
    if (c1 * c2 != 0) {
        dh = h2 - h1;
        if (dh > 180)
            dh -= 360;
        else if (dh < -180)
            dh += 360;
    }
    const double dL = q.l - p.l;
    const double dC = c2 - c1;
    const double dH = 2 * std::sqrt(c1 * c2) * std::sin(rad(dh / 2));
    const double lMean = (p.l + q.l) / 2;
    const double cpMean = (c1 + c2) / 2;
    double hMean = h1 + h2;
    if (c1 * c2 != 0) {
        if (std::abs(h1 - h2) <= 180)
            hMean = (h1 + h2) / 2;
        else
            hMean = h1 + h2 < 360 ? (h1 + h2 + 360) / 2 : (h1 + h2 - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos(rad(hMean - 30)) + 0.24 * std::cos(rad(2 * hMean))
        + 0.32 * std::cos(rad(3 * hMean + 6)) - 0.20 * std::cos(rad(4 * hMean - 63));
    const double dTheta = 30 * std::exp(-std::pow((hMean - 275) / 25, 2));
    const double rC = 2 * std::sqrt(std::pow(cpMean, 7) / (std::pow(cpMean, 7) + std::pow(25.0, 7)));
    const double sL = 1 + 0.015 * std::pow(lMean - 50, 2) / std::sqrt(20 + std::pow(lMean - 50, 2));
    const double sC = 1 + 0.045 * cpMean;
    const double sH = 1 + 0.015 * cpMean * t;
    const double rT = -std::sin(rad(2 * dTheta)) * rC;
    return std::sqrt(
        std::pow(dL / sL, 2) + std::pow(dC / sC, 2) + std::pow(dH / sH, 2) + rT * (dC / sC) * (dH / sH));
}

TEST(ArtgenPictures, CommittedResourcesAreWhatTheGeneratorDraws)
{
    expectCommittedCopies(artgen::ResourceFiles(), kSourceDir + QStringLiteral("/res"));
}

TEST(ArtgenPictures, CommittedBlueSkinIsWhatTheGeneratorDraws)
{
    expectCommittedCopies(artgen::BlueSkinFiles(), kBlueSkinDir);
}

TEST(ArtgenPictures, MaskHoldsEveryHotAreaAndTextArea)
{
    const QImage mask = artgen::SkinMask();
    ASSERT_EQ(mask.size(), QSize(kBuiltinSkinWidth, kBuiltinSkinHeight));
    ASSERT_EQ(mask.depth(), 1);
    const auto inside = [&](int x, int y) { return qRed(mask.pixel(x, y)) == 0; };
    for (const SkinHotArea& area : BuiltinHotAreas()) {
        for (int y = area.rect.top; y < area.rect.bottom(); ++y) {
            for (int x = area.rect.left; x < area.rect.right(); ++x)
                ASSERT_TRUE(inside(x, y)) << area.name << " at " << x << "," << y;
        }
    }
    for (const SkinTextArea& text : BuiltinTextAreas()) {
        for (int y = text.top; y < text.top + text.height; ++y) {
            for (int x = text.left; x < text.left + text.width; ++x)
                ASSERT_TRUE(inside(x, y)) << text.name;
        }
    }
    // The outline is irregular: the corners and the gaps between the top tabs
    // are outside.
    EXPECT_FALSE(inside(0, 0));
    EXPECT_FALSE(inside(629, 422));
    EXPECT_FALSE(inside(0, 422));
    EXPECT_FALSE(inside(250, 10));
    EXPECT_FALSE(inside(490, 10));
    EXPECT_TRUE(inside(315, 240));
}

TEST(ArtgenPictures, NormalPictureIsWhiteExactlyOutsideTheOutline)
{
    const QImage mask = artgen::SkinMask();
    for (const artgen::SkinPalette* palette : { &artgen::ClassicPalette(), &artgen::BluePalette() }) {
        const QImage picture = artgen::SkinPicture(*palette, artgen::SkinLook::Normal);
        ASSERT_EQ(picture.size(), mask.size());
        int whiteInside = 0;
        int insideCount = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const bool outside = qRed(mask.pixel(x, y)) != 0;
                const bool white = (picture.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu;
                if (outside) {
                    ASSERT_TRUE(white) << x << "," << y;
                } else {
                    ++insideCount;
                    whiteInside += white ? 1 : 0;
                }
            }
        }
        // The window itself is painted, not left white.
        EXPECT_LT(whiteInside, insideCount / 100);
    }
}

TEST(ArtgenPictures, PressedPictureChangesEveryHotAreaAndNothingElse)
{
    const QImage normal = artgen::SkinPicture(artgen::ClassicPalette(), artgen::SkinLook::Normal);
    const QImage pressed = artgen::SkinPressedPicture(artgen::ClassicPalette());
    ASSERT_EQ(pressed.size(), QSize(kBuiltinPressedWidth, kBuiltinPressedHeight));
    for (const SkinHotArea& area : BuiltinHotAreas())
        EXPECT_FALSE(sameRect(normal, pressed, area.rect)) << area.name << " has no pressed look";
    // The title, the legend and the clock plate are the same in both pictures.
    EXPECT_TRUE(sameRect(normal, pressed, SkinRect { 94, 52, 350, 24 }));
    EXPECT_TRUE(sameRect(normal, pressed, SkinRect { 100, 92, 240, 60 }));
    EXPECT_TRUE(sameRect(normal, pressed, SkinRect { 314, 6, 150, 26 }));
}

TEST(ArtgenPictures, HoverPictureChangesEveryHotArea)
{
    const QImage normal = artgen::SkinPicture(artgen::BluePalette(), artgen::SkinLook::Normal);
    const QImage hover = artgen::SkinPicture(artgen::BluePalette(), artgen::SkinLook::Hover);
    for (const SkinHotArea& area : BuiltinHotAreas())
        EXPECT_FALSE(sameRect(normal, hover, area.rect)) << area.name << " has no hover look";
}

TEST(ArtgenPictures, CellsAreColouredByFamilyAndCarryDarkText)
{
    for (const artgen::SkinPalette* palette : { &artgen::ClassicPalette(), &artgen::BluePalette() }) {
        const QImage picture = artgen::SkinPicture(*palette, artgen::SkinLook::Normal);
        std::map<ElementFamily, QRgb> fills;
        for (const ElementCell& cell : ElementCells()) {
            SCOPED_TRACE(std::string(cell.symbol));
            // A point near the lower left corner, clear of the text.
            const QRgb fill = picture.pixel(cell.rect.left + 3, cell.rect.top + 23);
            const auto [known, added] = fills.emplace(cell.family, fill);
            EXPECT_EQ(known->second, fill) << "cells of one family differ";
            // The number (upper third) and the symbol (below it) are drawn:
            // each has pixels in strong contrast (4.5 : 1) with the fill.
            const auto strong = [&](int from, int to) {
                int count = 0;
                for (int y = from; y < to; ++y) {
                    for (int x = cell.rect.left + 1; x < cell.rect.right() - 1; ++x) {
                        const double ratio
                            = (luminance(fill) + 0.05) / (luminance(picture.pixel(x, y)) + 0.05);
                        count += ratio >= 4.5 ? 1 : 0;
                    }
                }
                return count;
            };
            EXPECT_GE(strong(cell.rect.top + 1, cell.rect.top + 10), 5) << "number";
            EXPECT_GE(strong(cell.rect.top + 10, cell.rect.bottom() - 1), 10) << "symbol";
        }
        std::set<QRgb> distinct;
        for (const auto& [family, fill] : fills)
            distinct.insert(fill);
        EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kElementFamilyCount));
    }
}

TEST(ArtgenPictures, DigitsStripHasElevenCellsAndABlankLast)
{
    const QImage strip = artgen::DigitsStrip(artgen::BluePalette());
    ASSERT_EQ(strip.size(), QSize(11 * artgen::kDigitWidth, artgen::kDigitHeight));
    std::set<QByteArray> cells;
    for (int i = 0; i < 11; ++i) {
        const QImage cell = strip.copy(i * artgen::kDigitWidth, 0, artgen::kDigitWidth, artgen::kDigitHeight);
        cells.insert(QByteArray(reinterpret_cast<const char*>(cell.constBits()), cell.sizeInBytes()));
        std::set<QRgb> colours;
        for (int y = 0; y < cell.height(); ++y) {
            for (int x = 0; x < cell.width(); ++x)
                colours.insert(cell.pixel(x, y));
        }
        if (i == 10)
            EXPECT_EQ(colours.size(), 1u) << "the blank cell is plain";
        else
            EXPECT_GT(colours.size(), 2u) << "digit " << i << " is drawn";
    }
    EXPECT_EQ(cells.size(), 11u);
}

TEST(ArtgenPictures, LettersSheetHasThirtyByThreeCells)
{
    const QImage sheet = artgen::LettersSheet(artgen::BluePalette());
    ASSERT_EQ(sheet.size(), QSize(30 * artgen::kDigitWidth, 3 * artgen::kDigitHeight));
    const auto& rows = artgen::LettersSheetRows();
    EXPECT_EQ(rows[0].size(), 30);
    EXPECT_EQ(rows[1].size(), 30);
    EXPECT_EQ(rows[2].size(), 26);
    EXPECT_EQ(rows[1].indexOf(QLatin1Char(' ')), 10);
    // The clock's characters are all in the sheet.
    for (const QChar c : QStringLiteral("0123456789: -"))
        EXPECT_GE(rows[1].indexOf(c), 0) << c.toLatin1();
}

TEST(ArtgenPictures, ButtonGlyphsAreAllDifferent)
{
    std::map<QByteArray, QString> seen;
    for (const artgen::ArtFile& file : artgen::ResourceFiles()) {
        if (!file.name.startsWith(QLatin1String("B_")) && !file.name.startsWith(QLatin1String("M_")))
            continue;
        const QImage image = decoded(file.make());
        const QByteArray pixels(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
        const auto [previous, added] = seen.emplace(pixels, file.name);
        EXPECT_TRUE(added) << file.name.toStdString() << " looks like " << previous->second.toStdString();
    }
}

// The tolerant comparison still tells every committed picture from every
// other picture of its size (the lit and the dark bulb, one glyph and the next).
TEST(ArtgenPictures, ToleranceStillTellsEveryPictureFromTheOthers)
{
    std::vector<std::pair<QString, QImage>> pictures;
    for (const artgen::ArtFile& file : artgen::ResourceFiles()) {
        if (file.name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
            pictures.emplace_back(file.name, QImage(kSourceDir + QStringLiteral("/res/") + file.name));
    }
    ASSERT_GT(pictures.size(), 50u);
    int pairs = 0;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        ASSERT_FALSE(pictures[i].second.isNull()) << pictures[i].first.toStdString();
        EXPECT_TRUE(test::PicturesMatch(pictures[i].second, pictures[i].second));
        for (std::size_t j = i + 1; j < pictures.size(); ++j) {
            if (pictures[i].second.size() != pictures[j].second.size())
                continue;
            ++pairs;
            EXPECT_FALSE(test::PicturesMatch(pictures[i].second, pictures[j].second))
                << pictures[i].first.toStdString() << " passes for " << pictures[j].first.toStdString();
        }
    }
    EXPECT_GT(pairs, 500);
}

TEST(ArtgenPictures, HandCursorPointsWithItsHotSpot)
{
    const QImage hand = artgen::HandPointCursor().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(hand.size(), QSize(artgen::kCursorSize, artgen::kCursorSize));
    const QPoint tip = artgen::kHandPointHotSpot;
    // The hot spot is the middle of the topmost row of the hand: the fingertip.
    int top = -1;
    int first = -1;
    int last = -1;
    for (int y = 0; y < hand.height() && top < 0; ++y) {
        for (int x = 0; x < hand.width(); ++x) {
            if (qAlpha(hand.pixel(x, y)) > 128) {
                top = y;
                first = first < 0 ? x : first;
                last = x;
            }
        }
    }
    EXPECT_EQ(top, tip.y());
    EXPECT_LE(std::abs((first + last) / 2 - tip.x()), 1) << first << ".." << last;
    // The rest of the finger is below it.
    for (int y = tip.y(); y < tip.y() + 10; ++y)
        EXPECT_GT(qAlpha(hand.pixel(tip.x(), y)), 128) << y;
}

TEST(ArtgenPictures, BlueSkinDefinitionNamesItsPicturesAndTheBuiltInHotAreas)
{
    const QByteArray definition = artgen::BlueSkinDefinition();
    for (const char c : definition)
        ASSERT_TRUE(static_cast<unsigned char>(c) < 0x80) << "plain ASCII";
    const QStringList lines = QString::fromLatin1(definition).split(QStringLiteral("\r\n"));
    // The hot-area section is the built-in one.
    const qsizetype hot = lines.indexOf(QStringLiteral("[HOTAREAINFO]"));
    ASSERT_GE(hot, 0);
    const std::vector<std::string> builtin = BuiltinSkinLines();
    for (std::size_t i = 0; i < kBuiltinHotAreaLineCount; ++i)
        EXPECT_EQ(lines.value(hot + 1 + static_cast<qsizetype>(i)).toStdString(), builtin[i]);
    // Each picture it names is in the package at the size it needs.
    const std::map<QString, QSize> pictures = {
        { QStringLiteral("MaskBitmap"), QSize(630, 423) },
        { QStringLiteral("MouseUpBitmap"), QSize(630, 423) },
        { QStringLiteral("MouseDownBitmap"), QSize(630, 423) },
        { QStringLiteral("MouseOnBitmap"), QSize(630, 423) },
        { QStringLiteral("NumbersBitmap"), QSize(11 * artgen::kDigitWidth, artgen::kDigitHeight) },
        { QStringLiteral("TextBitmap"), QSize(30 * artgen::kDigitWidth, 3 * artgen::kDigitHeight) },
    };
    std::set<QString> files;
    for (const auto& [key, size] : pictures) {
        SCOPED_TRACE(key.toStdString());
        const QStringList found = lines.filter(QRegularExpression(QStringLiteral("^%1=").arg(key)));
        ASSERT_EQ(found.size(), 1);
        const QString file = found[0].mid(key.size() + 1);
        files.insert(file);
        const QImage image(QDir(kBlueSkinDir).filePath(file));
        ASSERT_FALSE(image.isNull()) << file.toStdString();
        EXPECT_EQ(image.size(), size);
    }
    EXPECT_EQ(files.size(), pictures.size()) << "hover and pressed pictures differ, so hover painting is on";
    EXPECT_TRUE(lines.contains(QStringLiteral("1=TIMETEXT, Tahoma, TRUE, FALSE, 8, $000000, 323, 12, Text")));
}

TEST(ArtgenPictures, BlueSkinReadmeIsPolishTextThatTheBuildCanConvert)
{
    const QByteArray readme = readFile(kBlueSkinDir + QStringLiteral("/README.TXT"));
    ASSERT_FALSE(readme.isEmpty());
    std::size_t failedAt = 0;
    const auto converted = Utf8ToCp1250(readme.toStdString(), &failedAt);
    ASSERT_TRUE(converted.has_value()) << "a character Windows-1250 cannot hold at byte " << failedAt;
    EXPECT_TRUE(readme.contains("Niebieski"));
    // Polish letters are there (and survive the conversion).
    EXPECT_NE(converted->find('\xB9'), std::string::npos); // ą
}

// The command line writes each set into a folder and names it.
TEST(ArtgenPictures, CommandsWriteAndListEachSet)
{
    const std::pair<const char*, const std::vector<artgen::ArtFile>*> sets[] = {
        { "resources", &artgen::ResourceFiles() },
        { "blue-skin", &artgen::BlueSkinFiles() },
    };
    for (const auto& [command, files] : sets) {
        SCOPED_TRACE(command);
        QStringList expected;
        for (const artgen::ArtFile& file : *files)
            expected << file.name;
        QTemporaryDir folder;
        QProcess write;
        write.start(QStringLiteral(ORBITA_ARTGEN), { QLatin1String(command), folder.path() });
        ASSERT_TRUE(write.waitForFinished(60000));
        EXPECT_EQ(write.exitCode(), 0) << write.readAllStandardError().toStdString();
        QStringList written = QDir(folder.path()).entryList(QDir::Files, QDir::Name);
        QStringList sorted = expected;
        sorted.sort();
        EXPECT_EQ(written, sorted);
        // A second run writes the same bytes: nothing depends on memory contents.
        QTemporaryDir again;
        QProcess rewrite;
        rewrite.start(QStringLiteral(ORBITA_ARTGEN), { QLatin1String(command), again.path() });
        ASSERT_TRUE(rewrite.waitForFinished(60000));
        ASSERT_EQ(rewrite.exitCode(), 0);
        for (const QString& name : expected) {
            const QByteArray first = readFile(QDir(folder.path()).filePath(name));
            EXPECT_FALSE(first.isEmpty()) << name.toStdString();
            EXPECT_EQ(first, readFile(QDir(again.path()).filePath(name))) << name.toStdString();
        }
        QProcess list;
        list.start(QStringLiteral(ORBITA_ARTGEN), { QStringLiteral("list"), QLatin1String(command) });
        ASSERT_TRUE(list.waitForFinished(60000));
        EXPECT_EQ(
            QString::fromUtf8(list.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            expected);
    }
}

TEST(ArtgenPictures, ColourDifferenceMatchesThePublishedTestPairs)
{
    // Pairs 1, 7, 13, 17 and 25 of the CIEDE2000 test data (Sharma et al.).
    const struct {
        Lab p;
        Lab q;
        double difference;
    } pairs[] = {
        { { 50, 2.6772, -79.7751 }, { 50, 0, -82.7485 }, 2.0425 },
        { { 50, 0, 0 }, { 50, -1, 2 }, 2.3669 },
        { { 50, 2.4900, -0.0010 }, { 50, -2.4900, 0.0011 }, 7.2195 },
        { { 50, 2.5, 0 }, { 56, -27, -3 }, 31.9030 },
        { { 60.2574, -34.0099, 36.2677 }, { 60.4626, -34.1751, 39.4387 }, 1.2644 },
    };
    for (const auto& pair : pairs) {
        EXPECT_NEAR(ciede2000(pair.p, pair.q), pair.difference, 1e-4);
        EXPECT_NEAR(ciede2000(pair.q, pair.p), pair.difference, 1e-4);
    }
}

// The legend tells the families apart only if their colours differ clearly:
// no two closer than CIEDE2000 10 in the Niebieski skin (its first colours,
// ten light blues, had pairs at 4), and 9.5 in the built-in one.
TEST(ArtgenPictures, FamilyColoursAreClearlyDifferent)
{
    const struct {
        const char* name;
        const artgen::SkinPalette* palette;
        double least;
    } skins[] = {
        { "Niebieski", &artgen::BluePalette(), 10.0 },
        { "built-in", &artgen::ClassicPalette(), 9.5 },
    };
    for (const auto& skin : skins) {
        for (int i = 0; i < kElementFamilyCount; ++i) {
            for (int j = i + 1; j < kElementFamilyCount; ++j) {
                const double difference = ciede2000(labOf(skin.palette->family[static_cast<std::size_t>(i)]),
                    labOf(skin.palette->family[static_cast<std::size_t>(j)]));
                EXPECT_GE(difference, skin.least) << skin.name << ": families " << i << " and " << j;
            }
        }
    }
}

// The legend names the families as the element data does (in the plural),
// each name fits its room, and the f-block rows are labelled with what they hold.
TEST(ArtgenPictures, LegendSpeaksTheDataLanguageAndFits)
{
    ASSERT_TRUE(artgen::FontsAvailable());
    const std::map<ElementFamily, QString> dataFamily = {
        { ElementFamily::AlkaliMetal, QStringLiteral("metale alkaliczne") },
        { ElementFamily::AlkalineEarthMetal, QStringLiteral("metale ziem alkalicznych") },
        { ElementFamily::TransitionMetal, QStringLiteral("metale przejściowe") },
        { ElementFamily::PostTransitionMetal, QStringLiteral("metale bloku p") },
        { ElementFamily::Metalloid, QStringLiteral("półmetale") },
        { ElementFamily::Nonmetal, QStringLiteral("niemetale") },
        { ElementFamily::Halogen, QStringLiteral("halogeny") },
        { ElementFamily::NobleGas, QStringLiteral("gazy szlachetne") },
        { ElementFamily::Lanthanide, QStringLiteral("lantanowce") },
        { ElementFamily::Actinide, QStringLiteral("aktynowce") },
    };
    const QFontMetricsF metrics(artgen::LegendFont());
    const auto& entries = artgen::LegendEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const artgen::LegendEntry& entry = entries[i];
        SCOPED_TRACE(entry.text.toStdString());
        EXPECT_EQ(entry.text, dataFamily.at(entry.family));
        EXPECT_LE(metrics.horizontalAdvance(entry.text), entry.label.width());
        // Clear of every other entry and inside the empty corner above the
        // transition metals (the cells of groups 3 to 12 start at y 167).
        for (std::size_t j = i + 1; j < entries.size(); ++j)
            EXPECT_FALSE(
                entry.label.united(entry.swatch).intersects(entries[j].label.united(entries[j].swatch)));
        EXPECT_GE(entry.swatch.left(), 95.0);
        EXPECT_LE(entry.label.right(), 344.0);
        EXPECT_LE(entry.label.bottom(), 167.0);
    }
    EXPECT_EQ(artgen::FBlockRowRange(294), QStringLiteral("58–71"));
    EXPECT_EQ(artgen::FBlockRowRange(337), QStringLiteral("90–103"));
}

// Texts are set from the letters sheet cell by cell at one width: the logo's
// word must not fall apart ("Orbi ta"). Inside "Orbita" no blank run between
// letters is wider than a third of the blank that a space leaves.
TEST(ArtgenPictures, LogoWordHasNoGapInside)
{
    const QImage sheet = artgen::LettersSheet(artgen::BluePalette());
    const auto& rows = artgen::LettersSheetRows();
    const QRgb plate = artgen::BluePalette().plate.rgb();
    const auto setText = [&](const QString& text) {
        QImage line(text.size() * artgen::kDigitWidth, artgen::kDigitHeight, QImage::Format_RGB32);
        for (qsizetype i = 0; i < text.size(); ++i) {
            for (int row = 0; row < 3; ++row) {
                const qsizetype column = rows[static_cast<std::size_t>(row)].indexOf(text[i]);
                if (column < 0)
                    continue;
                for (int y = 0; y < artgen::kDigitHeight; ++y) {
                    for (int x = 0; x < artgen::kDigitWidth; ++x)
                        line.setPixel(int(i) * artgen::kDigitWidth + x, y,
                            sheet.pixel(
                                int(column) * artgen::kDigitWidth + x, row * artgen::kDigitHeight + y));
                }
                break;
            }
        }
        return line;
    };
    // The widest run of ink-free columns between the first and last inked one.
    const auto widestGap = [&](const QImage& line) {
        std::vector<bool> ink(static_cast<std::size_t>(line.width()), false);
        for (int x = 0; x < line.width(); ++x) {
            for (int y = 0; y < line.height(); ++y) {
                const QRgb p = line.pixel(x, y);
                if (std::abs(qRed(p) - qRed(plate)) + std::abs(qGreen(p) - qGreen(plate))
                        + std::abs(qBlue(p) - qBlue(plate))
                    > 120)
                    ink[static_cast<std::size_t>(x)] = true;
            }
        }
        int widest = 0;
        int run = 0;
        bool started = false;
        for (const bool inked : ink) {
            if (inked) {
                if (started)
                    widest = std::max(widest, run);
                started = true;
                run = 0;
            } else {
                ++run;
            }
        }
        return widest;
    };
    const int space = widestGap(setText(QStringLiteral("a b")));
    const int inside = widestGap(setText(QStringLiteral("Orbita")));
    EXPECT_GE(space, 7);
    EXPECT_LE(inside * 3, space) << "a gap of " << inside << " px inside the word, a space is " << space;
}

} // namespace
} // namespace orbita
