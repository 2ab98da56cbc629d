#pragma once

#include <QColor>
#include <QRegion>

class QImage;

namespace orbita {

// The window outline from a mask picture: every pixel whose red, green and
// blue each lie within key .. key + tolerance (both ends included, the upper
// end capped at 255) lies outside; the region is the union of all other
// pixels. Built row by row from runs of opaque pixels; rows with the same runs
// in a row share one band, so the region holds as few rectangles as the
// outline needs. An empty picture gives an empty region.
QRegion MaskToRegion(const QImage& mask, const QColor& keyColor, const QColor& tolerance);

} // namespace orbita
