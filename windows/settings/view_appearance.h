#pragma once

#include "core/settings.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orbita {

// A colour as the windows store it in the registry: 0x00BBGGRR, or
// 0x80000000 plus a system colour index.
using AppearanceColor = std::uint32_t;
inline constexpr AppearanceColor kActiveCaptionColor = 0x80000002u;

constexpr AppearanceColor RgbColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return AppearanceColor(red) | (AppearanceColor(green) << 8) | (AppearanceColor(blue) << 16);
}

// How a window's HTML views show their pages: the five values a window
// stores, and the preformatted font that only schemes and the default set.
struct ViewAppearance {
    AppearanceColor background = RgbColor(255, 255, 255);
    AppearanceColor fontColor = RgbColor(0, 0, 0);
    AppearanceColor linkColor = kActiveCaptionColor;
    int fontSize = 9;
    std::string fontName = "Arial"; // Windows-1250
    std::string preFontName = "Arial";
    bool operator==(const ViewAppearance&) const = default;
};

// One ready-made colour scheme of the appearance dialog.
struct AppearanceScheme {
    std::string_view name; // UTF-8 caption
    ViewAppearance appearance;
};

// "Domyślny" first; every other scheme uses size 10.
extern const std::array<AppearanceScheme, 10> kAppearanceSchemes;

// The appearance of "Domyślny" and of the "&Domyślnie" button.
ViewAppearance DefaultViewAppearance();

// The font sizes the dialog offers.
inline constexpr int kMinAppearanceFontSize = 6;
inline constexpr int kMaxAppearanceFontSize = 24;

// Reads the viewer's five appearance values (core/settings.h) of the current
// account over `current`. Gives `current` unchanged when the background colour
// is not stored (then none of the five is read). The preformatted font follows
// the stored font name.
ViewAppearance ReadViewAppearance(Viewer viewer, const ViewAppearance& current);

// Writes the five values in the order background, font colour, link colour,
// font size, font name.
void WriteViewAppearance(Viewer viewer, const ViewAppearance& appearance);

} // namespace orbita
