#include "tools/artgen/pictures.h"

#include "tools/artgen/art_fonts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace orbita::artgen {
namespace {

QImage transparent(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The cell of the periodic table as the skin draws it, with a symbol in it.
void elementTile(QPainter& p, const QRectF& box, const QString& symbol, bool withNumber)
{
    QLinearGradient fill(0, box.top(), 0, box.bottom());
    fill.setColorAt(0.0, QColor(0xFB, 0xE9, 0xA8));
    fill.setColorAt(1.0, QColor(0xF0, 0xCF, 0x6A));
    const double radius = box.width() / 8.0;
    p.setPen(QPen(QColor(0xA6, 0x7C, 0x12), std::max(1.0, box.width() / 24.0)));
    p.setBrush(fill);
    p.drawRoundedRect(box, radius, radius);
    p.setPen(QColor(0x2A, 0x22, 0x10));
    if (withNumber) {
        p.setFont(ArtFont(ArtFace::SansBold, static_cast<int>(box.height() * 0.26)));
        p.drawText(QRectF(box.left(), box.top() + box.height() * 0.04, box.width(), box.height() * 0.3),
            Qt::AlignCenter, QStringLiteral("26"));
        p.setFont(ArtFont(ArtFace::SansBold, static_cast<int>(box.height() * 0.48)));
        p.drawText(QRectF(box.left(), box.top() + box.height() * 0.3, box.width(), box.height() * 0.66),
            Qt::AlignCenter, symbol);
    } else {
        p.setFont(ArtFont(ArtFace::SansBold, static_cast<int>(box.height() * 0.62)));
        p.drawText(box, Qt::AlignCenter, symbol);
    }
}

void drawOrbits(QPainter& p, const QPointF& centre, double rx, double ry, const QColor& colour, double width)
{
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(60.0 * i);
        p.setPen(QPen(colour, width));
        p.drawEllipse(QPointF(0, 0), rx, ry);
        p.restore();
    }
}

void drawNucleus(QPainter& p, const QPointF& centre, double r)
{
    QRadialGradient glow(centre - QPointF(r / 3, r / 3), r * 1.3);
    glow.setColorAt(0.0, QColor(0xFF, 0xB0, 0x9C));
    glow.setColorAt(1.0, QColor(0xD2, 0x3F, 0x31));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, r, r);
}

void cloud(QPainter& p, double x, double y, double scale, int alpha)
{
    const auto ellipse = [](const QPointF& centre, double rx, double ry) {
        QPainterPath path;
        path.addEllipse(centre, rx, ry);
        return path;
    };
    QPainterPath path = ellipse(QPointF(x, y), 14 * scale, 8 * scale);
    path = path.united(ellipse(QPointF(x - 10 * scale, y + 3 * scale), 9 * scale, 6 * scale));
    path = path.united(ellipse(QPointF(x + 11 * scale, y + 3 * scale), 10 * scale, 6 * scale));
    path = path.united(ellipse(QPointF(x + 2 * scale, y - 5 * scale), 8 * scale, 7 * scale));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, alpha));
    p.drawPath(path);
}

} // namespace

QImage ButtonGlyph(Symbol symbol)
{
    QImage image = transparent(kGlyphSize, kGlyphSize);
    QPainter p(&image);
    DrawSymbol(p, symbol, QRectF(0, 0, kGlyphSize, kGlyphSize));
    return image;
}

QImage MenuPicture(Symbol symbol)
{
    QImage image = transparent(kMenuPictureSize, kMenuPictureSize);
    QPainter p(&image);
    DrawSymbol(p, symbol, QRectF(0, 0, kMenuPictureSize, kMenuPictureSize));
    return image;
}

