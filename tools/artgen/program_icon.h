#pragma once

#include "tools/artgen/program_files.h"

#include <QByteArray>
#include <QImage>
#include <vector>

namespace orbita::artgen {

// The program's own icon: three orbits around a nucleus on a dark blue
// rounded square. It is designed on a 256 x 256 grid and drawn from the same
// figures as a picture of any size and as SVG.

// The icon as a `size` x `size` picture; transparent outside the square.
QImage ProgramIcon(int size);

// The icon as a standalone SVG document (UTF-8), 256 x 256 user units.
QByteArray ProgramIconSvg();

// The icon file written beside the executable (shortcuts name it).
QByteArray ProgramIconPng();

// The icons of a freedesktop icon theme, named as they lie under the theme's
// folder: 48x48/apps/orbita.png, 128x128/apps/orbita.png,
// 256x256/apps/orbita.png and scalable/apps/orbita.svg.
const std::vector<ArtFile>& ThemeIconFiles();

} // namespace orbita::artgen
