#include "core/cp1250.h"
#include "core/password_hash.h"
#include "core/registry.h"
#include "core/settings.h"
#include "tests/core/registry_test_support.h"
#include "windows/settings/settings_logic.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

namespace orbita {
namespace {

namespace fs = std::filesystem;

// A desktop integration that keeps its state in memory, records the calls
// and, at each call, what the store held (to see the order of the writes).
class FakeIntegration final : public DesktopIntegration {
public:
    std::map<IntegrationItem, bool> present;
    std::vector<std::string> calls;
    std::vector<std::string> failOn; // items whose writing fails, by name
    std::function<void()> onCall;

    bool Exists(IntegrationItem item) const override
    {
        auto it = present.find(item);
        return it != present.end() && it->second;
    }
    std::vector<std::string> Create(IntegrationItem item) override { return change(item, true); }
    std::vector<std::string> Remove(IntegrationItem item) override { return change(item, false); }

private:
    static std::string nameOf(IntegrationItem item)
    {
        switch (item) {
        case IntegrationItem::ProgramGroup:
            return "group";
        case IntegrationItem::DesktopShortcut:
            return "desktop";
        case IntegrationItem::MenuShortcut:
            return "menu";
        }
        return "?";
    }
    std::vector<std::string> change(IntegrationItem item, bool create)
    {
        if (onCall)
            onCall();
        calls.push_back((create ? "+" : "-") + nameOf(item));
        if (std::find(failOn.begin(), failOn.end(), nameOf(item)) != failOn.end())
            return { "Nie można zapisać pliku " + nameOf(item) };
        present[item] = create;
        return {};
    }
};

class SettingsModelTest : public test::TempRegistry {
protected:
    void SetUp() override
    {
        TempRegistry::SetUp();
        m_program = root() + "/program/";
        m_perUser = root() + "/user/";
        fs::create_directories(m_program);
        fs::create_directories(m_perUser);
        CreateAccount(kAdministratorAccount);
        SetCurrentUserName(kAdministratorAccount);
    }

    SettingsEnvironment environment(std::string account = std::string(kAdministratorAccount))
    {
        SettingsEnvironment env;
        env.account = std::move(account);
        env.programFolder = m_program;
        env.perUserFolder = m_perUser;
        env.integration = &integration;
        env.findExecutable = [](std::string_view name) -> std::string {
            if (name == "gedit" || name == "kcalc")
                return "/usr/bin/" + std::string(name);
            return {};
        };
        return env;
    }

    void touch(const std::string& path)
    {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << "x";
    }

