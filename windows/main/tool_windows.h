#pragma once

#include <string>

class QMenu;
class QObject;
class QWidget;

namespace orbita {

class THTTPGet;

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

// The HTTP component `HttpGetFile` of the main and launcher windows: agent
// "Orbita", accept "*/*", text data, no cache, WaitThread on; no events.
THTTPGet* NewHttpGetFile(QObject* owner);

// The one-time start notification through the window's `httpGetFile`: a GET
// of StartNotificationAddress on the update service (UpdateServiceBase), not
// waited for; the reply and any failure are ignored. Gives the address.
std::string SendStartNotification(THTTPGet& httpGetFile);

} // namespace orbita
