#pragma once

#include <QFont>

namespace orbita::artgen {

// Faces used in the pictures. They are read from the files of the Debian
// package fonts-dejavu-core (not looked up by name), so every machine that
// has the package draws the same pixels.
enum class ArtFace {
    Sans, // DejaVu Sans
    SansBold, // DejaVu Sans Bold
    CondensedBold, // DejaVu Sans Condensed Bold
    MonoBold, // DejaVu Sans Mono Bold
};

// The face at `pixelSize` pixels. An empty family when the font file cannot be
// read; FontsAvailable() tells whether all faces loaded.
QFont ArtFont(ArtFace face, int pixelSize);
bool FontsAvailable();

} // namespace orbita::artgen
