#pragma once

#include "core/registry.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The program's settings: one table of every value the program keeps in the
// configuration store (where it lives, its name, type, what a missing value
// means), and the only code that spells a key path or a value name. Every
// access goes through the store (core/registry.h) at once: nothing is cached,
// and a per-account access reads User anew every time.
//
// Layout (HKEY_CURRENT_USER unless said otherwise):
//   Software\Orbita                      User, RunCount, InstallPath
//   Software\Orbita\<account>            the profile values (one sub-key per account)
//   Software\Orbita\<account>\Placement  window geometry, splitters, column widths, viewer appearance
//   Software\Orbita\<account>\Tools      caption = command
//   Software\Orbita\<account>\Notes      element number = scrambled note
//   Software\Orbita\<account>\FindKeywords  0, 1, 2, ... = search phrase
//   HKEY_LOCAL_MACHINE\Software\Orbita   UpdateServer
//   HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\UnInstall\Orbita  the uninstall entry
//   Software\Halden Soft\Orbita          an older generation's settings, read by the installer

// Where a value lives.
enum class SettingScope {
    Root, // Software\Orbita
    Profile, // Software\Orbita\<account>
    Machine, // HKEY_LOCAL_MACHINE\Software\Orbita
    UninstallEntry, // HKEY_LOCAL_MACHINE\...\UnInstall\Orbita
    OlderGeneration, // Software\Halden Soft\Orbita
};

// How a value is stored and read. A flag is an integer 1 (on) or 0 (off);
// each flag keeps one of two reading rules for a missing value (-1).
enum class SettingType {
    Integer, // missing reads as the table's default
    String, // Windows-1250; missing reads as the table's default (mostly "")
    FlagOnIf1, // on only when 1: a missing flag is off
    FlagOnUnless0, // on unless 0: a missing flag is on
    PasswordHash, // a password hash (core/password_hash.h), or an older scrambled value
};

enum class Setting {
    // Software\Orbita
    User,
    RunCount,
    InstallPath,
    // HKEY_LOCAL_MACHINE\Software\Orbita
    UpdateServer,
    // Software\Orbita\<account>
    Password,
    StartupMode,
    SaveWindowsPlacement,
    ExitPrompt,
    ShowHint,
    StartupTip,
    Sounds,
    IntroSound,
    WindowOpenSound,
    WindowCloseSound,
    UseBackground,
    BackgroundPath,
    UseSkin,
    SkinFile,
    SetupTab,
    TabOrder,
    LastChoice,
    DictionaryKeyword,
    DetailsOrder,
    // the uninstall entry
    DisplayName,
    DisplayVersion,
    UninstallString,
    Publisher,
    HelpLink,
    UrlInfoAbout,
    UrlUpdateInfo,
    // the older generation
    OlderRunCount, // a decimal number in a string
    OlderProgramPath,
};

// An integer default that is no value: the reader decides (a missing RunCount
// shows as -1 in the about box; a missing LastChoice selects the first entry).
inline constexpr std::int32_t kNoDefault = -1;

struct SettingInfo {
    Setting setting;
    SettingScope scope;
    std::string_view name; // the value name in the store
    SettingType type;
    std::int32_t defaultInteger; // integers and flags: what a missing value reads as
    std::string_view defaultText; // strings: what a missing value reads as
    std::string_view meaning;
};

// The whole table, in the order of Setting.
std::span<const SettingInfo> AllSettings();
const SettingInfo& Describe(Setting setting);
Hive HiveOf(SettingScope scope);

// The account that always exists once the program is installed.
inline constexpr std::string_view kAdministratorAccount = "Administrator";

// Key paths (relative to their hive).
std::string RootKeyPath(); // Software\Orbita
std::string ProfileKeyPath(std::string_view account); // Software\Orbita\<account>
std::string UninstallEntryKeyPath();
std::string OlderGenerationKeyPath();
// "HKEY_CURRENT_USER\Software\Orbita": the default key of a settings export.
std::string RootKeyFullName();
// The key that holds `scope`'s values; for Profile, that of `account`.
std::string ScopeKeyPath(SettingScope scope, std::string_view account = {});

// The current account: the value User, read anew at every call; "" while
// nobody is logged in.
std::string CurrentUserName();
void SetCurrentUserName(std::string_view account);

// The accounts: the sub-key names of Software\Orbita (the root values are
// values and never appear here).
std::vector<std::string> AccountNames();

// The form of an account name (Windows-1250), which becomes a key name and
// the name of its backup file: not empty, at most 64 characters, no control
// character, no "\" or "/", no "..", no blank (space or no-break space) at
// either end. The reserved and duplicate names are the settings window's
// rules (windows/settings/account_logic.h).
inline constexpr std::size_t kMaxAccountNameLength = 64;
enum class AccountNameForm { Valid, Empty, TooLong, ControlCharacter, Separator, DoubleDot, EdgeBlank };
AccountNameForm CheckAccountNameForm(std::string_view account);

void CreateAccount(std::string_view account);
// Deletes the account's sub-keys (every ProfileSubKey) and then its profile key.
void DeleteAccount(std::string_view account);
// Deletes every account and then Software\Orbita itself.
void DeleteAllSettings();
// Deletes the uninstall entry with its values.
void DeleteUninstallEntry();