    FakeIntegration integration;
    std::string m_program;
    std::string m_perUser;
};

const std::string kAdmin(kAdministratorAccount);

TEST_F(SettingsModelTest, LoadsEveryPageFromTheStoreAndTheFileSystemWithNoMarkAndOkDisabled)
{
    WriteInteger(Setting::StartupMode, 1, kAdmin);
    WriteInteger(Setting::SaveWindowsPlacement, 1, kAdmin);
    WriteInteger(Setting::ExitPrompt, 0, kAdmin);
    // ShowHint and StartupTip are missing: on. Sounds missing: off.
    WriteString(Setting::IntroSound, *Utf8ToCp1250("/home/ż/intro.wav"), kAdmin);
    WriteString(Setting::BackgroundPath, "/tmp/tlo.bmp", kAdmin);
    WriteInteger(Setting::UseBackground, 1, kAdmin);
    RewriteTools(std::vector<ToolEntry> { { "&Zeta", "/bin/z" }, { "&Alfa", "/bin/a" } }, kAdmin);
    integration.present[IntegrationItem::DesktopShortcut] = true;

    const SettingsModel model(environment());
    EXPECT_TRUE(model.Flag(SettingsField::CompactMode));
    EXPECT_TRUE(model.Flag(SettingsField::SavePlacement));
    EXPECT_FALSE(model.Flag(SettingsField::ExitPrompt));
    EXPECT_TRUE(model.Flag(SettingsField::ShowHint));
    EXPECT_TRUE(model.Flag(SettingsField::StartupTip));
    EXPECT_FALSE(model.Flag(SettingsField::Sounds));
    EXPECT_TRUE(model.Flag(SettingsField::UseBackground));
    EXPECT_EQ(model.Text(SettingsField::IntroSound), "/home/ż/intro.wav");
    EXPECT_EQ(model.Text(SettingsField::BackgroundPath), "/tmp/tlo.bmp");
    EXPECT_EQ(model.Text(SettingsField::OpenSound), "");
    EXPECT_FALSE(model.Flag(SettingsField::ProgramGroup));
    EXPECT_TRUE(model.Flag(SettingsField::DesktopShortcut));
    // Tools in the store's order, not sorted.
    ASSERT_EQ(model.Tools().size(), 2u);
    EXPECT_EQ(model.Tools()[0], (SettingsTool { "&Zeta", "/bin/z" }));
    EXPECT_EQ(model.Tools()[1], (SettingsTool { "&Alfa", "/bin/a" }));
    EXPECT_FALSE(model.SkinsAvailable());
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i)
        EXPECT_FALSE(model.IsChanged(static_cast<SettingsField>(i))) << i;
    EXPECT_FALSE(model.ConfirmEnabled());
    // The Administrator manages the accounts; the password boxes start empty
    // without a password.
    EXPECT_TRUE(model.IsAdministrator());
    EXPECT_EQ(model.Passwords().password, "");
}

TEST_F(SettingsModelTest, SkinsComeFromBothFoldersAndAreStoredUnderTheirRealFileName)
{
    touch(m_program + "KARNACJE/Niebieski.obs");
    touch(m_program + "KARNACJE/Zima.nowa.OBS");
    touch(m_program + "KARNACJE/readme.txt");
    touch(m_program + "KARNACJE/Lato.obs");
    touch(m_perUser + "KARNACJE/lato.obs"); // the per-user copy wins
    touch(m_perUser + "KARNACJE/Alfa.obs");
    WriteString(Setting::SkinFile, "Zima.nowa.OBS", kAdmin);
    WriteInteger(Setting::UseSkin, 1, kAdmin);

    SettingsModel model(environment());
    ASSERT_TRUE(model.SkinsAvailable());
    std::vector<std::string> shown;
    for (const SkinEntry& skin : model.Skins())
        shown.push_back(skin.display + "|" + skin.fileName);
    EXPECT_EQ(shown,
        (std::vector<std::string> {
            "Alfa|Alfa.obs", "lato|lato.obs", "Niebieski|Niebieski.obs", "Zima|Zima.nowa.OBS" }));
    EXPECT_EQ(model.Skins()[1].path, m_perUser + "KARNACJE/lato.obs");
    ASSERT_TRUE(model.SelectedSkin());
    EXPECT_EQ(*model.SelectedSkin(), 3u);
    EXPECT_TRUE(model.Flag(SettingsField::UseSkin));

    // Choosing the several-dot skin again stores the name of a file that exists.
    model.SelectSkin(2);
    model.SelectSkin(3);
    ASSERT_FALSE(model.Commit().refusal);
    EXPECT_EQ(ReadString(Setting::SkinFile, kAdmin), "Zima.nowa.OBS");

    // A value stored by an older version (the text before the first dot)
    // still selects its entry.
    WriteString(Setting::SkinFile, "Niebieski", kAdmin);
    EXPECT_EQ(SettingsModel(environment()).SelectedSkin(), std::optional<std::size_t>(2));
}

TEST_F(SettingsModelTest, OkWritesOnlyTheMarkedValues)
{
    WriteInteger(Setting::StartupTip, 5, kAdmin); // on, in a form OK must not rewrite
    SettingsModel model(environment());
    model.SetFlag(SettingsField::ExitPrompt, false);
    model.SetText(SettingsField::OpenSound, "/snd/open.wav");
    // Changed and changed back: the mark stays, the value is written.
    model.SetFlag(SettingsField::ShowHint, false);
    model.SetFlag(SettingsField::ShowHint, true);
    EXPECT_TRUE(model.IsChanged(SettingsField::ExitPrompt));
    EXPECT_FALSE(model.IsChanged(SettingsField::StartupTip));
    EXPECT_TRUE(model.ConfirmEnabled());

    ASSERT_FALSE(model.Commit().refusal);
    EXPECT_EQ(ReadInteger(Setting::ExitPrompt, kAdmin), 0);
    EXPECT_EQ(ReadInteger(Setting::ShowHint, kAdmin), 1);
    EXPECT_EQ(ReadString(Setting::WindowOpenSound, kAdmin), "/snd/open.wav");
    EXPECT_EQ(ReadInteger(Setting::StartupTip, kAdmin), 5);
    for (Setting untouched : { Setting::StartupMode, Setting::SaveWindowsPlacement, Setting::Sounds,
             Setting::IntroSound, Setting::WindowCloseSound, Setting::UseBackground, Setting::BackgroundPath,
             Setting::UseSkin, Setting::SkinFile, Setting::Password, Setting::SetupTab })
        EXPECT_FALSE(IsStored(untouched, kAdmin)) << Describe(untouched).name;
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, ProfileSubKeyPath(ProfileSubKey::Tools, kAdmin)));
    EXPECT_TRUE(integration.calls.empty());
    EXPECT_EQ(AccountNames(), std::vector<std::string> { kAdmin });
}

