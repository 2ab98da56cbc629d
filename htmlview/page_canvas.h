#pragma once

#include "htmlview/document.h"

#include <string_view>

namespace orbita::html {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool intersects(const Rect& other) const
    {
        return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
    }
    bool contains(int px, int py) const { return px >= x && px < right() && py >= y && py < bottom(); }
    bool operator==(const Rect&) const = default;
};

// What the painter draws through. Coordinates are page pixels (the painter
// translates them for the viewport); text is Windows-1250 bytes.
class PageCanvas {
public:
    virtual ~PageCanvas() = default;
    virtual void fillRect(const Rect& rect, Rgb colour) = 0;
    // A run of text with its left end at x and its baseline at `baseline`,
    // in the font's colour, underline and strikeout.
    virtual void drawText(int x, int baseline, std::string_view text, const Font& font) = 0;
    // A line from (x1, y1) to (x2, y2), `width` pixels thick.
    virtual void drawLine(int x1, int y1, int x2, int y2, Rgb colour, int width) = 0;
    // A frame of `width` pixels inside `rect`: top and left edges in
    // `topLeft`, bottom and right edges in `bottomRight` (equal for a flat frame).
    virtual void drawFrame(const Rect& rect, int width, Rgb topLeft, Rgb bottomRight) = 0;
    // The picture of the document's image `image`, scaled into `rect`. Gives
    // false when the picture is not available (the painter then draws its
    // placeholder).
    virtual bool drawImage(ImageId image, const Rect& rect) = 0;
    // Limits the drawing that follows to `rect` until `popClip`.
    virtual void pushClip(const Rect& rect) = 0;
    virtual void popClip() = 0;
};

} // namespace orbita::html
