// Floats: the spans that floating pictures and tables leave free for lines,
// and where a new float goes.

#include "htmlview/layout_engine.h"

namespace orbita::html::layout_detail {

void Context::span(int y, int height, int& left, int& right) const
{
    for (const Float& f : floats) {
        if (f.rect.y >= y + std::max(height, 1) || f.rect.bottom() <= y)
            continue;
        if (f.left)
            left = std::max(left, f.rect.right());
        else
            right = std::min(right, f.rect.x);
    }
}

int Context::nextFloatEnd(int y) const
{
    int next = INT_MAX;
    for (const Float& f : floats)
        if (f.rect.bottom() > y)
            next = std::min(next, f.rect.bottom());
    return next;
}

int Context::clearY(int y, Clear clear) const
{
    if (clear == Clear::Left || clear == Clear::All)
        y = std::max(y, bottomLeft);
    if (clear == Clear::Right || clear == Clear::All)
        y = std::max(y, bottomRight);
    return y;
}

void Context::add(const Float& f)
{
    floats.push_back(f);
    if (f.left)
        bottomLeft = std::max(bottomLeft, f.rect.bottom());
    else
        bottomRight = std::max(bottomRight, f.rect.bottom());
}

void Context::prune(int y)
{
    if (floats.size() < 16)
        return;
    std::erase_if(floats, [y](const Float& f) { return f.rect.bottom() <= y; });
}

Rect Engine::placeFloat(Context& context, int left, int right, int y, int width, int height, bool atLeft)
{
    // The float goes to the first y at or below `y` where it fits between
    // the floats already there (or where no float narrows the flow).
    for (int guard = 0; guard < 100000; ++guard) {
        int l = left;
        int r = right;
        context.span(y, height, l, r);
        if (r - l >= width || (l == left && r == right))
            return Rect { atLeft ? l : r - width, y, width, height };
        const int next = context.nextFloatEnd(y);
        if (next == INT_MAX)
            break;
        y = next;
    }
    return Rect { atLeft ? left : right - width, y, width, height };
}

} // namespace orbita::html::layout_detail
