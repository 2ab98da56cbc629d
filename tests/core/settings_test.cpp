#include "core/scramble.h"
#include "core/settings.h"
#include "tests/core/registry_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>

namespace orbita {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The stored layout, spelled from outside the table on purpose.
const char* const kRoot = "Software\\Orbita";
const char* const kEwa = "Software\\Orbita\\Ewa";
const char* const kJan = "Software\\Orbita\\Jan";

class Settings : public test::TempRegistry {
protected:
    static void logIn(const char* account) { WriteRegString(Hive::CurrentUser, kRoot, "User", account); }
};

TEST_F(Settings, FreshProfileTakesTheMissingBehaviourOfEveryValue)
{
    CreateAccount("Ewa");
    logIn("Ewa");
    ASSERT_THAT(RegValueNames(Hive::CurrentUser, kEwa), IsEmpty());

    // On unless 0: a fresh account asks before quitting, shows hints and the tip.
    EXPECT_TRUE(ReadFlag(Setting::ExitPrompt));
    EXPECT_TRUE(ReadFlag(Setting::ShowHint));
    EXPECT_TRUE(ReadFlag(Setting::StartupTip));
    // On only when 1: no sounds, texture, skin, compact mode or saved places.
    EXPECT_FALSE(ReadFlag(Setting::Sounds));
    EXPECT_FALSE(ReadFlag(Setting::UseBackground));
    EXPECT_FALSE(ReadFlag(Setting::UseSkin));
    EXPECT_FALSE(ReadFlag(Setting::StartupMode));
    EXPECT_FALSE(ReadFlag(Setting::SaveWindowsPlacement));

    EXPECT_EQ(ReadInteger(Setting::TabOrder), 1); // details
    EXPECT_EQ(ReadInteger(Setting::SetupTab), 0); // the first node
    EXPECT_EQ(ReadInteger(Setting::DetailsOrder), 0); // large icons
    EXPECT_EQ(ReadInteger(Setting::LastChoice), -1); // the reader's choice
    EXPECT_EQ(ReadInteger(Setting::RunCount), -1);
    EXPECT_EQ(ReadString(Setting::SkinFile), "");
    EXPECT_EQ(ReadPlacement("ElementForm", PlacementEdge::Left), -1);

    // Reading wrote nothing.
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, kEwa), IsEmpty());
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, kEwa), IsEmpty());
}

TEST_F(Settings, EachFlagKeepsItsOwnReadingRule)
{
    logIn("Ewa");
    struct Case {
        std::optional<int> stored;
        bool onIf1; // Sounds
        bool onUnless0; // ExitPrompt
    };
    const Case cases[] = {
        { std::nullopt, false, true },
        { 0, false, false },
        { 1, true, true },
        { 2, false, true },
        { -5, false, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or(-1));
        for (const char* name : { "Sounds", "ExitPrompt" }) {
            DeleteRegValue(Hive::CurrentUser, kEwa, name);
            if (c.stored)
                WriteRegInteger(Hive::CurrentUser, kEwa, name, *c.stored);
        }
        EXPECT_EQ(ReadFlag(Setting::Sounds), c.onIf1);
        EXPECT_EQ(ReadFlag(Setting::ExitPrompt), c.onUnless0);
    }

    WriteFlag(Setting::Sounds, true);
    WriteFlag(Setting::ExitPrompt, false);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kEwa, "Sounds"), 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kEwa, "ExitPrompt"), 0);

    // The rules by the table: exactly these three flags are on unless 0.
    std::set<std::string_view> onUnless0;
    for (const SettingInfo& info : AllSettings())
        if (info.type == SettingType::FlagOnUnless0)
            onUnless0.insert(info.name);
    EXPECT_EQ(onUnless0, (std::set<std::string_view> { "ExitPrompt", "ShowHint", "StartupTip" }));
}

TEST_F(Settings, EveryAccessFollowsTheCurrentUser)
{
    logIn("Ewa");
    WriteFlag(Setting::ExitPrompt, false);
    WriteInteger(Setting::TabOrder, 3);
    WritePlacement("HelpForm", PlacementEdge::Height, 426);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kEwa, "ExitPrompt"), 0);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\Ewa\\Placement", "HelpFormHeight"), 426);

    // Another process logs Jan in: the next access sees him, nothing is cached.
    logIn("Jan");
    EXPECT_TRUE(ReadFlag(Setting::ExitPrompt));
    EXPECT_EQ(ReadInteger(Setting::TabOrder), 1);
    EXPECT_EQ(ReadPlacement("HelpForm", PlacementEdge::Height), -1);
    WriteInteger(Setting::TabOrder, 2);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kJan, "TabOrder"), 2);

    SetCurrentUserName("Ewa");
    EXPECT_EQ(CurrentUserName(), "Ewa");
    EXPECT_FALSE(ReadFlag(Setting::ExitPrompt));
    EXPECT_EQ(ReadInteger(Setting::TabOrder), 3);
    EXPECT_EQ(ReadPlacement("HelpForm", PlacementEdge::Height), 426);
    // An explicit account does not depend on User.
    EXPECT_EQ(ReadInteger(Setting::TabOrder, "Jan"), 2);
}

