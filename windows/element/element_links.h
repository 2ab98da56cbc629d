#pragma once

#include "platform/shell_services.h"
#include "windows/dialogs/help_topic.h"

#include <functional>

class QWidget;

namespace orbita {

// How the element search and the element choice reach the element window
// (TElementForm::Insert) without depending on it. The program sets the
// opener once at start-up; tests set one that records the calls. Until one
// is set, the call does nothing. (Help topics go through
// windows/dialogs/help_topic.h.)
using ElementOpener = std::function<void(QWidget* owner, int element)>;

// Replaces the opener; an empty one makes the call do nothing.
void SetElementOpener(ElementOpener opener);

// Opens the element window on `element` (1 to 118) over `owner`, modally;
// returns when it closes.
void OpenElementWindow(QWidget* owner, int element);

} // namespace orbita
