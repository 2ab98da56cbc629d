#include "tools/artgen/skin_pictures.h"

#include "skin/builtin_skin.h"
#include "tools/artgen/art_fonts.h"
#include "tools/artgen/symbols.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <algorithm>
#include <string_view>

namespace orbita::artgen {
namespace {

// What a command button of the built-in hot-area list shows.
struct CommandFace {
    std::string_view hotArea;
    Symbol symbol;
    const char16_t* label; // Polish, as the user reads it
};

const CommandFace kCommands[] = {
    { "BUTTON_HELP", Symbol::Question, u"Pomoc" },
    { "BUTTON_SEARCH", Symbol::Magnifier, u"Szukaj" },
    { "BUTTON_SETUP", Symbol::Gear, u"Ustawienia" },
    { "BUTTON_UTILS", Symbol::Flask, u"Narzędzia" },
    { "BUTTON_ABOUT", Symbol::Info, u"Informacje" },
    { "BUTTON_UPDATE", Symbol::Globe, u"Aktualizuj" },
    { "BUTTON_TOOLS", Symbol::Toolbox, u"Programy" },
    { "BUTTON_QUIT", Symbol::Power, u"Zakończ" },
};

// The three small buttons at the top right.
const std::pair<std::string_view, Symbol> kSmallButtons[] = {
    { "BUTTON_MENU", Symbol::MenuArrow },
    { "BUTTON_MINIMIZE", Symbol::Minimise },
    { "BUTTON_QUICKQUIT", Symbol::Cross },
};

// Legend labels, in the order of ElementFamily: the plurals of the family
// names of the element data ("metal alkaliczny", "halogen", ...).
const char16_t* const kFamilyNames[kElementFamilyCount] = {
    u"metale alkaliczne",
    u"metale ziem alkalicznych",
    u"metale przejściowe",
    u"metale bloku p",
    u"półmetale",
    u"niemetale",
    u"halogeny",
    u"gazy szlachetne",
    u"lantanowce",
    u"aktynowce",
};

// The window outline: the body, and three tabs at the top for the logo text,
// the clock and the small buttons.
QPainterPath outline()
{
    QPainterPath path;
    path.addRoundedRect(QRectF(4, 40, 622, 380), 28, 28);
    for (const QRectF& tab : { QRectF(44, 0, 144, 64), QRectF(302, 0, 176, 64), QRectF(500, 0, 86, 64) }) {
        QPainterPath rounded;
        rounded.addRoundedRect(tab, 13, 13);
        path = path.united(rounded);
    }
    return path;
}

// The light plates that keep the two text areas readable (the texts are
// black): each holds its text area's 90 x 19 space and room for a longer text.
const QRectF kLogoPlate(54.5, 5.5, 122, 27);
const QRectF kClockPlate(313.5, 5.5, 152, 27);
const QRectF kPanel(20.5, 47.5, 484, 358);

QRectF rectOf(std::string_view name)
{
    for (const SkinHotArea& area : BuiltinHotAreas()) {
        if (area.name == name)
            return QRectF(area.rect.left, area.rect.top, area.rect.width, area.rect.height);
    }
    return {};
}

QColor familyColour(const SkinPalette& palette, ElementFamily family)
{
    return palette.family[static_cast<std::size_t>(family)];
}

void drawFrame(QPainter& p, const SkinPalette& palette)
{
    const QPainterPath path = outline();
    QLinearGradient frame(0, 0, 0, kBuiltinSkinHeight);
    frame.setColorAt(0.0, palette.frameTop);
    frame.setColorAt(1.0, palette.frameBottom);
    p.setPen(QPen(palette.frameEdge, 4.0));
    p.setBrush(frame);
    p.drawPath(path);
    // A soft highlight along the top of the body.
    QLinearGradient shine(0, 40, 0, 110);
    shine.setColorAt(0.0, QColor(255, 255, 255, 46));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawPath(path.intersected([] {
        QPainterPath band;
        band.addRect(0, 0, kBuiltinSkinWidth, 110);
        return band;
    }()));
}

// A flat plate: glyph texts are cut from strips on the same plain colour, so
// they sit on it without a visible box.
void drawPlate(QPainter& p, const SkinPalette& palette, const QRectF& plate)
{
    p.setPen(QPen(palette.plateEdge, 1.0));
    p.setBrush(palette.plate);
    p.drawRoundedRect(plate, 7, 7);
}

void drawPanel(QPainter& p, const SkinPalette& palette)
{
    QLinearGradient fill(0, kPanel.top(), 0, kPanel.bottom());
    fill.setColorAt(0.0, palette.panel.lighter(104));
    fill.setColorAt(1.0, palette.panel.darker(104));
    p.setPen(QPen(palette.panelEdge, 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(kPanel, 14, 14);

    p.setPen(palette.title);
    p.setFont(ArtFont(ArtFace::SansBold, 14));
    p.drawText(QRectF(94, 52, 350, 24), Qt::AlignCenter, QStringLiteral("Układ okresowy pierwiastków"));
    DrawSymbol(p, Symbol::Atom, QRectF(24, 51, 28, 28));

    // Group numbers above the first cell of each group, period numbers at the left.
    p.setFont(ArtFont(ArtFace::SansBold, 8));
    p.setPen(palette.title.lighter(150));
    const int groupTop[18]
        = { 89, 115, 167, 167, 167, 167, 167, 167, 167, 167, 167, 167, 115, 115, 115, 115, 115, 89 };
    for (int g = 0; g < 18; ++g)
        p.drawText(QRectF(44 + 25 * g, groupTop[g] - 11, 26, 10), Qt::AlignCenter, QString::number(g + 1));
    for (int period = 0; period < 7; ++period)
        p.drawText(QRectF(26, 89 + 26 * period, 16, 27), Qt::AlignCenter, QString::number(period + 1));

    // The lanthanide and actinide rows, named beside them with the numbers
    // of the cells they hold.
    p.setFont(ArtFont(ArtFace::SansBold, 10));
    p.setPen(palette.title);
    p.drawText(QRectF(401, 294, 100, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("lantanowce"));
    p.drawText(QRectF(401, 337, 100, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("aktynowce"));
    p.setFont(ArtFont(ArtFace::Sans, 9));
    p.setPen(palette.title.lighter(150));
    p.drawText(QRectF(401, 307, 100, 13), Qt::AlignLeft | Qt::AlignVCenter, FBlockRowRange(294));
    p.drawText(QRectF(401, 350, 100, 13), Qt::AlignLeft | Qt::AlignVCenter, FBlockRowRange(337));
    // Marks that tie La and Ac in the table to their rows.
    p.setPen(QPen(palette.title.lighter(170), 1.0, Qt::DotLine));
    p.drawLine(QPointF(107, 272.5), QPointF(107, 282.5));
    p.drawLine(QPointF(44, 287.5), QPointF(395, 287.5));
    p.drawLine(QPointF(44, 330.5), QPointF(395, 330.5));
}

void drawLegend(QPainter& p, const SkinPalette& palette)
{
    p.setFont(LegendFont());
    for (const LegendEntry& entry : LegendEntries()) {
        const QColor colour = palette.family[static_cast<std::size_t>(entry.family)];
        p.setPen(QPen(colour.darker(150), 1.0));
        p.setBrush(colour);
        p.drawRoundedRect(entry.swatch, 2, 2);
        p.setPen(palette.title);
        p.drawText(entry.label, Qt::AlignLeft | Qt::AlignVCenter, entry.text);
    }
}

void drawCell(QPainter& p, const SkinPalette& palette, const ElementCell& cell, SkinLook look)
{
    const QRectF box(cell.rect.left + 0.5, cell.rect.top + 0.5, cell.rect.width - 1, cell.rect.height - 1);
    QColor fill = familyColour(palette, cell.family);
    QColor edge = palette.panelEdge.darker(125);
    QPointF shift(0, 0);
    if (look == SkinLook::Pressed) {
        fill = fill.darker(125);
        edge = edge.darker(140);
        shift = QPointF(1, 1);
    } else if (look == SkinLook::Hover) {
        fill = fill.lighter(112);
        edge = palette.title;
    }
    QLinearGradient gradient(0, box.top(), 0, box.bottom());
    gradient.setColorAt(0.0, look == SkinLook::Pressed ? fill.darker(112) : fill.lighter(108));
    gradient.setColorAt(1.0, look == SkinLook::Pressed ? fill : fill.darker(106));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(edge);
    p.setBrush(gradient);
    p.drawRect(QRect(cell.rect.left, cell.rect.top, cell.rect.width - 1, cell.rect.height - 1));
    if (look == SkinLook::Pressed) {
        // An inner shadow along the top and the left edge.
        p.setPen(fill.darker(150));
        p.drawLine(
            cell.rect.left + 1, cell.rect.top + 1, cell.rect.left + cell.rect.width - 2, cell.rect.top + 1);
        p.drawLine(
            cell.rect.left + 1, cell.rect.top + 1, cell.rect.left + 1, cell.rect.top + cell.rect.height - 2);
    } else {
        p.setPen(look == SkinLook::Hover ? QColor(Qt::white) : fill.lighter(118));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(cell.rect.left + 1, cell.rect.top + 1, cell.rect.width - 3, cell.rect.height - 3));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(palette.cellNumber);
    p.setFont(ArtFont(ArtFace::SansBold, 8));
    p.drawText(QRectF(box.left(), box.top() + 1, box.width(), 9).translated(shift), Qt::AlignCenter,
        QString::number(cell.number));
    p.setPen(palette.cellText);
    p.setFont(ArtFont(ArtFace::SansBold, 12));
    p.drawText(QRectF(box.left(), box.top() + 9, box.width(), 16).translated(shift), Qt::AlignCenter,
        QString::fromLatin1(cell.symbol.data(), static_cast<qsizetype>(cell.symbol.size())));
}

void drawButtonBody(
    QPainter& p, const SkinPalette& palette, const QRectF& box, SkinLook look, double radius, bool danger)
{
    QColor top = look == SkinLook::Pressed ? palette.buttonPressedTop : palette.buttonTop;
    QColor bottom = look == SkinLook::Pressed ? palette.buttonPressedBottom : palette.buttonBottom;
    if (danger && look != SkinLook::Pressed) {
        top = QColor(0xE8, 0x6A, 0x5E);
        bottom = QColor(0xC4, 0x3D, 0x33);
    } else if (danger) {
        top = QColor(0x9E, 0x2A, 0x22);
        bottom = QColor(0xC4, 0x3D, 0x33);
    }
    if (look == SkinLook::Hover) {
        top = top.lighter(112);
        bottom = bottom.lighter(112);
    }
    QLinearGradient gradient(0, box.top(), 0, box.bottom());
    gradient.setColorAt(0.0, top);
    gradient.setColorAt(1.0, bottom);
    p.setPen(QPen(palette.frameEdge, 1.0));
    p.setBrush(gradient);
    p.drawRoundedRect(box, radius, radius);
    if (look != SkinLook::Pressed) {
        p.setPen(QPen(QColor(255, 255, 255, look == SkinLook::Hover ? 200 : 120), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(box.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    } else {
        p.setPen(QPen(QColor(0, 0, 0, 70), 1.0));
        p.drawLine(
            QPointF(box.left() + radius, box.top() + 1.5), QPointF(box.right() - radius, box.top() + 1.5));
    }
}

void drawCommand(QPainter& p, const SkinPalette& palette, const CommandFace& face, SkinLook look)
{
    const QRectF area = rectOf(face.hotArea);
    const QRectF box = area.adjusted(0.5, 0.5, -0.5, -0.5);
    drawButtonBody(p, palette, box, look, 6, false);
    const QPointF shift = look == SkinLook::Pressed ? QPointF(1, 1) : QPointF(0, 0);
    DrawSymbol(p, face.symbol, QRectF(area.left() + 5, area.top() + 6, 16, 16).translated(shift));
    p.setPen(palette.buttonText);
    p.setFont(ArtFont(ArtFace::CondensedBold, 11));
    p.drawText(QRectF(area.left() + 25, area.top(), area.width() - 27, area.height()).translated(shift),
        Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf16(face.label));
}

void drawSmallButton(
    QPainter& p, const SkinPalette& palette, std::string_view name, Symbol symbol, SkinLook look)
{
    const QRectF area = rectOf(name);
    const bool danger = symbol == Symbol::Cross;
    drawButtonBody(p, palette, area.adjusted(0.5, 0.5, -0.5, -0.5), look, 4, danger);
    const QPointF shift = look == SkinLook::Pressed ? QPointF(1, 1) : QPointF(0, 0);
    const QRectF glyph = QRectF(area.left() + 2.5, area.top() + 4, 12, 12).translated(shift);
    if (danger) {
        // A white cross reads better on the red button than the red glyph.
        p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(glyph.topLeft() + QPointF(2.5, 2.5), glyph.bottomRight() - QPointF(2.5, 2.5));
        p.drawLine(glyph.topRight() + QPointF(-2.5, 2.5), glyph.bottomLeft() + QPointF(2.5, -2.5));
    } else {
        DrawSymbol(p, symbol, glyph);
    }
}

void drawEmblem(QPainter& p, const SkinPalette& palette)
{
    // Below the command buttons: an orbit emblem engraved in the frame.
    const QPointF centre(555, 377);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(60.0 * i);
        p.setPen(QPen(palette.frameTop.lighter(160), 1.6));
        p.drawEllipse(QPointF(0, 0), 24, 9);
        p.restore();
    }
    QRadialGradient nucleus(centre, 5);
    nucleus.setColorAt(0.0, palette.plate);
    nucleus.setColorAt(1.0, palette.frameTop.lighter(170));
    p.setPen(Qt::NoPen);
    p.setBrush(nucleus);
    p.drawEllipse(centre, 4.5, 4.5);
}

} // namespace

QFont LegendFont()
{
    return ArtFont(ArtFace::Sans, 9);
}

const std::array<LegendEntry, kElementFamilyCount>& LegendEntries()
{
    // Two columns of five families in the empty corner above the transition
    // metals (x 100 to 343, y 92 to 154); the first column holds the longer
    // names.
    static const std::array<LegendEntry, kElementFamilyCount> entries = [] {
        std::array<LegendEntry, kElementFamilyCount> list;
        for (int i = 0; i < kElementFamilyCount; ++i) {
            const double x = i < 5 ? 100 : 245;
            const double width = i < 5 ? 124 : 80;
            const double y = 92 + (i % 5) * 12.5;
            list[static_cast<std::size_t>(i)]
                = LegendEntry { static_cast<ElementFamily>(i), QString::fromUtf16(kFamilyNames[i]),
                      QRectF(x + 0.5, y + 1.5, 14, 9), QRectF(x + 18, y, width, 12) };
        }
        return list;
    }();
    return entries;
}

QString FBlockRowRange(int rowTop)
{
    int first = 0;
    int last = 0;
    for (const ElementCell& cell : ElementCells()) {
        if (cell.rect.top != rowTop)
            continue;
        first = first == 0 ? cell.number : std::min(first, cell.number);
        last = std::max(last, cell.number);
    }
    return QString::number(first) + QStringLiteral("–") + QString::number(last);
}

QImage SkinMask()
{
    QImage shape(kBuiltinSkinWidth, kBuiltinSkinHeight, QImage::Format_RGB32);
    shape.fill(Qt::white);
    {
        QPainter p(&shape);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPath(outline());
    }
    QImage mask(kBuiltinSkinWidth, kBuiltinSkinHeight, QImage::Format_Mono);
    mask.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });
    // Also clears the padding bits at the end of each row, which would
    // otherwise carry whatever the memory held into the written file.
    mask.fill(1);
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x)
            mask.setPixel(x, y, qRed(shape.pixel(x, y)) < 128 ? 0 : 1);
    }
    return mask;
}

QImage SkinPicture(const SkinPalette& palette, SkinLook look)
{
    QImage image(kBuiltinSkinWidth, kBuiltinSkinHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        drawFrame(p, palette);
        drawPlate(p, palette, kLogoPlate);
        drawPlate(p, palette, kClockPlate);
        drawPanel(p, palette);
        drawLegend(p, palette);
        for (const ElementCell& cell : ElementCells())
            drawCell(p, palette, cell, look);
        for (const CommandFace& face : kCommands)
            drawCommand(p, palette, face, look);
        for (const auto& [name, symbol] : kSmallButtons)
            drawSmallButton(p, palette, name, symbol, look);
        drawEmblem(p, palette);
    }
    // Everything outside the outline is the key colour, exactly.
    const QImage mask = SkinMask();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (mask.pixelIndex(x, y) == 1)
                row[x] = qRgb(255, 255, 255);
        }
    }
    return image;
}

QImage SkinPressedPicture(const SkinPalette& palette)
{
    return SkinPicture(palette, SkinLook::Pressed).copy(0, 0, kBuiltinPressedWidth, kBuiltinPressedHeight);
}

const std::array<QString, 3>& LettersSheetRows()
{
    static const std::array<QString, 3> rows = {
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ@\"?*"),
        QStringLiteral("0123456789 .:<>-'!_+\\/[]^&%,=$"),
        QStringLiteral("abcdefghijklmnopqrstuvwxyz"),
    };
    return rows;
}

