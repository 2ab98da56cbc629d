#include "core/settings.h"

#include "core/scramble.h"

#include <array>
#include <cassert>
#include <cstdlib>

// ORBITA_UPDATE_SERVER: the build's default address of the update service.

namespace orbita {
namespace {

using enum SettingScope;
using enum SettingType;

// clang-format off
constexpr std::array<SettingInfo, 32> kTable = { {
    { Setting::User, Root, "User", String, kNoDefault, "",
      "the account logged in for this run; empty while nobody is logged in" },
    { Setting::RunCount, Root, "RunCount", Integer, kNoDefault, "",
      "number of program starts; a missing count is 0 to the start-up, which stores 1" },
    { Setting::InstallPath, Root, "InstallPath", String, kNoDefault, "",
      "installation folder; empty before the first installation" },
    { Setting::UpdateServer, Machine, "UpdateServer", String, kNoDefault, ORBITA_UPDATE_SERVER,
      "base address of the update service ($ORBITA_UPDATE_URL overrides it)" },
    { Setting::Password, Profile, "Password", PasswordHash, kNoDefault, "",
      "the account's password; empty means no password" },
    { Setting::StartupMode, Profile, "StartupMode", FlagOnIf1, 0, "",
      "on: start in compact mode (the launcher window); off: the splash and the periodic table" },
    { Setting::SaveWindowsPlacement, Profile, "SaveWindowsPlacement", FlagOnIf1, 0, "",
      "restore saved window places, sizes, splitters and test-list column widths" },
    { Setting::ExitPrompt, Profile, "ExitPrompt", FlagOnUnless0, 1, "",
      "ask before quitting" },
    { Setting::ShowHint, Profile, "ShowHint", FlagOnUnless0, 1, "",
      "balloon hints in the main and launcher windows" },
    { Setting::StartupTip, Profile, "StartupTip", FlagOnUnless0, 1, "",
      "the tip of the day at start" },
    { Setting::Sounds, Profile, "Sounds", FlagOnIf1, 0, "",
      "sound events" },
    { Setting::IntroSound, Profile, "IntroSound", String, kNoDefault, "",
      "WAV file played when the program starts" },
    { Setting::WindowOpenSound, Profile, "WindowOpenSound", String, kNoDefault, "",
      "WAV file played when a window opens" },
    { Setting::WindowCloseSound, Profile, "WindowCloseSound", String, kNoDefault, "",
      "WAV file played when a window closes" },
    { Setting::UseBackground, Profile, "UseBackground", FlagOnIf1, 0, "",
      "tile a texture over the inside of every dialog window" },
    { Setting::BackgroundPath, Profile, "BackgroundPath", String, kNoDefault, "",
      "the texture bitmap" },
    { Setting::UseSkin, Profile, "UseSkin", FlagOnIf1, 0, "",
      "load the skin package SkinFile instead of the built-in skin" },
    { Setting::SkinFile, Profile, "SkinFile", String, kNoDefault, "",
      "file name (with .obs, without folder) of the skin package in KARNACJE" },
    { Setting::SetupTab, Profile, "SetupTab", Integer, 0, "",
      "settings-tree node selected when the settings window last closed (0 to 7)" },
    { Setting::TabOrder, Profile, "TabOrder", Integer, 1, "",
      "page of the element window: 1 details, 2 description, 3 notes" },
    { Setting::LastChoice, Profile, "LastChoice", Integer, kNoDefault, "",
      "element last chosen in the element choice; missing: the first entry" },
    { Setting::DictionaryKeyword, Profile, "DictionaryKeyword", String, kNoDefault, "",
      "last text typed in the dictionary's keyword box" },
    { Setting::DetailsOrder, Profile, "DetailsOrder", Integer, 0, "",
      "view of the launcher's list: 0 large icons, 1 small icons, 2 list, 3 report" },
    { Setting::DisplayName, UninstallEntry, "DisplayName", String, kNoDefault, "",
      "\"Orbita \" and the version as <major>.<minor><release>" },
    { Setting::DisplayVersion, UninstallEntry, "DisplayVersion", String, kNoDefault, "",
      "the version as <major>.<minor><release>" },
    { Setting::UninstallString, UninstallEntry, "UninstallString", String, kNoDefault, "",
      "the installed program with /UNINSTALL" },
    { Setting::Publisher, UninstallEntry, "Publisher", String, kNoDefault, "",
      "the maker's name" },
    { Setting::HelpLink, UninstallEntry, "HelpLink", String, kNoDefault, "",
      "the program's web site" },
    { Setting::UrlInfoAbout, UninstallEntry, "UrlInfoAbout", String, kNoDefault, "",
      "the program's web site" },
    { Setting::UrlUpdateInfo, UninstallEntry, "UrlUpdateInfo", String, kNoDefault, "",
      "the program's web site" },
    { Setting::OlderRunCount, OlderGeneration, "RunCount", String, kNoDefault, "",
      "an older generation's start count, a decimal number" },
    { Setting::OlderProgramPath, OlderGeneration, "ProgramPath", String, kNoDefault, "",
      "an older generation's installation folder" },
} };
// clang-format on

constexpr bool tableFollowsEnum()
{
    for (std::size_t i = 0; i < kTable.size(); ++i)
        if (static_cast<std::size_t>(kTable[i].setting) != i)
            return false;
    return true;
}
static_assert(tableFollowsEnum(), "the table lists the settings in the order of Setting");
static_assert(kTable.back().setting == Setting::OlderProgramPath, "every setting has its row");

constexpr std::string_view kRootKey = "Software\\Orbita";
constexpr std::string_view kUninstallEntryKey
    = "Software\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\Orbita";
constexpr std::string_view kOlderGenerationKey = "Software\\Halden Soft\\Orbita";

constexpr std::array<PlacedWindowInfo, 18> kPlacedWindows = { {
    { PlacedWindow::LoginForm, "LoginForm", false },
    { PlacedWindow::SettingsForm, "SettingsForm", false },
    { PlacedWindow::UpdateForm, "UpdateForm", false },
    { PlacedWindow::FontForm, "FontForm", false },
    { PlacedWindow::AboutForm, "AboutForm", false },
    { PlacedWindow::TipForm, "TipForm", false },
    { PlacedWindow::QuitForm, "QuitForm", false },
    { PlacedWindow::ChoiceForm, "ChoiceForm", false },
    { PlacedWindow::FindForm, "FindForm", false },
    { PlacedWindow::UnitsForm, "UnitsForm", false },
    { PlacedWindow::HelpForm, "HelpForm", true },
    { PlacedWindow::TablesForm, "TablesForm", true },
    { PlacedWindow::ElementForm, "ElementForm", true },
    { PlacedWindow::DictForm, "DictForm", true },
    { PlacedWindow::TestForm, "TestForm", true },
    { PlacedWindow::MenuForm, "MenuForm", true },
    { PlacedWindow::MolarForm, "MolarForm", true },
    { PlacedWindow::PropertyTableForm, "PropertyTableForm", true },
} };

constexpr std::array<std::string_view, 4> kEdgeNames = { "Left", "Top", "Width", "Height" };
constexpr std::array<std::string_view, 3> kSplitterNames
    = { "HelpFormSeparator", "TablesFormSeparator", "DictFormSeparator" };
constexpr std::array<std::string_view, 5> kTestListColumnNames = { "TestListNameWidth", "TestListTitleWidth",
    "TestListAuthorWidth", "TestListCountWidth", "TestListDescriptionWidth" };
constexpr std::array<std::string_view, 5> kViewerNames = { "Help", "Tables", "Element", "Dict", "Test" };
constexpr std::array<std::string_view, 5> kViewerValueNames
    = { "BackgroundColor", "FontColor", "LinkColor", "FontSize", "FontName" };
constexpr std::array<std::string_view, 4> kSubKeyNames = { "Placement", "Tools", "Notes", "FindKeywords" };

constexpr std::array<RetiredKey, 7> kRetiredKeys = { {
    { Hive::CurrentUser, kOlderGenerationKey },
    { Hive::CurrentUser, "AppEvents\\EventLabels\\OrbitaButton" },
    { Hive::CurrentUser, "AppEvents\\EventLabels\\OrbitaClose" },
    { Hive::CurrentUser, "AppEvents\\EventLabels\\OrbitaStart" },
    { Hive::CurrentUser, "AppEvents\\EventLabels\\OrbitaOpen" },
    { Hive::CurrentUser, "AppEvents\\Schemes\\Apps\\Orbita" },
    { Hive::ClassesRoot, "OBTFile" },
} };

template <typename Enum, typename Array> std::string_view nameOf(const Array& names, Enum value)
{
    return names[static_cast<std::size_t>(value)];
}

// The key of a setting for `account` (profile values only); empty when the
// value has no key: a profile value while nobody is logged in.
std::string keyOf(const SettingInfo& info, std::string_view account)
{
    if (info.scope == Profile && account.empty())
        return {};
    return ScopeKeyPath(info.scope, account);
}

std::string placementKey()
{
    const std::string account = CurrentUserName();
    return account.empty() ? std::string() : ProfileSubKeyPath(ProfileSubKey::Placement, account);
}

std::int32_t readPlacementValue(std::string_view name)
{
    const std::string key = placementKey();
    return key.empty() ? -1 : ReadRegInteger(Hive::CurrentUser, key, name);
}

void writePlacementValue(std::string_view name, std::int32_t value)
{
    if (const std::string key = placementKey(); !key.empty())
        WriteRegInteger(Hive::CurrentUser, key, name, value);
}

std::string currentSubKey(ProfileSubKey subKey)
{
    const std::string account = CurrentUserName();
    return account.empty() ? std::string() : ProfileSubKeyPath(subKey, account);
}

[[maybe_unused]] bool isFlag(SettingType type)
{
    return type == FlagOnIf1 || type == FlagOnUnless0;
}

} // namespace

std::span<const SettingInfo> AllSettings()
{
    return kTable;
}

const SettingInfo& Describe(Setting setting)
{
    return kTable[static_cast<std::size_t>(setting)];
}

Hive HiveOf(SettingScope scope)
{
    return scope == Machine || scope == UninstallEntry ? Hive::LocalMachine : Hive::CurrentUser;
}

std::string RootKeyPath()
{
    return std::string(kRootKey);
}

std::string ProfileKeyPath(std::string_view account)
{
    std::string key(kRootKey);
    key += '\\';
    key += account;
    return key;
}

std::string UninstallEntryKeyPath()
{
    return std::string(kUninstallEntryKey);
}

std::string OlderGenerationKeyPath()
{
    return std::string(kOlderGenerationKey);
}

std::string RootKeyFullName()
{
    return std::string(HiveName(Hive::CurrentUser)) + "\\" + RootKeyPath();
}

std::string ScopeKeyPath(SettingScope scope, std::string_view account)
{
    switch (scope) {
    case Root:
    case Machine:
        return RootKeyPath();
    case Profile:
        return ProfileKeyPath(account);
    case UninstallEntry:
        return UninstallEntryKeyPath();
    case OlderGeneration:
        return OlderGenerationKeyPath();
    }
    return {};
}

std::string CurrentUserName()
{
    return ReadString(Setting::User);
}

void SetCurrentUserName(std::string_view account)
{
    WriteString(Setting::User, account);
}

std::vector<std::string> AccountNames()
{
    return RegSubKeyNames(Hive::CurrentUser, kRootKey);
}

AccountNameForm CheckAccountNameForm(std::string_view account)
{
    const auto isBlank = [](char c) { return c == ' ' || static_cast<unsigned char>(c) == 0xA0; };
    if (account.empty())
        return AccountNameForm::Empty;
    if (account.size() > kMaxAccountNameLength)
        return AccountNameForm::TooLong;
    for (const char c : account)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return AccountNameForm::ControlCharacter;
    if (account.find_first_of("\\/") != std::string_view::npos)
        return AccountNameForm::Separator;
    if (account.find("..") != std::string_view::npos)
        return AccountNameForm::DoubleDot;
    if (isBlank(account.front()) || isBlank(account.back()))
        return AccountNameForm::EdgeBlank;
    return AccountNameForm::Valid;
}

void CreateAccount(std::string_view account)
{
    if (!account.empty())
        CreateRegKey(Hive::CurrentUser, ProfileKeyPath(account));
}

void DeleteAccount(std::string_view account)
{
    if (account.empty())
        return; // never the root key
    for (const ProfileSubKey subKey : kProfileSubKeys)
        DeleteRegKey(Hive::CurrentUser, ProfileSubKeyPath(subKey, account));
    DeleteRegKey(Hive::CurrentUser, ProfileKeyPath(account));
}

void DeleteAllSettings()
{
    for (const std::string& account : AccountNames())
        DeleteAccount(account);
    DeleteRegKey(Hive::CurrentUser, kRootKey);
}

void DeleteUninstallEntry()
{
    DeleteRegKey(HiveOf(UninstallEntry), kUninstallEntryKey);
}

std::int32_t ReadInteger(Setting setting)
{
    return ReadInteger(setting, Describe(setting).scope == Profile ? CurrentUserName() : std::string());
}

std::int32_t ReadInteger(Setting setting, std::string_view account)
{
    const SettingInfo& info = Describe(setting);
    assert(info.type == Integer || isFlag(info.type));
    const std::string key = keyOf(info, account);
    const std::int32_t value = key.empty() ? -1 : ReadRegInteger(HiveOf(info.scope), key, info.name);
    return value == -1 ? info.defaultInteger : value;
}

void WriteInteger(Setting setting, std::int32_t value)
{
    WriteInteger(setting, value, Describe(setting).scope == Profile ? CurrentUserName() : std::string());
}

void WriteInteger(Setting setting, std::int32_t value, std::string_view account)
{
    const SettingInfo& info = Describe(setting);
    assert(info.type == Integer || isFlag(info.type));
    if (const std::string key = keyOf(info, account); !key.empty())
        WriteRegInteger(HiveOf(info.scope), key, info.name, value);
}

bool ReadFlag(Setting setting)
{
    return ReadFlag(setting, Describe(setting).scope == Profile ? CurrentUserName() : std::string());
}

bool ReadFlag(Setting setting, std::string_view account)
{
    const SettingInfo& info = Describe(setting);
    assert(isFlag(info.type));
    const std::int32_t value = ReadInteger(setting, account);
    return info.type == FlagOnIf1 ? value == 1 : value != 0;
}

void WriteFlag(Setting setting, bool on)
{
    WriteInteger(setting, on ? 1 : 0);
}

void WriteFlag(Setting setting, bool on, std::string_view account)
{
    WriteInteger(setting, on ? 1 : 0, account);
}

std::string ReadString(Setting setting)
{
    return ReadString(setting, Describe(setting).scope == Profile ? CurrentUserName() : std::string());
}

std::string ReadString(Setting setting, std::string_view account)
{
    const SettingInfo& info = Describe(setting);
    assert(info.type == String || info.type == PasswordHash);
    const std::string key = keyOf(info, account);
    std::string value = key.empty() ? std::string() : ReadRegString(HiveOf(info.scope), key, info.name);
    return value.empty() ? std::string(info.defaultText) : value;
}

void WriteString(Setting setting, std::string_view value)
{
    WriteString(setting, value, Describe(setting).scope == Profile ? CurrentUserName() : std::string());
}

void WriteString(Setting setting, std::string_view value, std::string_view account)
{
    const SettingInfo& info = Describe(setting);
    assert(info.type == String || info.type == PasswordHash);
    if (const std::string key = keyOf(info, account); !key.empty())
        WriteRegString(HiveOf(info.scope), key, info.name, value);
}

bool IsStored(Setting setting, std::string_view account)
{
    const SettingInfo& info = Describe(setting);
    const std::string key = keyOf(info, account);
    return !key.empty() && ReadRegValue(HiveOf(info.scope), key, info.name).has_value();
}

void DeleteSetting(Setting setting, std::string_view account)
{
    const SettingInfo& info = Describe(setting);
    if (const std::string key = keyOf(info, account); !key.empty())
        DeleteRegValue(HiveOf(info.scope), key, info.name);
}

std::string UpdateServiceBase()
{
    if (const char* address = std::getenv("ORBITA_UPDATE_URL"); address && *address)
        return address;
    return ReadString(Setting::UpdateServer);
}

std::string_view ProfileSubKeyName(ProfileSubKey subKey)
{
    return nameOf(kSubKeyNames, subKey);
}

std::string ProfileSubKeyPath(ProfileSubKey subKey, std::string_view account)
{
    return ProfileKeyPath(account) + "\\" + std::string(ProfileSubKeyName(subKey));
}

std::span<const PlacedWindowInfo> PlacedWindows()
{
    return kPlacedWindows;
}

std::string_view PlacedWindowName(PlacedWindow window)
{
    return kPlacedWindows[static_cast<std::size_t>(window)].name;
}

std::string PlacementValueName(std::string_view window, PlacementEdge edge)
{
    return std::string(window) + std::string(nameOf(kEdgeNames, edge));
}

std::int32_t ReadPlacement(std::string_view window, PlacementEdge edge)
{
    return readPlacementValue(PlacementValueName(window, edge));
}

void WritePlacement(std::string_view window, PlacementEdge edge, std::int32_t value)
{
    writePlacementValue(PlacementValueName(window, edge), value);
}

std::string_view SplitterValueName(Splitter splitter)
{
    return nameOf(kSplitterNames, splitter);
}

std::int32_t ReadSplitter(Splitter splitter)
{
    return readPlacementValue(SplitterValueName(splitter));
}

void WriteSplitter(Splitter splitter, std::int32_t width)
{
    writePlacementValue(SplitterValueName(splitter), width);
}

std::string_view TestListColumnValueName(TestListColumn column)
{
    return nameOf(kTestListColumnNames, column);
}

std::int32_t ReadTestListColumnWidth(TestListColumn column)
{
    return readPlacementValue(TestListColumnValueName(column));
}

void WriteTestListColumnWidth(TestListColumn column, std::int32_t width)
{
    writePlacementValue(TestListColumnValueName(column), width);
}

std::string_view ViewerName(Viewer viewer)
{
    return nameOf(kViewerNames, viewer);
}

std::string ViewerValueName(Viewer viewer, ViewerValue value)
{
    return std::string(ViewerName(viewer)) + std::string(nameOf(kViewerValueNames, value));
}

bool IsViewerValueStored(Viewer viewer, ViewerValue value)
{
    const std::string key = placementKey();
    return !key.empty() && ReadRegValue(Hive::CurrentUser, key, ViewerValueName(viewer, value)).has_value();
}

std::int32_t ReadViewerInteger(Viewer viewer, ViewerValue value)
{
    return readPlacementValue(ViewerValueName(viewer, value));
}

void WriteViewerInteger(Viewer viewer, ViewerValue value, std::int32_t number)
{
    writePlacementValue(ViewerValueName(viewer, value), number);
}

std::string ReadViewerFontName(Viewer viewer)
{
    const std::string key = placementKey();
    return key.empty()
        ? std::string()
        : ReadRegString(Hive::CurrentUser, key, ViewerValueName(viewer, ViewerValue::FontName));
}

void WriteViewerFontName(Viewer viewer, std::string_view fontName)
{
    if (const std::string key = placementKey(); !key.empty())
        WriteRegString(Hive::CurrentUser, key, ViewerValueName(viewer, ViewerValue::FontName), fontName);
}

std::vector<std::string> AllPlacementValueNames()
{
    std::vector<std::string> names;
    for (const PlacedWindowInfo& window : kPlacedWindows)
        for (std::size_t edge = 0; edge < (window.resizable ? 4u : 2u); ++edge)
            names.push_back(PlacementValueName(window.name, static_cast<PlacementEdge>(edge)));
    for (const std::string_view name : kSplitterNames)
        names.emplace_back(name);
    for (const std::string_view name : kTestListColumnNames)
        names.emplace_back(name);
    for (std::size_t viewer = 0; viewer < kViewerNames.size(); ++viewer)
        for (std::size_t value = 0; value < kViewerValueNames.size(); ++value)
            names.push_back(ViewerValueName(static_cast<Viewer>(viewer), static_cast<ViewerValue>(value)));
    return names;
}

std::vector<std::string> ToolCaptions()
{
    const std::string key = currentSubKey(ProfileSubKey::Tools);
    return key.empty() ? std::vector<std::string>() : RegValueNames(Hive::CurrentUser, key);
}

std::string ReadToolCommand(std::string_view caption)
{
    const std::string key = currentSubKey(ProfileSubKey::Tools);
    return key.empty() ? std::string() : ReadRegString(Hive::CurrentUser, key, caption);
}

std::vector<ToolEntry> ReadTools(std::string_view account)
{
    std::vector<ToolEntry> tools;
    if (account.empty())
        return tools;
    const std::string key = ProfileSubKeyPath(ProfileSubKey::Tools, account);
    for (std::string& caption : RegValueNames(Hive::CurrentUser, key)) {
        std::string command = ReadRegString(Hive::CurrentUser, key, caption);
        tools.push_back({ std::move(caption), std::move(command) });
    }
    return tools;
}

void RewriteTools(std::span<const ToolEntry> tools, std::string_view account)
{
    if (account.empty())
        return;
    const std::string key = ProfileSubKeyPath(ProfileSubKey::Tools, account);
    DeleteRegKey(Hive::CurrentUser, key);
    for (const ToolEntry& tool : tools)
        WriteRegString(Hive::CurrentUser, key, tool.caption, tool.command);
}

std::string ReadNote(int element)
{
    const std::string key = currentSubKey(ProfileSubKey::Notes);
    if (key.empty())
        return {};
    return UnscrambleText(kNoteScrambleKey, ReadRegString(Hive::CurrentUser, key, std::to_string(element)));
}

void WriteNote(int element, std::string_view text)
{
    const std::string key = currentSubKey(ProfileSubKey::Notes);
    if (key.empty())
        return;
    if (text.empty())
        DeleteRegValue(Hive::CurrentUser, key, std::to_string(element));
    else
        WriteRegString(Hive::CurrentUser, key, std::to_string(element), ScrambleText(kNoteScrambleKey, text));
}

std::vector<std::string> ReadFindKeywords()
{
    std::vector<std::string> keywords;
    const std::string key = currentSubKey(ProfileSubKey::FindKeywords);
    if (key.empty())
        return keywords;
    for (std::size_t i = 0;; ++i) {
        std::string item = ReadRegString(Hive::CurrentUser, key, std::to_string(i));
        if (item.empty())
            break;
        keywords.push_back(std::move(item));
    }
    return keywords;
}

void WriteFindKeywords(std::span<const std::string> keywords)
{
    const std::string key = currentSubKey(ProfileSubKey::FindKeywords);
    if (key.empty())
        return;
    for (std::size_t i = 0; i < keywords.size(); ++i)
        WriteRegString(Hive::CurrentUser, key, std::to_string(i), keywords[i]);
    DeleteRegValue(Hive::CurrentUser, key, std::to_string(keywords.size()));
}

std::span<const RetiredKey> RetiredKeys()
{
    return kRetiredKeys;
}

} // namespace orbita
