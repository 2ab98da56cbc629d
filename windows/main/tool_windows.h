#pragma once

#include <string>

class QMenu;
class QWidget;

namespace orbita {

// Rebuilds the tools menu from Software\Orbita\<User>\Tools: one item per
// value name in store order, whose click reads that value anew and runs it
// through the window opener (Opener().RunTool); one disabled item "Brak" when
// there are none; the picture M_PROGRAM beside every item.
void RebuildToolsMenu(QMenu& menu, QWidget* owner);

} // namespace orbita

namespace orbita {

// Qt's key code as the virtual-key code of the key tables (main_commands.h):
// Return and Enter, Esc, F1..F12, and the letters A..Z whatever modifiers are
// held; 0 for any other key.
int VirtualKeyOf(int qtKey);

// The one-time start notification (a GET of StartNotificationAddress on the
// program's web site, reply ignored). It sends nothing until the HTTP
// component is part of the program; this is where it gets wired in. Gives the
// address it is meant for.
std::string SendStartNotification();

} // namespace orbita
