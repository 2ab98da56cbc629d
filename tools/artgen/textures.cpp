#include "tools/artgen/textures.h"

#include "tools/artgen/tileable_noise.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace orbita::artgen {
namespace {

int channel(double value)
{
    return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
}

} // namespace

QImage BackgroundTexture()
{
    constexpr int kSize = 128;
    // Paper tone and the darker, bluer tone of the veins.
    constexpr double kPaper[3] = { 229.0, 230.0, 233.0 };
    constexpr double kVein[3] = { 210.0, 215.0, 226.0 };

    const TileableNoise clouds(0x4F524249u);
    const TileableNoise grain(0x54414255u);
    QImage image(kSize, kSize, QImage::Format_RGB32);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double u = static_cast<double>(x) / kSize;
            const double v = static_cast<double>(y) / kSize;
            // Marble veins: a stripe pattern with a whole number of periods
            // across the tile, bent by fractal noise, so both stay seamless.
            const double turbulence = clouds.Fractal(u, v, 4, 4, 0.5);
            const double stripes = std::sin(2.0 * std::numbers::pi * (u + 2.0 * v) + 5.0 * turbulence);
            const double vein = std::pow(1.0 - std::abs(stripes), 6.0) * 0.55;
            // Soft cloudy shading and a fine paper grain on top.
            const double shade = clouds.Fractal(u, v, 8, 3, 0.5) * 2.5;
            const double fibre = grain.Value(u, v, 64) * 1.6;
            double rgb[3];
            for (int c = 0; c < 3; ++c)
                rgb[c] = kPaper[c] + vein * (kVein[c] - kPaper[c]) + shade + fibre;
            image.setPixel(x, y, qRgb(channel(rgb[0]), channel(rgb[1]), channel(rgb[2])));
        }
    }
    return image;
}

} // namespace orbita::artgen
