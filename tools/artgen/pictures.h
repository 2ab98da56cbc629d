#pragma once

#include "tools/artgen/symbols.h"

#include <QImage>
#include <QPoint>

namespace orbita::artgen {

// Sizes of the program's pictures (Qt resources under res/).
inline constexpr int kGlyphSize = 16; // button glyphs B_...
inline constexpr int kMenuPictureSize = 13; // menu pictures M_...
inline constexpr int kCursorSize = 32; // HANDPOINT
// The hand cursor's hot spot: the tip of the pointing finger.
inline constexpr QPoint kHandPointHotSpot(10, 0);

// A button glyph: `symbol` on a transparent 16 x 16 picture.
QImage ButtonGlyph(Symbol symbol);

// A menu picture: `symbol` on a transparent 13 x 13 picture.
QImage MenuPicture(Symbol symbol);

// The tool icons TOOL_..., drawn for `size` (32 or 16) pixels: the launcher's
// seven, then the window icons of the installer and of the uninstaller.
enum class LauncherTool {
    Tables,
    Test,
    Dictionary,
    Element,
    Find,
    Units,
    MolarMass,
    PropertyTable,
    Installer,
    Uninstaller
};
QImage LauncherIcon(LauncherTool tool, int size);

// The hand cursor: white hand, black outline, transparent, 32 x 32.
QImage HandPointCursor();

// The splash screen, 600 x 180. The rectangle (112, 115, 377, 57) stays a
// plain dark ground for the white legal notice the window writes over it.
QImage SplashPicture();

// The about box's picture (128 x 128) and the contact page's picture (96 x 96).
QImage AboutPicture();
QImage AuthorPicture();

// The tip window's cloud strip (50 x 200) and its light bulb, lit or dark
// (26 x 34, transparent).
QImage CloudsPicture();
QImage BulbPicture(bool lit);

} // namespace orbita::artgen