namespace {

// Draws each character of `text` centred in its own cell of a row. The
// program sets texts cell by cell at one width, so letters come from a
// monospaced face, whose narrow letters fill their cells ("Orbita" reads as
// one word); the digits keep the condensed face.
void drawGlyphRow(QPainter& p, const SkinPalette& palette, const QString& text, int top, ArtFace face)
{
    p.setFont(ArtFont(face, face == ArtFace::MonoBold ? 11 : 12));
    p.setPen(palette.cellText);
    for (qsizetype i = 0; i < text.size(); ++i)
        p.drawText(QRectF(i * kDigitWidth, top, kDigitWidth, kDigitHeight), Qt::AlignCenter, text.mid(i, 1));
}

} // namespace

QImage DigitsStrip(const SkinPalette& palette)
{
    QImage image(11 * kDigitWidth, kDigitHeight, QImage::Format_RGB32);
    image.fill(palette.plate);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    drawGlyphRow(p, palette, QStringLiteral("0123456789 "), 0, ArtFace::CondensedBold);
    return image;
}

QImage LettersSheet(const SkinPalette& palette)
{
    QImage image(30 * kDigitWidth, 3 * kDigitHeight, QImage::Format_RGB32);
    image.fill(palette.plate);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (int row = 0; row < 3; ++row)
        drawGlyphRow(p, palette, LettersSheetRows()[static_cast<std::size_t>(row)], row * kDigitHeight,
            ArtFace::MonoBold);
    return image;
}