TEST_F(Settings, WhileNobodyIsLoggedInNoProfileValueLandsAmongTheRootValues)
{
    logIn("");
    WriteInteger(Setting::DetailsOrder, 3);
    WriteFlag(Setting::StartupTip, false);
    WritePlacement("MenuForm", PlacementEdge::Left, 5);
    WriteNote(26, "tekst");
    WriteFindKeywords(std::vector<std::string> { "żelazo" });
    RewriteTools(std::vector<ToolEntry> { { "&Notatnik", "gedit" } }, "");
    WriteRegInteger(Hive::CurrentUser, kRoot, "TabOrder", 3); // as an older build left it
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, kRoot), ElementsAre("User", "TabOrder"));
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, kRoot), IsEmpty());
    EXPECT_EQ(ReadInteger(Setting::TabOrder), 1); // never read from the root key
    EXPECT_TRUE(ReadFlag(Setting::StartupTip));

    // The root values themselves are reached without an account.
    WriteInteger(Setting::RunCount, 7);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, kRoot, "RunCount"), 7);
    // Deleting the empty account deletes nothing.
    DeleteAccount("");
    EXPECT_TRUE(RegKeyExists(Hive::CurrentUser, kRoot));
}

TEST_F(Settings, PlacementNamesComeFromTheWindowAndViewerNames)
{
    EXPECT_EQ(PlacementValueName(PlacedWindowName(PlacedWindow::ElementForm), PlacementEdge::Height),
        "ElementFormHeight");
    EXPECT_EQ(ViewerValueName(Viewer::Dict, ViewerValue::LinkColor), "DictLinkColor");
    EXPECT_EQ(SplitterValueName(Splitter::Tables), "TablesFormSeparator");
    EXPECT_EQ(TestListColumnValueName(TestListColumn::Description), "TestListDescriptionWidth");

    const std::vector<std::string> names = AllPlacementValueNames();
    // Ten fixed-size windows keep two values, eight resizable ones four;
    // three splitters, five columns, five viewers with five values each.
    EXPECT_EQ(names.size(), 10u * 2 + 8u * 4 + 3 + 5 + 5 * 5);
    EXPECT_NE(std::find(names.begin(), names.end(), "PropertyTableFormHeight"), names.end());
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    EXPECT_NE(std::find(names.begin(), names.end(), "UnitsFormTop"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "UnitsFormWidth"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "MenuFormWidth"), names.end());
    for (const PlacedWindowInfo& window : PlacedWindows())
        EXPECT_EQ(PlacedWindowName(window.window), window.name);

    logIn("Ewa");
    WriteViewerInteger(Viewer::Help, ViewerValue::FontSize, 12);
    WriteViewerFontName(Viewer::Help, "Verdana");
    WriteSplitter(Splitter::Dict, 180);
    WriteTestListColumnWidth(TestListColumn::Count, 40);
    EXPECT_THAT(RegValueNames(Hive::CurrentUser, "Software\\Orbita\\Ewa\\Placement"),
        ElementsAre("HelpFontSize", "HelpFontName", "DictFormSeparator", "TestListCountWidth"));
    EXPECT_TRUE(IsViewerValueStored(Viewer::Help, ViewerValue::FontSize));
    EXPECT_FALSE(IsViewerValueStored(Viewer::Help, ViewerValue::BackgroundColor));
    EXPECT_EQ(ReadViewerInteger(Viewer::Help, ViewerValue::FontSize), 12);
    EXPECT_EQ(ReadViewerFontName(Viewer::Help), "Verdana");
    EXPECT_EQ(ReadSplitter(Splitter::Dict), 180);
    EXPECT_EQ(ReadSplitter(Splitter::Help), -1);
    EXPECT_EQ(ReadTestListColumnWidth(TestListColumn::Count), 40);
}