TEST_F(SettingsModelTest, DefaultsMarkEveryBoxAndEnableOkOnlyWhenSomethingChanged)
{
    touch(m_program + "INTRO.WAV");
    touch(m_program + "ZAMKNIJ.WAV");
    touch(m_program + "FAKTURA.BMP");
    touch(m_program + "KARNACJE/Niebieski.obs");
    WriteInteger(Setting::StartupMode, 1, kAdmin);
    WriteInteger(Setting::UseSkin, 1, kAdmin);
    WriteString(Setting::SkinFile, "Niebieski.obs", kAdmin);
    WriteString(Setting::WindowOpenSound, "/mine/open.wav", kAdmin);
    RewriteTools(std::vector<ToolEntry> { { "Moje", "/bin/moje" } }, kAdmin);

    SettingsModel model(environment());
    model.ApplyDefaults();
    EXPECT_TRUE(model.ConfirmEnabled());
    EXPECT_FALSE(model.Flag(SettingsField::CompactMode));
    EXPECT_FALSE(model.Flag(SettingsField::SavePlacement));
    EXPECT_TRUE(model.Flag(SettingsField::ExitPrompt));
    EXPECT_TRUE(model.Flag(SettingsField::ProgramGroup));
    EXPECT_FALSE(model.Flag(SettingsField::DesktopShortcut));
    EXPECT_FALSE(model.Flag(SettingsField::UseSkin));
    EXPECT_TRUE(model.Flag(SettingsField::Sounds));
    EXPECT_TRUE(model.Flag(SettingsField::UseBackground));
    EXPECT_EQ(model.Text(SettingsField::IntroSound), m_program + "INTRO.WAV");
    EXPECT_EQ(model.Text(SettingsField::OpenSound), "/mine/open.wav"); // OTWORZ.WAV is missing
    EXPECT_EQ(model.Text(SettingsField::CloseSound), m_program + "ZAMKNIJ.WAV");
    EXPECT_EQ(model.Text(SettingsField::BackgroundPath), m_program + "FAKTURA.BMP");
    EXPECT_EQ(model.Tools(),
        (std::vector<SettingsTool> {
            { "&Notatnik", "/usr/bin/gedit" }, { "&Kalkulator", "/usr/bin/kcalc" } }));
    EXPECT_FALSE(model.IsChanged(SettingsField::Skin));
    EXPECT_EQ(model.SelectedSkin(), std::optional<std::size_t>(0));

    ASSERT_FALSE(model.Commit().refusal);
    EXPECT_EQ(ReadInteger(Setting::StartupMode, kAdmin), 0);
    EXPECT_EQ(ReadInteger(Setting::UseSkin, kAdmin), 0);
    EXPECT_EQ(ReadString(Setting::SkinFile, kAdmin), "Niebieski.obs");
    EXPECT_EQ(ReadString(Setting::WindowOpenSound, kAdmin), "/mine/open.wav");
    EXPECT_EQ(ReadTools(kAdmin).size(), 2u);
    EXPECT_EQ(integration.calls, (std::vector<std::string> { "+group", "-desktop", "-menu" }));

    // Again on the profile now at its defaults: nothing changes, OK stays off.
    SettingsModel again(environment());
    again.ApplyDefaults();
    EXPECT_FALSE(again.ConfirmEnabled());
    EXPECT_TRUE(again.IsChanged(SettingsField::ExitPrompt));
}