QImage LauncherIcon(LauncherTool tool, int size)
{
    QImage image = transparent(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF full(0, 0, size, size);
    switch (tool) {
    case LauncherTool::Tables:
        DrawSymbol(p, Symbol::Table, full);
        break;
    case LauncherTool::Test:
        DrawSymbol(p, Symbol::Test, full);
        break;
    case LauncherTool::Dictionary:
        DrawSymbol(p, Symbol::Book, full);
        break;
    case LauncherTool::Element:
        elementTile(p, full.adjusted(0.5, 0.5, -0.5, -0.5), QStringLiteral("Fe"), size >= 32);
        break;
    case LauncherTool::Find:
        elementTile(p, QRectF(0.5, 0.5, size * 0.72, size * 0.72), QStringLiteral("Fe"), false);
        DrawSymbol(p, Symbol::Magnifier, QRectF(size * 0.3, size * 0.3, size * 0.7, size * 0.7));
        break;
    case LauncherTool::Units:
        DrawSymbol(p, Symbol::Scales, full);
        break;
    case LauncherTool::MolarMass:
        DrawSymbol(p, Symbol::MolarMass, full);
        break;
    case LauncherTool::PropertyTable:
        DrawSymbol(p, Symbol::PropertyTable, full);
        break;
    case LauncherTool::Installer:
        DrawSymbol(p, Symbol::Install, full);
        break;
    case LauncherTool::Uninstaller:
        DrawSymbol(p, Symbol::Uninstall, full);
        break;
    }
    return image;
}

QImage HandPointCursor()
{
    QImage image = transparent(kCursorSize, kCursorSize);
    QPainter p(&image);
    // Crisp pixel edges: a cursor is seen at its own size.
    p.setRenderHint(QPainter::Antialiasing, false);
    const auto rounded = [](const QRectF& rect, double radius) {
        QPainterPath path;
        path.addRoundedRect(rect, radius, radius);
        return path;
    };
    QPainterPath hand = rounded(QRectF(8, 0, 5, 18), 2.5); // index finger, tip at (10, 0)
    hand = hand.united(rounded(QRectF(12, 8, 4, 10), 2)); // curled fingers
    hand = hand.united(rounded(QRectF(15, 9, 4, 9), 2));
    hand = hand.united(rounded(QRectF(18, 10, 4, 9), 2));
    hand = hand.united(rounded(QRectF(8, 14, 14, 14), 3)); // palm and wrist
    QPainterPath thumb;
    thumb.moveTo(9, 17);
    thumb.lineTo(5, 13);
    thumb.lineTo(3, 13);
    thumb.lineTo(2, 15);
    thumb.lineTo(8, 23);
    thumb.closeSubpath();
    hand = hand.united(thumb);
    p.setPen(QPen(Qt::black, 1.0));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    // Lines between the curled fingers.
    p.drawLine(QPointF(12, 11), QPointF(12, 15));
    p.drawLine(QPointF(15, 11), QPointF(15, 15));
    p.drawLine(QPointF(18, 12), QPointF(18, 15));
    return image;
}

QImage SplashPicture()
{
    QImage image(600, 180, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QLinearGradient sky(0, 0, 600, 180);
    sky.setColorAt(0.0, QColor(0x24, 0x3B, 0x55));
    sky.setColorAt(1.0, QColor(0x10, 0x1B, 0x28));
    p.fillRect(image.rect(), sky);
    // Faint orbits behind everything.
    drawOrbits(p, QPointF(70, 82), 52, 19, QColor(0x8F, 0xC3, 0xF0), 2.2);
    drawNucleus(p, QPointF(70, 82), 9);
    // Electrons on the orbits.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF5, 0xE0, 0x93));
    for (const QPointF& e : { QPointF(122, 82), QPointF(44, 37), QPointF(44, 127) })
        p.drawEllipse(e, 3.5, 3.5);

    p.setPen(Qt::white);
    p.setFont(ArtFont(ArtFace::SansBold, 52));
    p.drawText(QRectF(150, 14, 300, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orbita"));
    p.setPen(QColor(0xC9, 0xDC, 0xEE));
    p.setFont(ArtFont(ArtFace::Sans, 15));
    p.drawText(QRectF(152, 76, 440, 24), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("multimedialny układ okresowy pierwiastków"));

    // A row of element cells at the right, in the skin's family colours.
    const struct {
        const char* symbol;
        QColor colour;
    } cells[] = {
        { "H", QColor(0x9C, 0xC8, 0xEE) },
        { "C", QColor(0x9C, 0xC8, 0xEE) },
        { "Fe", QColor(0xF5, 0xE0, 0x93) },
        { "Og", QColor(0xE6, 0xAE, 0xDC) },
    };
    for (int i = 0; i < 4; ++i) {
        const QRectF box(430 + i * 40, 26, 36, 38);
        p.setPen(QPen(cells[i].colour.darker(160), 1.0));
        p.setBrush(cells[i].colour);
        p.drawRoundedRect(box, 4, 4);
        p.setPen(QColor(0x14, 0x1C, 0x26));
        p.setFont(ArtFont(ArtFace::SansBold, 17));
        p.drawText(box, Qt::AlignCenter, QString::fromLatin1(cells[i].symbol));
    }
    // A thin rule above the notice area.
    p.setPen(QPen(QColor(0x8F, 0xC3, 0xF0, 120), 1.0));
    p.drawLine(QPointF(112, 108.5), QPointF(489, 108.5));
    return image;
}

QImage AboutPicture()
{
    QImage image(128, 128, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QLinearGradient sky(0, 0, 0, 128);
    sky.setColorAt(0.0, QColor(0x2C, 0x46, 0x63));
    sky.setColorAt(1.0, QColor(0x12, 0x1E, 0x2C));
    p.fillRect(image.rect(), sky);
    drawOrbits(p, QPointF(64, 54), 46, 17, QColor(0x8F, 0xC3, 0xF0), 2.4);
    drawNucleus(p, QPointF(64, 54), 9);
    p.setPen(Qt::white);
    p.setFont(ArtFont(ArtFace::SansBold, 22));
    p.drawText(QRectF(0, 92, 128, 30), Qt::AlignCenter, QStringLiteral("Orbita"));
    return image;
}

QImage AuthorPicture()
{
    QImage image(96, 96, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sky(0, 0, 0, 96);
    sky.setColorAt(0.0, QColor(0xE4, 0xEF, 0xFA));
    sky.setColorAt(1.0, QColor(0xBF, 0xD6, 0xEE));
    p.fillRect(image.rect(), sky);
    DrawSymbol(p, Symbol::Mail, QRectF(8, 14, 64, 64));
    DrawSymbol(p, Symbol::Notes, QRectF(50, 44, 40, 40));
    return image;
}

QImage CloudsPicture()
{
    QImage image(50, 200, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0.0, QColor(0x4E, 0x8E, 0xD6));
    sky.setColorAt(1.0, QColor(0xCB, 0xE2, 0xF7));
    p.fillRect(image.rect(), sky);
    cloud(p, 18, 26, 0.9, 230);
    cloud(p, 36, 70, 0.7, 200);
    cloud(p, 12, 112, 1.0, 240);
    cloud(p, 38, 150, 0.8, 220);
    cloud(p, 16, 184, 0.9, 250);
    return image;
}

QImage BulbPicture(bool lit)
{
    QImage image = transparent(26, 34);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF centre(13, 12);
    if (lit) {
        QRadialGradient glow(centre, 13);
        glow.setColorAt(0.0, QColor(255, 236, 140, 200));
        glow.setColorAt(1.0, QColor(255, 236, 140, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(centre, 13, 13);
    }
    QPainterPath glass;
    glass.addEllipse(centre, 8, 8);
    QPainterPath neck;
    neck.addRect(QRectF(9, 16, 8, 6));
    glass = glass.united(neck);
    QRadialGradient fill(centre - QPointF(3, 3), 10);
    fill.setColorAt(0.0, lit ? QColor(0xFF, 0xFB, 0xD8) : QColor(0xF4, 0xF6, 0xF8));
    fill.setColorAt(1.0, lit ? QColor(0xF8, 0xC8, 0x2A) : QColor(0xB8, 0xC1, 0xCA));
    p.setPen(QPen(lit ? QColor(0xB0, 0x7A, 0x0A) : QColor(0x6B, 0x77, 0x85), 1.0));
    p.setBrush(fill);
    p.drawPath(glass);
    // Filament.
    p.setPen(QPen(lit ? QColor(0xC0, 0x5A, 0x00) : QColor(0x7A, 0x86, 0x94), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF(
        { QPointF(10.5, 18), QPointF(11.5, 12), QPointF(13, 14), QPointF(14.5, 12), QPointF(15.5, 18) }));
    // Screw base.
    p.setPen(QPen(QColor(0x4F, 0x5A, 0x66), 1.0));
    p.setBrush(QColor(0x9A, 0xA5, 0xB1));
    p.drawRoundedRect(QRectF(8.5, 22.5, 9, 7), 1.5, 1.5);
    p.drawLine(QPointF(9, 25), QPointF(17, 25));
    p.drawLine(QPointF(9, 27.5), QPointF(17, 27.5));
    p.setBrush(QColor(0x4F, 0x5A, 0x66));
    p.drawRoundedRect(QRectF(11, 29.5, 4, 3), 1.5, 1.5);
    return image;
}

} // namespace orbita::artgen
