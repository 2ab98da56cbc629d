#pragma once

#include "skin/element_cells.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <array>

namespace orbita::artgen {

// The colours of one skin. Painting reads only this table, so a second skin is
// a second table.
struct SkinPalette {
    QColor frameTop; // the window frame, a vertical gradient
    QColor frameBottom;
    QColor frameEdge; // the outline and the frame's bevel
    QColor panel; // the light panel behind the table
    QColor panelEdge;
    QColor title; // title, group and period numbers, legend text
    QColor plate; // the plates behind the logo and the clock texts
    QColor plateEdge;
    QColor buttonTop; // command buttons at rest
    QColor buttonBottom;
    QColor buttonText;
    QColor buttonPressedTop;
    QColor buttonPressedBottom;
    QColor cellText; // atomic symbol
    QColor cellNumber; // atomic number
    std::array<QColor, kElementFamilyCount> family; // cell fill per ElementFamily
};

// The palette of the built-in skin and of the package "Niebieski".
const SkinPalette& ClassicPalette();
const SkinPalette& BluePalette();

// How the hot areas look in one picture of a skin.
enum class SkinLook {
    Normal, // at rest
    Pressed, // pressed or held down
    Hover, // under the pointer
};

// The window outline of both skins: 630 x 423, one bit per pixel, black inside
// the window and white (the key colour) outside.
QImage SkinMask();

// The whole window in `look`, 630 x 423, white outside the outline. The cells
// and buttons are drawn on the rectangles of the built-in hot areas; the text
// areas stay free on light plates.
QImage SkinPicture(const SkinPalette& palette, SkinLook look);

// The pressed picture of the built-in skin: SkinPicture(palette, Pressed)
// cut to 610 x 364 at the same origin, which still holds every hot area.
QImage SkinPressedPicture(const SkinPalette& palette);

// Glyph strip for texts of the kind "Number": 11 cells for "0123456789 ",
// each kDigitWidth x kDigitHeight, on the colour of the clock plate.
inline constexpr int kDigitWidth = 7;
inline constexpr int kDigitHeight = 14;
QImage DigitsStrip(const SkinPalette& palette);

// Glyph sheet for texts of the kind "Text": 30 x 3 cells of kDigitWidth x
// kDigitHeight holding "A".."Z@\"?*", "0123456789 .:<>-'!_+\/[]^&%,=$" and
// "a".."z", on the colour of the plates.
QImage LettersSheet(const SkinPalette& palette);

// One row of the legend drawn on the table: the family's colour swatch and
// its name (the plural of the family name the element data gives).
struct LegendEntry {
    ElementFamily family {};
    QString text;
    QRectF swatch;
    QRectF label; // the room the name has
};
const std::array<LegendEntry, kElementFamilyCount>& LegendEntries();
QFont LegendFont();

// "first–last" of the element cells whose top is `rowTop`: the label beside
// an f-block row (the lanthanide row's top is 294, the actinide row's 337).
QString FBlockRowRange(int rowTop);

// The texts of the letters sheet, row by row.
const std::array<QString, 3>& LettersSheetRows();

} // namespace orbita::artgen
