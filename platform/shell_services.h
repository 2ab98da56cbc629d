#pragma once

#include "core/file_version.h"
#include "core/text_helpers.h"

#include <string>

class QWidget;

namespace orbita {

// Shell and file-system services for Linux. Paths are UTF-8; a "\" in a path
// is taken as a folder separator (names in the program keep "\" as written).

// The running executable, and its folder with a trailing "/"
// ($ORBITA_PROGRAM_DIR, when set, names the program folder instead).
std::string ExecutablePath();
std::string ProgramFolder();

// The content archive beside the executable: the upper-cased base name of the
// executable with ".DAT" in the program folder (ORBITA.DAT beside "orbita").
std::string ContentArchivePath();

// Special folders, without a trailing "/": 0 the desktop (the XDG desktop
// folder), 2 the Programs menu and 11 the Start menu (both
// $XDG_DATA_HOME/applications, default ~/.local/share/applications, created
// when missing). Any other number, or a folder that cannot be had, throws
// std::runtime_error.
std::string SpecialFolderPath(int csidl);

// Writes a freedesktop launcher (Type=Application) to `linkPath`; a link path
// ending in ".lnk" is written with ".desktop" instead. Name is the link's file
// name without its extension, Comment the description, Exec the target and
// the arguments (split like a command line, each quoted as the desktop-entry
// format requires), Path the target's folder, Icon a picture named like the
// target with ".png" beside it, else the target's base name as an icon-theme
// name (`iconIndex` has no meaning on Linux), and the menu `categories`
// ("Education;Science;") when given. Written through QSaveFile: true only
// when the whole file was written; the link's folder must exist.
bool CreateShortcut(const std::string& target, const std::string& linkPath, const std::string& description,
    int iconIndex, const std::string& arguments, const std::string& categories = {});

// A freedesktop link (Type=Link, URL=...); ".url" becomes ".desktop".
bool CreateInternetShortcut(const std::string& url, const std::string& linkPath);

// The file name a shortcut is written under: ".lnk" and ".url" (any letter
// case) become ".desktop".
std::string ShortcutFileName(const std::string& linkPath);

// Deletes a file, a symbolic link (not what it points to) or a folder with
// everything in it; no confirmation, no trash. True when the path is gone.
// A folder is deleted only when it is safe to do so (see
// IsRemovableProgramFolder); "/", $HOME and its parents, relative and empty
// paths are always refused.
bool ShellDelete(const std::string& path);

// The guard of ShellDelete for folders: true only for an existing real
// folder (not a link) that is neither "/", nor a top-level folder, nor a
// system folder, nor $HOME or one of its parents, nor one of the user's
// standard folders, and that either holds the program's files (ORBITA.DAT or
// the executable "orbita"), or lies inside TempFolder(), or is the program
// group "Orbita" of the Programs menu.
bool IsRemovableProgramFolder(const std::string& path);

// The per-user data folder with a trailing "/": $XDG_DATA_HOME/orbita/
// (an absolute $XDG_DATA_HOME only), else ~/.local/share/orbita/. Test
// packages and skins found there stand beside those of the program folder.
// Not created.
std::string UserDataFolder();

// True when the path names an existing folder.
bool FolderExists(const std::string& path);

// Creates the folder and its missing parents; one trailing separator is
// ignored, paths of two characters or fewer are not created, errors are
// ignored.
void ForceFolders(const std::string& path);

// The folder picker; empty when cancelled.
std::string BrowseForFolderPath(QWidget* owner);

// The private per-user temporary folder with a trailing "/":
// $XDG_RUNTIME_DIR/orbita, else /tmp/orbita-<uid>; created with mode 0700.
// A candidate that is a link, not a folder, not owned by the user, or open to
// others (and cannot be made private) is refused and the next is tried; as a
// last resort a fresh private folder /tmp/orbita-<uid>-XXXXXX is made (once
// per process). Never a shared, world-writable folder.
std::string TempFolder();

// Processes window messages until 100 ms have passed (at least once).
void PauseBriefly();

} // namespace orbita
