#pragma once

#include "windows/settings/account_logic.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The model of the settings window, free of Qt: what every page shows, which
// values the user changed (the changed marks), the defaults of "&Domyślnie",
// the mode question, and the confirmation that writes only what changed, in
// a fixed order. Texts and paths are UTF-8 here; the store keeps Windows-1250,
// so a path or name Windows-1250 cannot hold is refused before anything is
// written (a stored path always names its file).

// --- The tree of pages ---------------------------------------------------

struct SettingsTreeNode {
    std::string_view text; // UTF-8, as the tree shows it
    int level; // 0 top, 1 under "Program"
    std::string_view page; // the page's component name
};
// The eight nodes in display order; SetupTab holds the index of the selected one.
std::span<const SettingsTreeNode> SettingsTree();
inline constexpr int kSettingsPageCount = 8;
// SetupTab as stored, or 0 when it is missing or no node's index.
int StoredSettingsPage();
void WriteSettingsPage(int index);

// --- Values and changed marks --------------------------------------------

// Every value of the pages that carries a changed mark.
enum class SettingsField {
    // check boxes and radio buttons
    CompactMode, // the mode radios: compact when set, standard otherwise
    SavePlacement,
    ExitPrompt,
    ShowHint,
    StartupTip,
    UseBackground,
    ProgramGroup,
    DesktopShortcut,
    MenuShortcut,
    Sounds,
    UseSkin,
    // edit boxes
    BackgroundPath,
    IntroSound,
    OpenSound,
    CloseSound,
    // lists
    Skin,
    Tools,
    Count
};
inline constexpr std::size_t kSettingsFieldCount = static_cast<std::size_t>(SettingsField::Count);
bool IsFlagField(SettingsField field);
bool IsTextField(SettingsField field);

// A user's tool: the caption ("&" marks kept) and the program or address.
struct SettingsTool {
    std::string name;
    std::string path;
    bool operator==(const SettingsTool&) const = default;
};

// A skin package found in KARNACJE: shown as its file name up to the first
// dot, stored under its real file name.
struct SkinEntry {
    std::string display;
    std::string fileName;
    std::string path; // full path of the package
};
// The packages (*.obs, any letter case) of KARNACJE in the program folder and
// the per-user folder, the per-user one winning on equal names (without
// case), sorted by display text without case. Folders end with "/".
std::vector<SkinEntry> ListSkins(const std::string& programFolder, const std::string& perUserFolder);
// True when either folder has KARNACJE (the page then shows the list).
bool SkinFolderExists(const std::string& programFolder, const std::string& perUserFolder);
// The lines of the package's README.TXT (UTF-8); none when it has no such member.
std::vector<std::string> SkinInformationLines(const SkinEntry& skin);
// The text of the "Informacje o karnacji" box: "Nazwa pliku: <file>", an empty
// line, then the information lines.
std::string SkinInformationText(const SkinEntry& skin, std::span<const std::string> lines);
inline constexpr std::string_view kSkinInformationCaption = "Informacje o karnacji";

// The desktop integration of the Integracja page: read from and written to
// the file system, never the store. The window passes the platform's
// implementation; tests pass their own.
enum class IntegrationItem { ProgramGroup, DesktopShortcut, MenuShortcut };
class DesktopIntegration {
public:
    virtual ~DesktopIntegration() = default;
    virtual bool Exists(IntegrationItem item) const = 0;
    // Create or remove exactly what the item is made of; every failure gives
    // a Polish message naming the file (the other files are still written).
    virtual std::vector<std::string> Create(IntegrationItem item) = 0;
    virtual std::vector<std::string> Remove(IntegrationItem item) = 0;
};

// Where the window looks for files (UTF-8, folders ending with "/").
struct SettingsEnvironment {
    std::string account; // Windows-1250, the current account
    std::string programFolder;
    std::string perUserFolder;
    DesktopIntegration* integration = nullptr; // may be null: the page shows nothing present
    // The full path of an installed program, or "" (the default tools).
    std::function<std::string(std::string_view)> findExecutable;
};

// The mode question asked on OK when a skin is wanted in compact mode.
inline constexpr std::string_view kModeQuestionCaption = "Zmiana trybu uruchamiania";
inline constexpr std::string_view kModeQuestionText
    = "Aby załadować alternatywną karnację, program musi być uruchomiony w trybie standardowym. Czy "
      "przełączyć program w tryb standardowy? (należy ponownie uruchomić program)";

