#pragma once

#include <cstdint>

namespace orbita {

// Contrast of text against its background as WCAG 2 measures it (no Qt).

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The contrast WCAG 2 asks of normal-size text (level AA).
inline constexpr double kReadableContrast = 4.5;

// Relative luminance of an sRGB colour: 0 for black, 1 for white.
double RelativeLuminance(Rgb colour);

// (L1 + 0.05) / (L2 + 0.05) with L1 the lighter of the two: 1 to 21, the
// same whichever colour comes first.
double ContrastRatio(Rgb a, Rgb b);

// `preferred` when it reaches `minimum` against `background`; otherwise the
// colour nearest to it on the way towards white or black (whichever stands
// out more from the background) that reaches it. Keeps the hue as long as it
// can; with `minimum` at most 4.58 (the square root of 21) a colour that
// reaches it always exists.
Rgb ReadableOn(Rgb preferred, Rgb background, double minimum = kReadableContrast);

} // namespace orbita