TEST_F(SettingsModelTest, OkWritesInItsOrderAndOneFailedShortcutDoesNotStopTheRest)
{
    SettingsModel model(environment());
    model.SetFlag(SettingsField::CompactMode, true);
    model.SetFlag(SettingsField::Sounds, true);
    model.SetText(SettingsField::BackgroundPath, "/tlo.bmp");
    model.SetFlag(SettingsField::ProgramGroup, true);
    model.SetFlag(SettingsField::DesktopShortcut, true);
    model.SetFlag(SettingsField::MenuShortcut, true);
    ASSERT_FALSE(model.AddTool("&Edytor", "/usr/bin/Edytor"));
    ASSERT_FALSE(model.CreateAccount("Ania"));
    integration.failOn = { "desktop" };
    // When the shortcuts are written the values before them are stored and
    // the tools and accounts after them are not.
    std::vector<std::string> seen;
    integration.onCall = [&] {
        seen.push_back(std::to_string(ReadInteger(Setting::StartupMode, kAdmin)) + ","
            + std::to_string(ReadInteger(Setting::Sounds, kAdmin)) + ","
            + ReadString(Setting::BackgroundPath, kAdmin) + "," + std::to_string(ReadTools(kAdmin).size())
            + "," + std::to_string(AccountNames().size()));
    };

    const auto result = model.Commit();
    ASSERT_FALSE(result.refusal);
    EXPECT_EQ(seen, std::vector<std::string>(3, "1,1,/tlo.bmp,0,1"));
    EXPECT_EQ(integration.calls, (std::vector<std::string> { "+group", "+desktop", "+menu" }));
    EXPECT_EQ(result.failures, std::vector<std::string> { "Nie można zapisać pliku desktop" });
    EXPECT_TRUE(integration.Exists(IntegrationItem::MenuShortcut));
    ASSERT_EQ(ReadTools(kAdmin).size(), 1u);
    EXPECT_EQ(ReadTools(kAdmin)[0].command, "/usr/bin/Edytor"); // the path's case is kept
    EXPECT_EQ(AccountNames(), (std::vector<std::string> { kAdmin, "Ania" }));
}

TEST_F(SettingsModelTest, TheModeQuestionComesOnlyForASkinInCompactMode)
{
    touch(m_program + "KARNACJE/Zima.nowa.obs");
    WriteInteger(Setting::StartupMode, 1, kAdmin);
    {
        SettingsModel model(environment());
        EXPECT_FALSE(model.NeedsModeQuestion());
        model.SetFlag(SettingsField::UseSkin, true);
        model.SelectSkin(0);
        ASSERT_TRUE(model.NeedsModeQuestion());
        model.AnswerModeQuestion(false);
        ASSERT_FALSE(model.Commit().refusal);
        EXPECT_EQ(ReadInteger(Setting::StartupMode, kAdmin), 1);
        EXPECT_EQ(ReadInteger(Setting::UseSkin, kAdmin), 1);
        EXPECT_EQ(ReadString(Setting::SkinFile, kAdmin), "Zima.nowa.obs");
    }
    SettingsModel model(environment());
    ASSERT_TRUE(model.NeedsModeQuestion()); // asked at every OK while both hold
    model.AnswerModeQuestion(true);
    EXPECT_TRUE(model.IsChanged(SettingsField::CompactMode));
    ASSERT_FALSE(model.Commit().refusal);
    EXPECT_EQ(ReadInteger(Setting::StartupMode, kAdmin), 0);
    // Without KARNACJE there is no skin to ask about.
    fs::remove_all(m_program + "KARNACJE");
    WriteInteger(Setting::StartupMode, 1, kAdmin);
    EXPECT_FALSE(SettingsModel(environment()).NeedsModeQuestion());
}

TEST_F(SettingsModelTest, ToolsOfOneNameAndTextsTheStoreCannotHoldAreRefused)
{
    SettingsModel model(environment());
    ASSERT_FALSE(model.AddTool("&Łódź", "/bin/lodz"));
    for (const char* same : { "&Łódź", "&łÓDŹ", "&ŁÓDŹ" }) {
        const auto refusal = model.AddTool(same, "/bin/inny");
        ASSERT_TRUE(refusal) << same;
        EXPECT_EQ(refusal->caption, "Narzędzie już istnieje");
        EXPECT_NE(refusal->text.find("„&Łódź”"), std::string::npos);
    }
    EXPECT_FALSE(model.AddTool("&Lodz", "/bin/inny")); // not the same letters
    const auto refusal = model.AddTool("Mandarynka", "/opt/柑橘/run");
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->caption, "Nieobsługiwane znaki");
    EXPECT_NE(refusal->text.find("/opt/柑橘/run"), std::string::npos);
    EXPECT_EQ(model.Tools().size(), 2u);

    // A path the store cannot hold keeps the window open and writes nothing.
    model.SetFlag(SettingsField::Sounds, true);
    model.SetText(SettingsField::IntroSound, "/snd/柑橘.wav");
    const auto result = model.Commit();
    ASSERT_TRUE(result.refusal);
    EXPECT_NE(result.refusal->text.find("/snd/柑橘.wav"), std::string::npos);
    EXPECT_FALSE(IsStored(Setting::Sounds, kAdmin));
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, ProfileSubKeyPath(ProfileSubKey::Tools, kAdmin)));

    model.DeleteTool(0);
    model.SetText(SettingsField::IntroSound, "/snd/intro.wav");
    ASSERT_FALSE(model.Commit().refusal);
    ASSERT_EQ(ReadTools(kAdmin).size(), 1u);
    EXPECT_EQ(ReadTools(kAdmin)[0].caption, "&Lodz");
}