TEST_F(Settings, ToolsAreEnumeratedInOrderAndRewrittenWhole)
{
    logIn("Ewa");
    RewriteTools(std::vector<ToolEntry> { { "&Zeta", "z" }, { "&Alfa", "a" }, { "&Beta", "b" } }, "Ewa");
    EXPECT_THAT(ToolCaptions(), ElementsAre("&Zeta", "&Alfa", "&Beta"));
    EXPECT_EQ(ReadToolCommand("&Alfa"), "a");

    RewriteTools(std::vector<ToolEntry> { { "&Beta", "b2" } }, "Ewa");
    const std::vector<ToolEntry> tools = ReadTools("Ewa");
    ASSERT_EQ(tools.size(), 1u);
    EXPECT_EQ(tools[0].caption, "&Beta");
    EXPECT_EQ(tools[0].command, "b2");
    EXPECT_EQ(ReadToolCommand("&Zeta"), "");

    RewriteTools({}, "Ewa");
    EXPECT_THAT(ToolCaptions(), IsEmpty());
    EXPECT_THAT(ReadTools("Jan"), IsEmpty());
}

TEST_F(Settings, NotesAreScrambledAndAnEmptyNoteRemovesItsValue)
{
    logIn("Ewa");
    const std::string text = std::string("Fe") + kNoteLineSeparator
        + "\xBF"
          "elazo"; // "żelazo" in Windows-1250
    WriteNote(26, text);
    const char* const notes = "Software\\Orbita\\Ewa\\Notes";
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, notes, "26"), ScrambleText(kNoteScrambleKey, text));
    EXPECT_EQ(ReadNote(26), text);
    EXPECT_EQ(ReadNote(27), "");

    WriteNote(26, "");
    EXPECT_FALSE(ReadRegValue(Hive::CurrentUser, notes, "26").has_value());
    EXPECT_EQ(ReadNote(26), "");
}

TEST_F(Settings, FindKeywordsStopAtTheFirstGapAndAShorterListEndsThere)
{
    logIn("Ewa");
    WriteFindKeywords(std::vector<std::string> { "sód", "wodór", "tlen" });
    EXPECT_THAT(ReadFindKeywords(), ElementsAre("sód", "wodór", "tlen"));
    WriteFindKeywords(std::vector<std::string> { "hel" });
    // "2" is still stored, but the list ends at the deleted "1".
    EXPECT_THAT(ReadFindKeywords(), ElementsAre("hel"));
    WriteRegString(Hive::CurrentUser, "Software\\Orbita\\Ewa\\FindKeywords", "1", "");
    WriteRegString(Hive::CurrentUser, "Software\\Orbita\\Ewa\\FindKeywords", "2", "neon");
    EXPECT_THAT(ReadFindKeywords(), ElementsAre("hel"));
}

TEST_F(Settings, AccountsAreTheSubKeysAndDeletionTakesEverySubKey)
{
    WriteString(Setting::InstallPath, "/opt/Orbita");
    WriteInteger(Setting::RunCount, 4);
    CreateAccount(kAdministratorAccount);
    CreateAccount("Ewa");
    logIn("Ewa");
    EXPECT_THAT(AccountNames(), ElementsAre("Administrator", "Ewa"));

    WriteFlag(Setting::Sounds, true);
    WritePlacement("TipForm", PlacementEdge::Left, 1);
    WriteNote(1, "H");
    WriteFindKeywords(std::vector<std::string> { "hel" });
    RewriteTools(std::vector<ToolEntry> { { "&Kalkulator", "gnome-calculator" } }, "Ewa");
    std::vector<std::string> subKeys;
    for (const ProfileSubKey subKey : kProfileSubKeys)
        subKeys.emplace_back(ProfileSubKeyName(subKey));
    EXPECT_THAT(RegSubKeyNames(Hive::CurrentUser, kEwa), ::testing::UnorderedElementsAreArray(subKeys));

    DeleteAccount("Ewa");
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, kEwa));
    EXPECT_THAT(AccountNames(), ElementsAre("Administrator"));
    EXPECT_EQ(ReadString(Setting::InstallPath), "/opt/Orbita");

    DeleteAllSettings();
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, kRoot));
}

