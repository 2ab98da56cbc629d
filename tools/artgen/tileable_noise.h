#pragma once

#include <cstdint>

namespace orbita::artgen {

// Smooth value noise over the unit square that repeats with period 1 in both
// directions, so that a picture sampled from it tiles without seams. The same
// seed always gives the same values, on every run and every machine with IEEE
// doubles.
class TileableNoise final {
public:
    explicit TileableNoise(std::uint32_t seed)
        : m_seed(seed)
    {
    }

    // Noise in [-1, 1] at (u, v) on a lattice of `cells` × `cells` random values
    // per period, smoothly interpolated between lattice points.
    double Value(double u, double v, int cells) const;

    // A sum of `octaves` layers of Value, starting at `cells` cells and doubling
    // the cells per layer while multiplying the weight by `persistence`;
    // normalised back to [-1, 1].
    double Fractal(double u, double v, int cells, int octaves, double persistence) const;

private:
    double lattice(int x, int y, int cells) const;

    std::uint32_t m_seed;
};

} // namespace orbita::artgen
