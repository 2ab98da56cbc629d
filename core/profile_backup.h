#pragma once

#include "core/reg_file.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The backup and restore of the current account's profile (the settings
// window's Kopia page), through the built-in .reg writer and reader
// (core/reg_file.h): the profile key Software\Orbita\<account> with all its
// sub-keys, in the file KOPIE/<account>.reg. The file name is the account
// name in UTF-8; an account name that breaks the form rules
// (CheckAccountNameForm) gives no file at all, so the file always stays
// inside KOPIE.
//
// KOPIE lies in the program folder; when that cannot be written (a system
// install) the backup goes to KOPIE in the per-user data folder instead.

// The two folders that may hold KOPIE.
struct BackupFolders {
    std::string program; // the program folder
    std::string perUser; // PerUserDataFolder()
};

// $XDG_DATA_HOME/orbita (default ~/.local/share/orbita): the per-user
// folder of skins, tests and backups. Not created here.
std::string PerUserDataFolder();
BackupFolders DefaultBackupFolders(const std::string& programFolder);

// <dataFolder>/KOPIE/<account>.reg, or nothing for an unsafe account name.
std::optional<std::string> BackupFileIn(const std::string& dataFolder, std::string_view account);

// The backup that a restore would read: the newer of the two files when
// both exist; nothing when the account has none (the window then hides the
// restore choice).
std::optional<std::string> ExistingBackupFile(const BackupFolders& folders, std::string_view account);

// What a backup or restore reports (UTF-8): caption and text of the message
// box, and the file concerned.
enum class BackupIcon { Information, Warning, Error };
struct BackupReport {
    bool ok = false;
    std::string path;
    std::string caption;
    std::string text;
    BackupIcon icon = BackupIcon::Error;
    // Restore: the entries left out, as "[KEY]", "[-KEY]" or "[KEY] "Name"".
    std::vector<std::string> skipped;
};

// Writes the account's profile, without its Password value, into
// KOPIE/<account>.reg: in the program
// folder when KOPIE there exists or can be created and written, otherwise in
// the per-user folder. Success ("Kopia ustawień została pomyślnie
// wykonana" / "Kopia wykonana") only when the file was written and read back
// equal; every failure names the file or folder.
BackupReport BackupProfile(const BackupFolders& folders, std::string_view account);

// Restores the account's profile from `path` (the window asks RestoreQuestion
// first). The whole file is read and checked before anything is written, and
// only entries inside the account's own profile key are applied, as one
// transaction: entries of other keys (another account, the root values,
// other hives), the deletion of the profile key itself and the account's
// Password value (a file in KOPIE may have been written by anyone) are left
// out and listed in the report.
BackupReport RestoreProfile(const std::string& path, std::string_view account);

// True when `op` lies inside the profile key of `account` and a restore may
// apply it.
bool RestoreMayApply(const RegFileOperation& op, std::string_view account);

} // namespace orbita