// Typed access. The forms without an account use the current account for
// profile values (and ignore it for the other scopes). A profile value of the
// empty account (nobody logged in) reads as missing and is never written: the
// profile values never land among the root values.
std::int32_t ReadInteger(Setting setting); // stored value, else the table's default
std::int32_t ReadInteger(Setting setting, std::string_view account);
void WriteInteger(Setting setting, std::int32_t value);
void WriteInteger(Setting setting, std::int32_t value, std::string_view account);
bool ReadFlag(Setting setting); // by the flag's own rule
bool ReadFlag(Setting setting, std::string_view account);
void WriteFlag(Setting setting, bool on); // stores 1 or 0
void WriteFlag(Setting setting, bool on, std::string_view account);
std::string ReadString(Setting setting); // Windows-1250; password hashes as stored
std::string ReadString(Setting setting, std::string_view account);
void WriteString(Setting setting, std::string_view value);
void WriteString(Setting setting, std::string_view value, std::string_view account);
bool IsStored(Setting setting, std::string_view account);
void DeleteSetting(Setting setting, std::string_view account);

// The base address of the update service: $ORBITA_UPDATE_URL when set, else
// UpdateServer when not empty, else the address the program was built with.
std::string UpdateServiceBase();

// The sub-keys of a profile key.
enum class ProfileSubKey { Placement, Tools, Notes, FindKeywords };
inline constexpr ProfileSubKey kProfileSubKeys[]
    = { ProfileSubKey::Placement, ProfileSubKey::Tools, ProfileSubKey::Notes, ProfileSubKey::FindKeywords };
std::string_view ProfileSubKeyName(ProfileSubKey subKey);
std::string ProfileSubKeyPath(ProfileSubKey subKey, std::string_view account);

// Placement: the windows that keep their place, by their component name.
// Fixed-size windows keep Left and Top; resizable ones Width and Height too.
enum class PlacedWindow {
    LoginForm,
    SettingsForm,
    UpdateForm,
    FontForm,
    AboutForm,
    TipForm,
    QuitForm,
    ChoiceForm,
    FindForm,
    UnitsForm,
    HelpForm,
    TablesForm,
    ElementForm,
    DictForm,
    TestForm,
    MenuForm,
    MolarForm,
    PropertyTableForm,
};
struct PlacedWindowInfo {
    PlacedWindow window;
    std::string_view name;
    bool resizable;
};
std::span<const PlacedWindowInfo> PlacedWindows();
std::string_view PlacedWindowName(PlacedWindow window);

enum class PlacementEdge { Left, Top, Width, Height };
// "<window>Left" etc. Height holds the window's height plus the caption bar
// it was designed with (see platform/window_services.h).
std::string PlacementValueName(std::string_view window, PlacementEdge edge);
// The current account's value; -1 when missing or nobody is logged in.
std::int32_t ReadPlacement(std::string_view window, PlacementEdge edge);
void WritePlacement(std::string_view window, PlacementEdge edge, std::int32_t value);

// Widths of the left panes of the help, tables and dictionary windows.
enum class Splitter { Help, Tables, Dict };
std::string_view SplitterValueName(Splitter splitter);
std::int32_t ReadSplitter(Splitter splitter);
void WriteSplitter(Splitter splitter, std::int32_t width);

// Widths of the five columns of the test catalogue list.
enum class TestListColumn { Name, Title, Author, Count, Description };
std::string_view TestListColumnValueName(TestListColumn column);
std::int32_t ReadTestListColumnWidth(TestListColumn column);
void WriteTestListColumnWidth(TestListColumn column, std::int32_t width);

// The appearance of the HTML viewers: "<viewer>BackgroundColor" etc.
enum class Viewer { Help, Tables, Element, Dict, Test };
enum class ViewerValue { BackgroundColor, FontColor, LinkColor, FontSize, FontName };
std::string_view ViewerName(Viewer viewer);
std::string ViewerValueName(Viewer viewer, ViewerValue value);
bool IsViewerValueStored(Viewer viewer, ViewerValue value);
std::int32_t ReadViewerInteger(Viewer viewer, ViewerValue value); // -1 when missing
void WriteViewerInteger(Viewer viewer, ViewerValue value, std::int32_t number);
std::string ReadViewerFontName(Viewer viewer);
void WriteViewerFontName(Viewer viewer, std::string_view fontName);

// Every value name the Placement sub-key may hold, for a check or a listing.
std::vector<std::string> AllPlacementValueNames();

// Tools: caption ("&" marks included) = the command or path to run, in
// enumeration order.
struct ToolEntry {
    std::string caption; // Windows-1250
    std::string command; // Windows-1250
};
std::vector<std::string> ToolCaptions();
std::string ReadToolCommand(std::string_view caption);
std::vector<ToolEntry> ReadTools(std::string_view account);
// Deletes the account's Tools key and writes every entry in list order.
void RewriteTools(std::span<const ToolEntry> tools, std::string_view account);

// Notes: the note on an element of the current account, its lines joined by
// kNoteLineSeparator, stored scrambled under the element's number. An empty
// text deletes the value.
inline constexpr char kNoteLineSeparator = '\xF4';
std::string ReadNote(int element);
void WriteNote(int element, std::string_view text);

// FindKeywords of the current account: read from 0 upwards until the first
// missing or empty value; writing stores every phrase in order and deletes the
// value after the last, so a shorter list ends there.
std::vector<std::string> ReadFindKeywords();
void WriteFindKeywords(std::span<const std::string> keywords);

// Keys an older generation of the program left behind, removed by the
// installer once their data is carried over.
struct RetiredKey {
    Hive hive;
    std::string_view path;
};
std::span<const RetiredKey> RetiredKeys();

} // namespace orbita
