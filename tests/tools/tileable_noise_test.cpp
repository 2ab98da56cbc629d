#include "tools/artgen/tileable_noise.h"

#include <cmath>
#include <gtest/gtest.h>

namespace orbita::artgen {
namespace {

TEST(TileableNoise, RepeatsWithPeriodOneInBothDirections)
{
    const TileableNoise noise(7);
    for (const int cells : { 1, 4, 13, 64 }) {
        for (double u = 0.0; u < 1.0; u += 0.037) {
            for (double v = 0.0; v < 1.0; v += 0.041) {
                const double value = noise.Value(u, v, cells);
                EXPECT_NEAR(noise.Value(u + 1.0, v, cells), value, 1e-9);
                EXPECT_NEAR(noise.Value(u, v + 1.0, cells), value, 1e-9);
                EXPECT_NEAR(noise.Value(u - 1.0, v - 1.0, cells), value, 1e-9);
            }
        }
    }
}

TEST(TileableNoise, IsContinuousAcrossTheTileEdge)
{
    const TileableNoise noise(11);
    const double step = 1e-6;
    for (double v = 0.0; v < 1.0; v += 0.05) {
        EXPECT_NEAR(noise.Value(1.0 - step, v, 8), noise.Value(0.0, v, 8), 1e-4);
        EXPECT_NEAR(noise.Fractal(v, 1.0 - step, 4, 4, 0.5), noise.Fractal(v, 0.0, 4, 4, 0.5), 1e-3);
    }
}

TEST(TileableNoise, StaysInRangeAndVaries)
{
    const TileableNoise noise(3);
    double lowest = 1.0;
    double highest = -1.0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const double value = noise.Fractal(x / 64.0, y / 64.0, 4, 4, 0.5);
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
        }
    }
    EXPECT_GE(lowest, -1.0);
    EXPECT_LE(highest, 1.0);
    EXPECT_GT(highest - lowest, 0.5);
}

TEST(TileableNoise, SameSeedSameValuesOtherSeedOtherValues)
{
    const TileableNoise a(42);
    const TileableNoise b(42);
    const TileableNoise c(43);
    int different = 0;
    for (int i = 0; i < 100; ++i) {
        const double u = i / 100.0 + 0.005;
        const double v = std::fmod(i * 0.37, 1.0);
        EXPECT_EQ(a.Value(u, v, 16), b.Value(u, v, 16));
        if (std::abs(a.Value(u, v, 16) - c.Value(u, v, 16)) > 1e-3)
            ++different;
    }
    EXPECT_GT(different, 90);
}

TEST(TileableNoise, InterpolatesSmoothlyBetweenLatticePoints)
{
    const TileableNoise noise(5);
    // On a lattice line the value lies between the two neighbouring lattice
    // values, and halfway between them the quintic fade gives their mean.
    const double left = noise.Value(0.25, 0.5, 4);
    const double right = noise.Value(0.5, 0.5, 4);
    const double middle = noise.Value(0.375, 0.5, 4);
    EXPECT_GE(middle, std::min(left, right) - 1e-12);
    EXPECT_LE(middle, std::max(left, right) + 1e-12);
    EXPECT_NEAR(middle, (left + right) / 2.0, 1e-12);
}

} // namespace
} // namespace orbita::artgen
