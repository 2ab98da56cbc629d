#pragma once

#include "app/start_role.h"

#include <string>

class QWidget;

namespace orbita {

// The content archive beside the executable: the upper-cased base name of the
// executable with ".DAT" ("orbita" gives ORBITA.DAT), in the program folder.
std::string DataPackagePath();

// The data package as the start finds it: missing, damaged (its directory
// cannot be read or it holds no element database UKLAD\DANE.TXT), or usable.
enum class DataPackageState { Usable, Missing, Damaged };
DataPackageState CheckDataPackage(const std::string& path);

// What the application proper opens after the checks of its start.
enum class StartWindow {
    None, // the start ended (no data package, or the login was cancelled)
    Launcher, // StartupMode 1: the launcher window
    Table, // otherwise: the splash screen and the periodic table
};

// Steps of the application proper before its message loop: the data package
// check (a missing or damaged package is told and ends the start), a message when the settings store cannot
// be opened at all (the run goes on with defaults), the run counter, the login when the Administrator has a
// password (otherwise User becomes "Administrator"), and the current account's start-up mode.
StartWindow PrepareApplicationStart();

// Lets the settings store tell the user, once, when it cannot save (a store
// the user may not write, a full disk). Set at the start of every role.
void WatchSettingsStore();

// The message loop has ended: no account is logged in any more.
void FinishApplicationRun();

// The refusal of a second instance: when the first one shows its main window,
// the message, then a restore request to the first instance.
void RefuseSecondInstance();

// The self-removal stage run by the copy named REMOVEME: shortcuts, program
// group, uninstall entry, and with /SLIM or /FULL the installation's files or
// the whole installation and every account's settings; finally the copy
// itself and the closing message.
void RunSelfRemoval(RemovalScope scope, const std::string& ownExecutable);

// The installer's start: the message about an older program generation when
// its folder and executable still exist.
void WarnAboutOlderGeneration();

} // namespace orbita
