#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace orbita {

// How the element search and the element choice reach the windows they open
// without depending on them: the element window (TElementForm::Insert) and
// the help window (THelpForm::ShowHelp). The program sets both openers once
// at start-up; tests set openers that record the calls. Until one is set,
// the call does nothing.
using ElementOpener = std::function<void(QWidget* owner, int element)>;
using HelpOpener = std::function<void(QWidget* owner, const QString& topic)>;

// Replace the openers; an empty one makes the call do nothing.
void SetElementOpener(ElementOpener opener);
void SetHelpOpener(HelpOpener opener);

// Opens the element window on `element` (1 to 118) over `owner`, modally;
// returns when it closes.
void OpenElementWindow(QWidget* owner, int element);

// Opens the help window at `topic` ("O_SZUKAJ").
void OpenHelpTopic(QWidget* owner, const QString& topic);

// The content archive the element windows read: the upper-cased base name
// of the executable with ".DAT" in the program folder (ORBITA.DAT beside
// "orbita"), the file the start-up checks for.
std::string ContentArchivePath();

} // namespace orbita