const SkinPalette& ClassicPalette()
{
    static const SkinPalette palette {
        QColor(0x3A, 0x4B, 0x5E), // frame
        QColor(0x1E, 0x29, 0x35),
        QColor(0x12, 0x1A, 0x23),
        QColor(0xF3, 0xF5, 0xF8), // panel
        QColor(0x9A, 0xA7, 0xB5),
        QColor(0x2A, 0x36, 0x44), // title
        QColor(0xEE, 0xF2, 0xF6), // plates
        QColor(0x12, 0x1A, 0x23),
        QColor(0xF7, 0xF9, 0xFB), // buttons
        QColor(0xD5, 0xDD, 0xE6),
        QColor(0x1F, 0x2A, 0x36),
        QColor(0xA9, 0xB7, 0xC6),
        QColor(0xC9, 0xD3, 0xDE),
        QColor(0x14, 0x1C, 0x26), // cell text
        QColor(0x1C, 0x25, 0x30),
        {
            QColor(0xF2, 0x9E, 0x9A), // alkali metals
            QColor(0xF6, 0xC2, 0x8B), // alkaline earth metals
            QColor(0xF5, 0xE0, 0x93), // transition metals
            QColor(0xC3, 0xD9, 0xA0), // post-transition metals
            QColor(0x93, 0xD5, 0xC2), // metalloids
            QColor(0x9C, 0xC8, 0xEE), // nonmetals
            QColor(0xBC, 0xB0, 0xEA), // halogens
            QColor(0xE6, 0xAE, 0xDC), // noble gases
            QColor(0xF4, 0xB8, 0xC4), // lanthanides
            QColor(0xCF, 0xC0, 0xA4), // actinides
        },
    };
    return palette;
}

