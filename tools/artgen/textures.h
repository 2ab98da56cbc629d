#pragma once

#include <QImage>

namespace orbita::artgen {

// The window background texture: a light, grey-blue marbled paper close to
// E4E4E4, 128 × 128 pixels, seamless when tiled, quiet enough that black text
// stays readable on it.
QImage BackgroundTexture();

} // namespace orbita::artgen
