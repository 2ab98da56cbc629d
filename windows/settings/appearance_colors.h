#pragma once

#include "windows/settings/view_appearance.h"

#include <QColor>

namespace orbita {

// A stored colour on the screen: 0x00BBGGRR, or a system colour (the active
// caption is the program's title-panel blue; other system colours come from
// the application palette).
QColor ToQColor(AppearanceColor color);
// An opaque colour as it is stored.
AppearanceColor FromQColor(const QColor& color);

} // namespace orbita
