#pragma once

#include "htmlview/document.h"

#include <string_view>

namespace orbita::html {

// Pages are laid out at 96 dots per inch: a point is 96/72 pixels.
inline constexpr int PointsToPixels(int points)
{
    return (points * 96 + 36) / 72;
}

// What the layout knows about fonts: whole-pixel measures of a Font of the
// document model. Text is Windows-1250 bytes. The painter must draw with the
// same measures (the Qt implementation uses full-pixel metrics for both), so
// that a run drawn at x ends where the layout placed the next one.
class FontMetrics {
public:
    virtual ~FontMetrics() = default;
    // Advance width of `text` in pixels (0 for empty text).
    virtual int textWidth(const Font& font, std::string_view text) const = 0;
    virtual int ascent(const Font& font) const = 0; // above the baseline
    virtual int descent(const Font& font) const = 0; // below the baseline
    // Distance between the baselines of two lines of this font; at least
    // ascent + descent.
    virtual int lineSpacing(const Font& font) const = 0;
};

// A fixed-width font for tests and for tools without fonts: every byte is
// half the font's pixel size wide (one pixel more when bold), the ascent is
// three quarters of the pixel size, the descent the rest, and the line
// spacing is ascent + descent + 1.
class FixedFontMetrics final : public FontMetrics {
public:
    static int charWidth(const Font& font);
    int textWidth(const Font& font, std::string_view text) const override;
    int ascent(const Font& font) const override;
    int descent(const Font& font) const override;
    int lineSpacing(const Font& font) const override;
};

} // namespace orbita::html
