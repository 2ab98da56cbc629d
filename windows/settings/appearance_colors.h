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

class ThtmlLite;

// The appearance with its system colours (the link's active-caption colour)
// turned into the colours they show, as the view is given them: the view
// knows only a few system colours of its own.
ViewAppearance ResolvedForView(const ViewAppearance& appearance);

// The view's Def... properties as an appearance, and back (the view lays its
// page out again; system colours are resolved first).
ViewAppearance AppearanceOf(const ThtmlLite& view);
void ApplyAppearance(ThtmlLite& view, const ViewAppearance& appearance);

} // namespace orbita
