#include "tools/artgen/program_icon.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <numbers>

namespace orbita::artgen {
namespace {

// The figures of the icon on its 256 x 256 grid.
constexpr double kGrid = 256.0;
constexpr double kGroundInset = 12.0;
constexpr double kGroundCorner = 44.0;
constexpr double kCentre = 128.0;
constexpr double kOrbitRx = 96.0;
constexpr double kOrbitRy = 36.0;
constexpr double kOrbitWidth = 10.0;
constexpr std::array<double, 3> kOrbitTurns = { 0.0, 60.0, 120.0 }; // degrees, clockwise
constexpr std::array<double, 3> kElectronAngles = { 30.0, 150.0, 270.0 }; // along each orbit
constexpr double kElectronRadius = 11.0;
constexpr double kNucleusRadius = 24.0;
constexpr double kHighlightShift = 8.0; // the nucleus is lit from the upper left
constexpr double kHighlightRadius = 31.0;

const QColor kGroundTop(0x2C, 0x46, 0x63);
const QColor kGroundBottom(0x12, 0x1E, 0x2C);
const QColor kOrbitColour(0x8F, 0xC3, 0xF0);
const QColor kElectronColour(0xFF, 0xFF, 0xFF);
const QColor kNucleusLight(0xFF, 0xB0, 0x9C);
const QColor kNucleusDark(0xD2, 0x3F, 0x31);

// Where the electron of orbit `i` sits: a point of the upright ellipse turned
// with its orbit about the centre (y grows downwards, as in both outputs).
QPointF electronCentre(std::size_t i)
{
    const double t = kElectronAngles[i] * std::numbers::pi / 180.0;
    const double turn = kOrbitTurns[i] * std::numbers::pi / 180.0;
    const double x = kOrbitRx * std::cos(t);
    const double y = kOrbitRy * std::sin(t);
    return { kCentre + x * std::cos(turn) - y * std::sin(turn),
        kCentre + x * std::sin(turn) + y * std::cos(turn) };
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

QString colour(const QColor& c)
{
    return c.name(QColor::HexRgb);
}

} // namespace

QImage ProgramIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / kGrid, size / kGrid);

    QLinearGradient ground(0, kGroundInset, 0, kGrid - kGroundInset);
    ground.setColorAt(0.0, kGroundTop);
    ground.setColorAt(1.0, kGroundBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(ground);
    const double side = kGrid - 2 * kGroundInset;
    p.drawRoundedRect(QRectF(kGroundInset, kGroundInset, side, side), kGroundCorner, kGroundCorner);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOrbitColour, kOrbitWidth));
    for (const double turn : kOrbitTurns) {
        p.save();
        p.translate(kCentre, kCentre);
        p.rotate(turn);
        p.drawEllipse(QPointF(0, 0), kOrbitRx, kOrbitRy);
        p.restore();
    }

    p.setPen(Qt::NoPen);
    p.setBrush(kElectronColour);
    for (std::size_t i = 0; i < kOrbitTurns.size(); ++i)
        p.drawEllipse(electronCentre(i), kElectronRadius, kElectronRadius);

    const double lit = kCentre - kHighlightShift;
    QRadialGradient glow(QPointF(lit, lit), kHighlightRadius);
    glow.setColorAt(0.0, kNucleusLight);
    glow.setColorAt(1.0, kNucleusDark);
    p.setBrush(glow);
    p.drawEllipse(QPointF(kCentre, kCentre), kNucleusRadius, kNucleusRadius);
    return image;
}

QByteArray ProgramIconSvg()
{
    const double side = kGrid - 2 * kGroundInset;
    const double lit = kCentre - kHighlightShift;
    QString svg;
    svg += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    svg += QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n")
               .arg(number(kGrid));
    svg += QStringLiteral(
        "  <defs>\n"
        "    <linearGradient id=\"ground\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"%1\" "
        "x2=\"0\" y2=\"%2\">\n"
        "      <stop offset=\"0\" stop-color=\"%3\"/>\n"
        "      <stop offset=\"1\" stop-color=\"%4\"/>\n"
        "    </linearGradient>\n")
               .arg(number(kGroundInset), number(kGrid - kGroundInset), colour(kGroundTop),
                   colour(kGroundBottom));
    svg += QStringLiteral(
        "    <radialGradient id=\"nucleus\" gradientUnits=\"userSpaceOnUse\" cx=\"%1\" cy=\"%1\" "
        "r=\"%2\">\n"
        "      <stop offset=\"0\" stop-color=\"%3\"/>\n"
        "      <stop offset=\"1\" stop-color=\"%4\"/>\n"
        "    </radialGradient>\n"
        "  </defs>\n")
               .arg(number(lit), number(kHighlightRadius), colour(kNucleusLight), colour(kNucleusDark));
    svg += QStringLiteral("  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" ry=\"%3\" "
                          "fill=\"url(#ground)\"/>\n")
               .arg(number(kGroundInset), number(side), number(kGroundCorner));
    svg += QStringLiteral("  <g fill=\"none\" stroke=\"%1\" stroke-width=\"%2\">\n")
               .arg(colour(kOrbitColour), number(kOrbitWidth));
    for (const double turn : kOrbitTurns)
        svg += QStringLiteral(
            "    <ellipse cx=\"%1\" cy=\"%1\" rx=\"%2\" ry=\"%3\" transform=\"rotate(%4 %1 %1)\"/>\n")
                   .arg(number(kCentre), number(kOrbitRx), number(kOrbitRy), number(turn));
    svg += QStringLiteral("  </g>\n");
    for (std::size_t i = 0; i < kOrbitTurns.size(); ++i) {
        const QPointF at = electronCentre(i);
        svg += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\"/>\n")
                   .arg(number(at.x()), number(at.y()), number(kElectronRadius), colour(kElectronColour));
    }
    svg += QStringLiteral("  <circle cx=\"%1\" cy=\"%1\" r=\"%2\" fill=\"url(#nucleus)\"/>\n")
               .arg(number(kCentre), number(kNucleusRadius));
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

QByteArray ProgramIconPng()
{
    return PngBytes(ProgramIcon(128));
}

namespace {

template <int Size> QByteArray themePng()
{
    return PngBytes(ProgramIcon(Size));
}

} // namespace

const std::vector<ArtFile>& ThemeIconFiles()
{
    static const std::vector<ArtFile> files = {
        { QStringLiteral("48x48/apps/orbita.png"), &themePng<48> },
        { QStringLiteral("128x128/apps/orbita.png"), &themePng<128> },
        { QStringLiteral("256x256/apps/orbita.png"), &themePng<256> },
        { QStringLiteral("scalable/apps/orbita.svg"), &ProgramIconSvg },
    };
    return files;
}

} // namespace orbita::artgen
