#include "core/colour_contrast.h"

#include <algorithm>
#include <cmath>

namespace orbita {
namespace {

double LinearChannel(std::uint8_t value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::uint8_t Mix(std::uint8_t from, std::uint8_t to, int step, int steps)
{
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * double(step) / steps));
}

} // namespace

double RelativeLuminance(Rgb colour)
{
    return 0.2126 * LinearChannel(colour.red) + 0.7152 * LinearChannel(colour.green)
        + 0.0722 * LinearChannel(colour.blue);
}

double ContrastRatio(Rgb a, Rgb b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableOn(Rgb preferred, Rgb background, double minimum)
{
    if (ContrastRatio(preferred, background) >= minimum)
        return preferred;
    const Rgb white { 255, 255, 255 };
    const Rgb black { 0, 0, 0 };
    const Rgb target = ContrastRatio(white, background) >= ContrastRatio(black, background) ? white : black;
    constexpr int kSteps = 64;
    for (int step = 1; step < kSteps; ++step) {
        const Rgb mixed { Mix(preferred.red, target.red, step, kSteps),
            Mix(preferred.green, target.green, step, kSteps),
            Mix(preferred.blue, target.blue, step, kSteps) };
        if (ContrastRatio(mixed, background) >= minimum)
            return mixed;
    }
    return target;
}

} // namespace orbita