const SkinPalette& BluePalette()
{
    static const SkinPalette palette {
        QColor(0x1F, 0x5F, 0xB0), // frame
        QColor(0x0B, 0x2A, 0x5C),
        QColor(0x06, 0x18, 0x38),
        QColor(0xEA, 0xF3, 0xFD), // panel
        QColor(0x7F, 0xA6, 0xD6),
        QColor(0x0D, 0x2D, 0x5E), // title
        QColor(0xE4, 0xF0, 0xFD), // plates
        QColor(0x06, 0x18, 0x38),
        QColor(0xE9, 0xF3, 0xFF), // buttons
        QColor(0xB4, 0xD0, 0xF2),
        QColor(0x0A, 0x24, 0x4E),
        QColor(0x7B, 0xA4, 0xD9),
        QColor(0xA6, 0xC6, 0xEC),
        QColor(0x06, 0x18, 0x38), // cell text
        QColor(0x0B, 0x22, 0x44),
        {
            // Ten hues around the wheel, light enough for the dark symbols;
            // no two closer than CIEDE2000 10 (tested).
            QColor(0xF4, 0xA3, 0xA3), // alkali metals: red
            QColor(0xF7, 0xC9, 0x8B), // alkaline earth metals: orange
            QColor(0xF3, 0xE5, 0x8C), // transition metals: yellow
            QColor(0xBF, 0xE3, 0x9A), // post-transition metals: yellow-green
            QColor(0x8F, 0xD9, 0xB6), // metalloids: green
            QColor(0x8E, 0xD3, 0xF0), // nonmetals: sky blue
            QColor(0xA9, 0xB4, 0xF5), // halogens: periwinkle
            QColor(0xC9, 0xA2, 0xF2), // noble gases: violet
            QColor(0xF6, 0xB3, 0xDA), // lanthanides: pink
            QColor(0xC9, 0xC2, 0xB0), // actinides: grey-brown
        },
    };
    return palette;
}

} // namespace orbita::artgen
