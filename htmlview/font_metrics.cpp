#include "htmlview/font_metrics.h"

#include <algorithm>

namespace orbita::html {

int FixedFontMetrics::charWidth(const Font& font)
{
    return std::max(1, PointsToPixels(font.points) / 2) + (font.bold ? 1 : 0);
}

int FixedFontMetrics::textWidth(const Font& font, std::string_view text) const
{
    return static_cast<int>(text.size()) * charWidth(font);
}

int FixedFontMetrics::ascent(const Font& font) const
{
    return PointsToPixels(font.points) * 3 / 4;
}

int FixedFontMetrics::descent(const Font& font) const
{
    return PointsToPixels(font.points) - ascent(font);
}

int FixedFontMetrics::lineSpacing(const Font& font) const
{
    return ascent(font) + descent(font) + 1;
}

} // namespace orbita::html