TEST_F(Settings, PasswordsAndTheUninstallEntryLiveWhereTheirScopeSays)
{
    WriteString(Setting::Password, "abcd", kAdministratorAccount);
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, "Software\\Orbita\\Administrator", "Password"), "abcd");
    EXPECT_TRUE(IsStored(Setting::Password, kAdministratorAccount));
    DeleteSetting(Setting::Password, kAdministratorAccount);
    EXPECT_FALSE(IsStored(Setting::Password, kAdministratorAccount));

    const char* const entry = "Software\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\Orbita";
    WriteString(Setting::DisplayName, "Orbita 3.51");
    EXPECT_EQ(ReadRegString(Hive::LocalMachine, entry, "DisplayName"), "Orbita 3.51");
    DeleteUninstallEntry();
    EXPECT_FALSE(RegKeyExists(Hive::LocalMachine, entry));

    WriteRegString(Hive::CurrentUser, "Software\\Halden Soft\\Orbita", "RunCount", "12");
    EXPECT_EQ(ReadString(Setting::OlderRunCount), "12");
    EXPECT_EQ(ReadInteger(Setting::RunCount), -1); // a different value of the same name
    EXPECT_EQ(RetiredKeys().front().path, OlderGenerationKeyPath());
    EXPECT_EQ(RootKeyFullName(), "HKEY_CURRENT_USER\\Software\\Orbita");
}

TEST_F(Settings, UpdateServiceBaseTakesTheVariableThenTheStoreThenTheBuildDefault)
{
    ::unsetenv("ORBITA_UPDATE_URL");
    const std::string built = UpdateServiceBase();
    EXPECT_EQ(built, Describe(Setting::UpdateServer).defaultText);
    EXPECT_FALSE(built.empty());

    WriteRegString(Hive::LocalMachine, kRoot, "UpdateServer", "http://127.0.0.1:8080/base");
    EXPECT_EQ(UpdateServiceBase(), "http://127.0.0.1:8080/base");
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, kRoot, "UpdateServer"), ""); // the machine's value

    ::setenv("ORBITA_UPDATE_URL", "http://127.0.0.1:9/x", 1);
    EXPECT_EQ(UpdateServiceBase(), "http://127.0.0.1:9/x");
    ::setenv("ORBITA_UPDATE_URL", "", 1);
    EXPECT_EQ(UpdateServiceBase(), "http://127.0.0.1:8080/base");
    ::unsetenv("ORBITA_UPDATE_URL");
}

TEST(SettingsTable, RowsFollowTheEnumAndNamesAreUniquePerKey)
{
    std::set<std::pair<SettingScope, std::string_view>> seen;
    for (std::size_t i = 0; i < AllSettings().size(); ++i) {
        const SettingInfo& info = AllSettings()[i];
        EXPECT_EQ(static_cast<std::size_t>(info.setting), i);
        EXPECT_EQ(&Describe(info.setting), &info);
        EXPECT_FALSE(info.meaning.empty()) << info.name;
        const SettingScope key = info.scope == SettingScope::Machine ? SettingScope::Root : info.scope;
        EXPECT_TRUE(seen.insert({ key, info.name }).second) << info.name;
    }
}

// Every source file of the program outside the table.
std::vector<std::filesystem::path> programSources()
{
    const std::filesystem::path root = ORBITA_SOURCE_DIR;
    std::vector<std::filesystem::path> files;
    for (const char* folder :
        { "app", "core", "data", "htmlview", "platform", "skin", "tools", "widgets", "windows" }) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
            const std::filesystem::path& path = entry.path();
            const std::string extension = path.extension().string();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h"))
                continue;
            if (path.parent_path().filename() == "core" && path.stem() == "settings")
                continue;
            files.push_back(path);
        }
    }
    return files;
}

// No key path and no value name of the store is spelled as a string literal
// outside core/settings: every read and write goes through the table.
TEST(SettingsTable, NoSettingsKeyIsSpelledOutsideTheTable)
{
    std::vector<std::string> literals = { "\"Software\\\\" };
    auto quoted = [&](std::string_view name) { literals.push_back("\"" + std::string(name) + "\""); };
    for (const SettingInfo& info : AllSettings())
        quoted(info.name);
    for (const ProfileSubKey subKey : kProfileSubKeys)
        quoted(ProfileSubKeyName(subKey));
    for (const std::string& name : AllPlacementValueNames())
        quoted(name);
    for (const char* suffix : { "BackgroundColor", "FontColor", "LinkColor", "FontSize", "FontName" })
        quoted(suffix);
    quoted(kAdministratorAccount);

    const std::vector<std::filesystem::path> files = programSources();
    ASSERT_GT(files.size(), 100u); // the tree was found
    std::vector<std::string> found;
    for (const std::filesystem::path& path : files) {
        std::ifstream in(path);
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            if (line.find_first_not_of(' ') != std::string::npos
                && line.compare(line.find_first_not_of(' '), 2, "//") == 0)
                continue; // a comment may show the layout
            for (const std::string& literal : literals)
                if (line.find(literal) != std::string::npos)
                    found.push_back(path.string() + ":" + std::to_string(number) + ": " + literal);
        }
    }
    EXPECT_THAT(found, IsEmpty());
}

} // namespace
} // namespace orbita