// The message when a path or name cannot be stored, or nothing.
std::optional<AccountMessage> StorableTextRefusal(std::string_view utf8);

// The three default tools, each the first installed of a list of Linux
// programs ("&Notatnik": a text editor, "&Kalkulator", "&Schowek": a
// clipboard viewer); a tool with nothing installed is left out.
std::vector<SettingsTool> DefaultTools(const std::function<std::string(std::string_view)>& findExecutable);
// The executable of that name on $PATH, or "".
std::string FindExecutableOnPath(std::string_view name);

class SettingsModel {
public:
    // Loads every page for the environment's account: the values from the
    // store, the integration from the file system, the skins from KARNACJE.
    // No mark is set and OK is disabled afterwards.
    explicit SettingsModel(SettingsEnvironment environment);

    const SettingsEnvironment& Environment() const { return m_env; }
    bool IsAdministrator() const;

    bool Flag(SettingsField field) const;
    const std::string& Text(SettingsField field) const;
    const std::vector<SettingsTool>& Tools() const { return m_tools; }
    const std::vector<SkinEntry>& Skins() const { return m_skins; }
    std::optional<std::size_t> SelectedSkin() const { return m_skin; }
    bool SkinsAvailable() const { return m_skinFolder; }

    // The user's changes: each sets the field's mark and enables OK.
    void SetFlag(SettingsField field, bool on);
    void SetText(SettingsField field, std::string utf8);
    void SelectSkin(std::size_t index);
    // Appends a tool; refused (with the message to show, nothing changed) when
    // a tool of that name exists (without case) or either text cannot be stored.
    std::optional<AccountMessage> AddTool(std::string name, std::string path);
    void DeleteTool(std::size_t index);

    // The account page: the working account list (Administrator only) and the
    // page's two password boxes (UTF-8), opened with InitialPasswordBoxText.
    const AccountList* Accounts() const { return m_accounts ? &*m_accounts : nullptr; }
    std::optional<AccountMessage> CreateAccount(std::string_view typedUtf8);
    bool DeleteAccount(std::string_view name);
    const PasswordBoxes& Passwords() const { return m_passwords; }
    void SetPasswordBoxes(std::string password, std::string confirmation);

    bool IsChanged(SettingsField field) const { return m_marks[index(field)]; }
    bool AccountsChanged() const { return m_accounts && m_accounts->Changed(); }
    bool ConfirmEnabled() const { return m_confirmEnabled; }

    // "&Domyślnie": standard mode, placement off, prompt, hints and tips on,
    // the program group on and the shortcuts off, skins off, sounds on with
    // the program's INTRO.WAV, OTWORZ.WAV and ZAMKNIJ.WAV where present, the
    // texture on with FAKTURA.BMP where present, the default tools. Each is
    // marked; OK is enabled only when a value really changed. Accounts,
    // passwords, the skin selection and the page are left alone.
    void ApplyDefaults();

    // True when OK must first ask the mode question (a skin wanted while the
    // compact mode is chosen). Yes chooses the standard mode and marks it.
    bool NeedsModeQuestion() const;
    void AnswerModeQuestion(bool yes);

    // The confirmation. First the checks that keep the window open with
    // nothing written (the password boxes, texts that cannot be stored);
    // then only the marked values, in this order: the start-up mode; the
    // placement, exit prompt, hint, tip and sound flags; the three sounds;
    // the texture flag and path; the program group, desktop and menu
    // shortcuts; the tools; the accounts and password; the skin flag and file.
    struct CommitResult {
        std::optional<AccountMessage> refusal; // window stays open, nothing written
        std::vector<std::string> failures; // written what could be; shown, window closes
    };
    CommitResult Commit();

private:
    static std::size_t index(SettingsField field) { return static_cast<std::size_t>(field); }
    void mark(SettingsField field);
    bool setFlagValue(SettingsField field, bool on);
    bool setTextValue(SettingsField field, std::string utf8);

    SettingsEnvironment m_env;
    std::array<bool, kSettingsFieldCount> m_flags {};
    std::array<std::string, kSettingsFieldCount> m_texts {};
    std::array<bool, kSettingsFieldCount> m_marks {};
    std::vector<SettingsTool> m_tools;
    std::vector<SkinEntry> m_skins;
    std::optional<std::size_t> m_skin;
    bool m_skinFolder = false;
    std::optional<AccountList> m_accounts;
    PasswordBoxes m_passwords;
    bool m_confirmEnabled = false;
};

} // namespace orbita