TEST_F(SettingsModelTest, DifferingPasswordBoxesKeepTheWindowOpenAndWriteNothing)
{
    CreateAccount("Ania");
    SettingsModel model(environment("Ania"));
    EXPECT_FALSE(model.IsAdministrator());
    EXPECT_EQ(model.Accounts(), nullptr);
    EXPECT_FALSE(model.CreateAccount("Basia")); // no list: nothing to refuse or do
    model.SetFlag(SettingsField::ExitPrompt, false);
    model.SetPasswordBoxes("tajne", "tajnE");
    const auto result = model.Commit();
    ASSERT_TRUE(result.refusal);
    EXPECT_EQ(result.refusal->text, "Ustawiono niepoprawne hasło dostępu do konta");
    EXPECT_FALSE(IsStored(Setting::ExitPrompt, "Ania"));
    EXPECT_FALSE(IsStored(Setting::Password, "Ania"));

    model.SetPasswordBoxes("tajne", "tajne");
    ASSERT_FALSE(model.Commit().refusal);
    EXPECT_EQ(ReadInteger(Setting::ExitPrompt, "Ania"), 0);
    EXPECT_EQ(CheckPassword(ReadString(Setting::Password, "Ania"), "tajne"), PasswordCheck::Match);
    EXPECT_EQ(AccountNames(), (std::vector<std::string> { kAdmin, "Ania" }));
}

TEST_F(SettingsModelTest, DefaultToolsAreTheFirstInstalledProgramsOnThePath)
{
    const std::string bin = root() + "/bin";
    fs::create_directories(bin);
    touch(bin + "/kate"); // not executable: passed over
    touch(bin + "/mousepad");
    touch(bin + "/xcalc");
    fs::permissions(bin + "/mousepad", fs::perms::owner_exec, fs::perm_options::add);
    fs::permissions(bin + "/xcalc", fs::perms::owner_exec, fs::perm_options::add);
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    ::setenv("PATH", ("relative:" + bin + ":/nonexistent").c_str(), 1);
    const std::vector<SettingsTool> tools = DefaultTools(&FindExecutableOnPath);
    EXPECT_EQ(FindExecutableOnPath("kate"), "");
    EXPECT_EQ(FindExecutableOnPath("../bin/xcalc"), "");
    ::setenv("PATH", saved.c_str(), 1);
    // No clipboard viewer is installed: that tool is left out.
    EXPECT_EQ(tools,
        (std::vector<SettingsTool> {
            { "&Notatnik", bin + "/mousepad" }, { "&Kalkulator", bin + "/xcalc" } }));
}

TEST(SettingsTree, EightNodesInDisplayOrderWithTheirPages)
{
    std::vector<std::string> nodes;
    for (const SettingsTreeNode& node : SettingsTree())
        nodes.push_back(std::to_string(node.level) + std::string(node.text) + "=" + std::string(node.page));
    EXPECT_EQ(nodes,
        (std::vector<std::string> { "0Program=Program", "1Główne=Glowne", "1Integracja=Integracja",
            "1Dźwięki=Dzwieki", "1Karnacje=Karnacje", "0Narzędzia=Narzedzia", "0Profil=Konta",
            "0Kopia zapasowa=Kopia" }));
}

TEST(SkinInformation, TheFileNameLineThenAnEmptyLineThenTheDescription)
{
    const SkinEntry skin { "Zima", "Zima.nowa.obs", "/x/Zima.nowa.obs" };
    EXPECT_EQ(SkinInformationText(skin, {}), "Nazwa pliku: Zima.nowa.obs\n");
    const std::vector<std::string> lines { "Autor: Ala", "Zimowa" };
    EXPECT_EQ(SkinInformationText(skin, lines), "Nazwa pliku: Zima.nowa.obs\n\nAutor: Ala\nZimowa");
    // A package that cannot be read has no lines.
    EXPECT_TRUE(SkinInformationLines(skin).empty());
}

} // namespace
} // namespace orbita
