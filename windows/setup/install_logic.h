#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

class DesktopIntegration;

// The rules of the installer and of the removal, free of Qt. Paths are UTF-8;
// folders are given without a trailing "/" unless said otherwise. Messages
// are Polish, UTF-8.

// --- The wizard's steps ----------------------------------------------------

enum class InstallStep { Welcome, Licence, Folder, Shortcuts, Mode, Access, Ready, Progress, Done };
inline constexpr int kInstallStepCount = 9;

// The step "Dalej" leads to from `current`, and the one "Wstecz" leads to:
// the mode and access pages are passed over in both directions when the
// Administrator already has a password (a reinstallation keeps it).
InstallStep NextInstallStep(InstallStep current, bool administratorHasPassword);
InstallStep PreviousInstallStep(InstallStep current, bool administratorHasPassword);

// Leaving the access page: the two boxes must agree when protection is chosen.
bool PasswordBoxesAgree(bool protect, std::string_view password, std::string_view confirmation);

// --- The folder ------------------------------------------------------------

// Where programs are installed: /opt for root, otherwise $XDG_DATA_HOME when
// it is absolute, else <home>/.local/share.
std::string ProgramFilesDir(bool root, const char* xdgDataHome, const char* home);
// The same for this process (its user id and environment).
std::string ProgramFilesDir();

// The folder the "Do&myślny" button proposes and the warning shown beside it.
struct FolderProposal {
    std::string folder;
    std::string warning; // "" when none
};
// `installPath` is the InstallPath of the store, `olderProgramPath` the
// folder of an older generation (both UTF-8, "" when missing); the older one
// wins with its own warning; without either, <programFilesDir>/Orbita.
FolderProposal ProposeInstallFolder(
    const std::string& installPath, const std::string& olderProgramPath, const std::string& programFilesDir);
// The same from the store and this process.
FolderProposal ProposeInstallFolder();

// A folder chosen with the folder dialog becomes <chosen>/Orbita.
std::string FolderFromBrowsing(const std::string& chosen);

// Why the typed folder cannot be installed into, or nothing: it must be
// absolute, must not hold "\" or a control character, must be representable
// in Windows-1250 (the store keeps it so), and must be a folder that exists
// and can be written, or one that can be created (its nearest existing parent
// is a folder that can be written). Nothing is created by the check.
std::optional<std::string> InstallFolderRefusal(const std::string& folder);

// --- Installing ------------------------------------------------------------

// What the wizard gathered.
struct InstallChoices {
    std::string sourceFolder; // the program folder to copy from
    std::string sourceExecutable; // the running executable
    std::string targetFolder; // checked with InstallFolderRefusal
    bool desktopShortcut = false;
    bool menuShortcut = false;
    bool compactMode = false; // StartupMode 1
    bool protect = false; // RootBox
    std::string password; // UTF-8; stored as a hash when protect and not empty
    std::string version; // "3.5.1.0" (FileVersionText), for the uninstall entry
};

// The services an installation uses, so that tests can stand in for them.
struct InstallServices {
    // Shortcuts and the program group, launching <target>/orbita.
    DesktopIntegration* integration = nullptr;
    // The full path of an installed program, or "" (the default tools).
    std::function<std::string(std::string_view)> findExecutable;
};

// The installer's own list of what it wrote, kept in the installation folder:
// one path a line relative to the folder, folders ending with "/". The full
// removal deletes what it lists and nothing else.
inline constexpr std::string_view kManifestName = "INSTALACJA.LST";

// The files copied from the program folder, in order: the executable (as
// "orbita"), the content archive, the sounds, the texture and the banner.
// The executable and the archive are required; the others are skipped when
// the source has none. Then the shortcut picture orbita.png and the shipped
// skins (KARNACJE/*.obs) and tests (TESTY/*.obt), which never replace a file
// already there.
inline constexpr std::string_view kInstalledExecutable = "orbita";
inline constexpr std::string_view kInstalledArchive = "ORBITA.DAT";

// One installation, run action by action so that the window can show its
// progress between them. Every failed copy, shortcut or store write is
// collected; a failed copy of the executable or the archive (or a target
// folder that cannot be made) makes the installation fail, and the later
// actions (shortcuts, settings, InstallPath, the uninstall entry) are not
// done, so nothing points at a broken installation.
class Installation {
public:
    Installation(InstallChoices choices, InstallServices services);

    std::size_t ActionCount() const { return m_actions.size(); }
    // Runs the next action; gives the progress it adds (the bar stops at 100).
    int RunNextAction();
    bool Finished() const { return m_next >= m_actions.size(); }
    // Runs what is left.
    void RunAll();

    // Every problem met, each a sentence naming what could not be written.
    const std::vector<std::string>& Problems() const { return m_problems; }
    // False once a required part could not be written.
    bool Usable() const { return !m_failed; }
    // True only when everything was written.
    bool Complete() const { return !m_failed && m_problems.empty(); }
    // The files and folders written (relative to the target folder).
    const std::vector<std::string>& Written() const { return m_written; }

private:
    struct Action {
        int progress;
        std::function<void()> run;
    };
    void createFolder();
    void copyFile(std::string_view sourceName, std::string_view targetName, bool required);
    void copyExtras();
    void copyShipped(std::string_view folder, std::string_view extension);
    void writeManifest();
    void buildGroup();
    void buildShortcuts();
    void writeAccess();
    void writeSettings();
    void writeInstallPath();
    void storeBatch(const std::function<void()>& writes, const std::string& what);
    void fail(std::string message);
    std::string target(std::string_view name) const;

    InstallChoices m_choices;
    InstallServices m_services;
    std::vector<Action> m_actions;
    std::size_t m_next = 0;
    std::vector<std::string> m_problems;
    std::vector<std::string> m_written;
    bool m_failed = false;
    bool m_firstInstallation = false;
};

// "3.5.1.0" → "3.51" (major.minor followed by the release), as the uninstall
// entry shows it; "" for a text that is not a version.
std::string UninstallDisplayVersion(std::string_view version);

// An older generation's RunCount: blanks around it ignored, an optional sign,
// decimal digits that fit a 32-bit integer; nothing otherwise.
std::optional<int> ParseOlderRunCount(std::string_view text);

// --- Removing --------------------------------------------------------------

// The program's own files that the partial removal deletes.
const std::vector<std::string>& ProgramFileNames();

// The partial removal: the program's own files in `folder` go, everything
// else (skins, tests, backups, the list of what was installed) stays. Gives
// the files that could not be deleted.
std::vector<std::string> RemoveProgramFiles(const std::string& folder);

// The full removal: the files and folders the manifest lists (each kept
// inside `folder`; a folder only once it is empty), the program's own files,
// the manifest itself, and last `folder` when nothing else is left in it.
// A pupil's own files in the folder survive. Gives what could not be deleted.
std::vector<std::string> RemoveInstallation(const std::string& folder);

// Where the uninstaller puts the removal copy: <temporary folder>/REMOVEME.
std::string RemovalCopyPath(const std::string& temporaryFolderWithSlash);

} // namespace orbita
