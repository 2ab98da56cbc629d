#include "skin/skin_mask.h"

#include <QImage>
#include <QRect>
#include <algorithm>
#include <vector>

namespace orbita {
namespace {

struct Range {
    int low = 0;
    int high = 0;

    bool contains(int value) const { return value >= low && value <= high; }
};

Range rangeOf(int key, int tolerance)
{
    return { key, std::min(255, key + tolerance) };
}

} // namespace

QRegion MaskToRegion(const QImage& mask, const QColor& keyColor, const QColor& tolerance)
{
    if (mask.isNull())
        return {};
    const QImage pixels = mask.convertToFormat(QImage::Format_RGB32);
    const Range red = rangeOf(keyColor.red(), tolerance.red());
    const Range green = rangeOf(keyColor.green(), tolerance.green());
    const Range blue = rangeOf(keyColor.blue(), tolerance.blue());
    auto transparent = [&](QRgb pixel) {
        return red.contains(qRed(pixel)) && green.contains(qGreen(pixel)) && blue.contains(qBlue(pixel));
    };

    const int width = pixels.width();
    std::vector<QRect> rects; // finished bands, y-x sorted
    std::vector<std::pair<int, int>> bandRuns; // runs [x0, x1) of the open band
    std::vector<std::pair<int, int>> rowRuns;
    int bandTop = 0;
    auto closeBand = [&](int bottom) {
        for (const auto& [x0, x1] : bandRuns)
            rects.emplace_back(x0, bandTop, x1 - x0, bottom - bandTop);
    };
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        rowRuns.clear();
        int x = 0;
        while (x < width) {
            while (x < width && transparent(row[x]))
                ++x;
            if (x == width)
                break;
            const int x0 = x;
            while (x < width && !transparent(row[x]))
                ++x;
            rowRuns.emplace_back(x0, x);
        }
        if (y == 0 || rowRuns != bandRuns) {
            closeBand(y);
            bandRuns.swap(rowRuns);
            bandTop = y;
        }
    }
    closeBand(pixels.height());

    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

} // namespace orbita
