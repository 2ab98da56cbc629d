#include "tools/artgen/program_icon.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

// The program's icon: the pictures of each size, the SVG drawing of the same
// figures, and the theme folder layout the package installs.
namespace orbita {
namespace {

struct SvgCircle {
    double cx = 0;
    double cy = 0;
    double r = 0;
    QString fill;
};

struct Svg {
    QString viewBox;
    QSet<QString> ids;
    QStringList references; // the ids named by url(#...)
    QStringList ellipseTransforms;
    std::vector<SvgCircle> circles;
};

// Reads the SVG with a strict XML reader; fails the test on malformed XML.
Svg readSvg(const QByteArray& bytes)
{
    Svg svg;
    QXmlStreamReader xml(bytes);
    const QRegularExpression reference(QStringLiteral("url\\(#([^)]*)\\)"));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attributes = xml.attributes();
        if (xml.name() == u"svg")
            svg.viewBox = attributes.value(QLatin1String("viewBox")).toString();
        if (attributes.hasAttribute(QLatin1String("id")))
            svg.ids.insert(attributes.value(QLatin1String("id")).toString());
        for (const auto& attribute : attributes) {
            const auto match = reference.match(attribute.value().toString());
            if (match.hasMatch())
                svg.references << match.captured(1);
        }
        if (xml.name() == u"ellipse")
            svg.ellipseTransforms << attributes.value(QLatin1String("transform")).toString();
        if (xml.name() == u"circle")
            svg.circles.push_back({ attributes.value(QLatin1String("cx")).toDouble(),
                attributes.value(QLatin1String("cy")).toDouble(),
                attributes.value(QLatin1String("r")).toDouble(),
                attributes.value(QLatin1String("fill")).toString() });
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    return svg;
}

bool isLight(QRgb pixel)
{
    return qAlpha(pixel) == 255 && qRed(pixel) > 200 && qGreen(pixel) > 200 && qBlue(pixel) > 200;
}

TEST(ProgramIcon, EverySizeIsSquareOpaqueInsideAndTransparentInTheCorners)
{
    for (const int size : { 16, 48, 128, 256 }) {
        SCOPED_TRACE(size);
        const QImage icon = artgen::ProgramIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        ASSERT_TRUE(icon.hasAlphaChannel());
        for (const QPoint corner :
            { QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1) })
            EXPECT_EQ(qAlpha(icon.pixel(corner)), 0) << corner.x() << "," << corner.y();
        // The nucleus at the centre: red over the dark blue ground.
        const QRgb centre = icon.pixel(size / 2, size / 2);
        EXPECT_EQ(qAlpha(centre), 255);
        EXPECT_GT(qRed(centre), qBlue(centre) + 60);
        // The ground at the middle of the left edge, inside the square.
        const QRgb ground = icon.pixel(size / 10, size / 2);
        EXPECT_EQ(qAlpha(ground), 255);
        EXPECT_LT(qRed(ground) + qGreen(ground) + qBlue(ground), 3 * 110);
    }
}

TEST(ProgramIcon, SvgIsWellFormedAndEveryPaintItNamesIsDefined)
{
    const Svg svg = readSvg(artgen::ProgramIconSvg());
    EXPECT_EQ(svg.viewBox, QStringLiteral("0 0 256 256"));
    EXPECT_FALSE(svg.references.isEmpty());
    for (const QString& id : svg.references)
        EXPECT_TRUE(svg.ids.contains(id)) << "url(#" << id.toStdString() << ") is not defined";
    // Three orbits, each turned differently.
    ASSERT_EQ(svg.ellipseTransforms.size(), 3);
    EXPECT_EQ(QSet<QString>(svg.ellipseTransforms.begin(), svg.ellipseTransforms.end()).size(), 3);
}

TEST(ProgramIcon, SvgAndPictureShowTheElectronsInTheSamePlaces)
{
    // Each white circle of the SVG is white in the 256-pixel picture too: the
    // two drawings turn their orbits and place the electrons the same way.
    const Svg svg = readSvg(artgen::ProgramIconSvg());
    const QImage picture = artgen::ProgramIcon(256);
    int electrons = 0;
    for (const SvgCircle& circle : svg.circles) {
        if (circle.fill != QStringLiteral("#ffffff"))
            continue;
        ++electrons;
        SCOPED_TRACE(QStringLiteral("circle at %1,%2").arg(circle.cx).arg(circle.cy).toStdString());
        ASSERT_GT(circle.cx, circle.r);
        ASSERT_LT(circle.cx, 256 - circle.r);
        EXPECT_TRUE(isLight(picture.pixel(qRound(circle.cx), qRound(circle.cy))));
    }
    EXPECT_EQ(electrons, 3);
    // A mirrored SVG would put an electron where the picture has none.
    int lightPixelsAtMirroredPlaces = 0;
    for (const SvgCircle& circle : svg.circles)
        if (circle.fill == QStringLiteral("#ffffff"))
            lightPixelsAtMirroredPlaces
                += isLight(picture.pixel(qRound(256 - circle.cx), qRound(circle.cy))) ? 1 : 0;
    EXPECT_LT(lightPixelsAtMirroredPlaces, 3);
}

TEST(ProgramIcon, GeneratorWritesTheThemeFolderAndTheIconBesideTheProgram)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QProcess process;
    process.start(QStringLiteral(ORBITA_ARTGEN), { QStringLiteral("theme-icons"), folder.path() });
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    for (const auto& [name, size] : { std::pair { "48x48/apps/orbita.png", 48 },
             std::pair { "128x128/apps/orbita.png", 128 }, std::pair { "256x256/apps/orbita.png", 256 } }) {
        const QImage image(QDir(folder.path()).filePath(QLatin1String(name)));
        EXPECT_EQ(image.size(), QSize(size, size)) << name;
    }
    QFile svg(QDir(folder.path()).filePath(QStringLiteral("scalable/apps/orbita.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_EQ(svg.readAll(), artgen::ProgramIconSvg());

    // orbita.png beside the program, which the shortcuts name.
    const auto& files = artgen::ProgramFiles();
    const auto icon = std::find_if(files.begin(), files.end(),
        [](const auto& file) { return file.name == QStringLiteral("orbita.png"); });
    ASSERT_NE(icon, files.end());
    QImage beside;
    ASSERT_TRUE(beside.loadFromData(icon->make(), "PNG"));
    EXPECT_EQ(beside.width(), beside.height());
    EXPECT_GE(beside.width(), 48);
}

} // namespace
} // namespace orbita
