#include "tools/artgen/tileable_noise.h"

#include <cmath>

namespace orbita::artgen {
namespace {

// A 32-bit integer mixing function (xorshift-multiply), well spread for
// neighbouring inputs.
std::uint32_t mix(std::uint32_t value)
{
    value ^= value >> 16;
    value *= 0x7FEB352Du;
    value ^= value >> 15;
    value *= 0x846CA68Bu;
    value ^= value >> 16;
    return value;
}

// Quintic fade: continuous first and second derivatives at the lattice points.
double fade(double t)
{
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

int wrap(int value, int period)
{
    const int rest = value % period;
    return rest < 0 ? rest + period : rest;
}

} // namespace

double TileableNoise::lattice(int x, int y, int cells) const
{
    const auto key = static_cast<std::uint32_t>(wrap(x, cells))
        ^ mix(static_cast<std::uint32_t>(wrap(y, cells))
            ^ mix(static_cast<std::uint32_t>(cells) ^ mix(m_seed)));
    return static_cast<double>(mix(key)) / 2147483647.5 - 1.0;
}

double TileableNoise::Value(double u, double v, int cells) const
{
    if (cells <= 0)
        return 0.0;
    const double x = u * cells;
    const double y = v * cells;
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const double sx = fade(x - fx);
    const double sy = fade(y - fy);
    const double top = lattice(x0, y0, cells) + sx * (lattice(x0 + 1, y0, cells) - lattice(x0, y0, cells));
    const double bottom
        = lattice(x0, y0 + 1, cells) + sx * (lattice(x0 + 1, y0 + 1, cells) - lattice(x0, y0 + 1, cells));
    return top + sy * (bottom - top);
}

double TileableNoise::Fractal(double u, double v, int cells, int octaves, double persistence) const
{
    double sum = 0.0;
    double weight = 1.0;
    double total = 0.0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * Value(u, v, cells << octave);
        total += weight;
        weight *= persistence;
    }
    return total > 0.0 ? sum / total : 0.0;
}

} // namespace orbita::artgen
