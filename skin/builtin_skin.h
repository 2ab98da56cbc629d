#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// A rectangle of the skinned window, in window pixels.
struct SkinRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; } // first column past the rectangle
    int bottom() const { return top + height; } // first row past the rectangle
    // left <= x < right and top <= y < bottom, as the skin's hit test reads it.
    bool contains(int x, int y) const { return x >= left && x < right() && y >= top && y < bottom(); }
};

// One named rectangle of the built-in skin.
struct SkinHotArea {
    std::string_view name; // reported as the area's ID, e.g. "BUTTON_FE"
    SkinRect rect;
};

// Size of the built-in skin's mask and normal picture (the window size).
inline constexpr int kBuiltinSkinWidth = 630;
inline constexpr int kBuiltinSkinHeight = 423;
// Size of the built-in pressed picture, drawn at the same origin as the mask.
inline constexpr int kBuiltinPressedWidth = 610;
inline constexpr int kBuiltinPressedHeight = 364;

// The built-in hot areas in definition order: 128 areas (117 elements and
// 11 commands) followed by "BUTTON_UUS" for element 117. Where two areas share a pixel
// row or column, the earlier one wins the hit test.
std::span<const SkinHotArea> BuiltinHotAreas();

// One text area of the built-in skin, as its DISPLAYINFO line gives it.
struct SkinTextArea {
    std::string_view name; // "TIMETEXT" or "LOGOTEXT"
    int left = 0;
    int top = 0;
    int width = 0; // the space kept free for the text in the pictures
    int height = 0;
};
std::span<const SkinTextArea> BuiltinTextAreas();

// Number of leading lines of BuiltinSkinLines() that form the HOTAREAINFO
// section ("Count=129" and one line per area); the remaining lines form the
// DISPLAYINFO section. There is no BITMAPINFO section: the built-in skin keeps
// the resource pictures loaded before the definition.
inline constexpr std::size_t kBuiltinHotAreaLineCount = 130;
inline constexpr std::size_t kBuiltinDisplayLineCount = 4;

// The built-in definition as the skin component receives it in memory: the
// HOTAREAINFO lines ("Count=129", "1=BUTTON_HELP, 510, 63, 90, 28", ...) and
// then the DISPLAYINFO lines ("Charset=1", "Count=2", "1=TIMETEXT, ...").
// Plain ASCII text.
std::vector<std::string> BuiltinSkinLines();

// The same definition as a complete sectioned text with the section headers
// [HOTAREAINFO] and [DISPLAYINFO], lines ended by CR LF.
std::string BuiltinSkinDefinitionText();

} // namespace orbita
