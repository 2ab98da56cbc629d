#include "htmlview/page_breaks.h"

#include <algorithm>

namespace orbita::html {
namespace {

// Moves `cut` up to the top of `box` when the cut goes through it and the
// box starts below the sheet's top (else it cannot go on a sheet of its own).
bool liftAbove(const Rect& box, int sheetTop, int& cut)
{
    if (box.y > sheetTop && box.y < cut && cut < box.bottom()) {
        cut = box.y;
        return true;
    }
    return false;
}

bool through(const Rect& box, int cut)
{
    return box.y < cut && cut < box.bottom();
}

int linesCut(const PageLayout& layout, int cut)
{
    return static_cast<int>(std::count_if(layout.lines.begin(), layout.lines.end(),
        [cut](const TextLine& line) { return through(line.rect, cut); }));
}

// The cut in the lower half of the sheet through the fewest lines (the
// lowest of equals): where lines of cells beside each other leave no gap.
int leastCut(const PageLayout& layout, int top, int sheetHeight)
{
    const int lowest = top + sheetHeight;
    const int highest = top + std::max(1, sheetHeight / 2);
    int best = lowest;
    int bestCount = linesCut(layout, lowest);
    for (const TextLine& line : layout.lines)
        for (int candidate : { line.rect.y, line.rect.bottom() }) {
            if (candidate < highest || candidate > lowest || bestCount == 0)
                continue;
            const int count = linesCut(layout, candidate);
            if (count < bestCount || (count == bestCount && candidate > best)) {
                best = candidate;
                bestCount = count;
            }
        }
    return best;
}

} // namespace

std::vector<int> PageBreaks(const PageLayout& layout, int sheetHeight)
{
    sheetHeight = std::max(1, sheetHeight);
    std::vector<int> tops { 0 };
    int top = 0;
    while (layout.height - top > sheetHeight) {
        int cut = top + sheetHeight;
        // Lifting the cut above one line may put it through another (a cell
        // beside), so this goes on until no line or picture is cut; the cut
        // only moves up and stays below `top`, so it ends.
        for (bool moved = true; moved;) {
            moved = false;
            for (const TextLine& line : layout.lines)
                moved = liftAbove(line.rect, top, cut) || moved;
            for (const ImagePlacement& image : layout.images)
                if (image.rect.height <= sheetHeight)
                    moved = liftAbove(image.rect, top, cut) || moved;
        }
        // A sheet less than half full means the lines leave no gap near its
        // end: it is cut where the fewest lines are cut instead.
        if (cut - top < sheetHeight / 2)
            cut = leastCut(layout, top, sheetHeight);
        tops.push_back(cut);
        top = cut;
    }
    return tops;
}

} // namespace orbita::html
