// The installer's steps, folder checks, the installation into a temporary
// folder with its store writes, and the partial and full removal.

#include "core/password_hash.h"
#include "core/registry.h"
#include "core/settings.h"
#include "tests/core/registry_test_support.h"
#include "windows/settings/settings_logic.h"
#include "windows/setup/install_logic.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace orbita {
namespace {

namespace fs = std::filesystem;
using Step = InstallStep;

TEST(InstallSteps, ModeAndAccessPagesArePassedOverBothWaysOnlyWhenTheAdministratorHasAPassword)
{
    // Forwards without a password: every page in turn.
    Step step = Step::Welcome;
    std::vector<Step> walked { step };
    while (step != Step::Done) {
        step = NextInstallStep(step, false);
        walked.push_back(step);
    }
    EXPECT_EQ(walked.size(), static_cast<std::size_t>(kInstallStepCount));

    EXPECT_EQ(NextInstallStep(Step::Shortcuts, true), Step::Ready);
    EXPECT_EQ(NextInstallStep(Step::Shortcuts, false), Step::Mode);
    EXPECT_EQ(PreviousInstallStep(Step::Ready, true), Step::Shortcuts);
    EXPECT_EQ(PreviousInstallStep(Step::Ready, false), Step::Access);
    EXPECT_EQ(PreviousInstallStep(Step::Licence, false), Step::Welcome);
    // Nothing leads back out of the copy or the last page, or before the first.
    EXPECT_EQ(PreviousInstallStep(Step::Progress, false), Step::Progress);
    EXPECT_EQ(PreviousInstallStep(Step::Done, false), Step::Done);
    EXPECT_EQ(PreviousInstallStep(Step::Welcome, false), Step::Welcome);
    EXPECT_EQ(NextInstallStep(Step::Done, false), Step::Done);
}

TEST(InstallSteps, PasswordBoxesMustAgreeOnlyWhenProtectionIsChosen)
{
    EXPECT_TRUE(PasswordBoxesAgree(false, "a", "b"));
    EXPECT_FALSE(PasswordBoxesAgree(true, "a", "b"));
    EXPECT_FALSE(PasswordBoxesAgree(true, "Hasło", "hasło"));
    EXPECT_TRUE(PasswordBoxesAgree(true, "", ""));
    EXPECT_TRUE(PasswordBoxesAgree(true, "Hasło", "Hasło"));
}

TEST(InstallFolder, ProgramFilesDirIsOptForRootAndTheUsersDataFolderOtherwise)
{
    EXPECT_EQ(ProgramFilesDir(true, "/home/a/.data", "/home/a"), "/opt");
    EXPECT_EQ(ProgramFilesDir(false, "/home/a/.data", "/home/a"), "/home/a/.data");
    // A relative XDG_DATA_HOME is ignored, as the base directory rules say.
    EXPECT_EQ(ProgramFilesDir(false, "data", "/home/a"), "/home/a/.local/share");
    EXPECT_EQ(ProgramFilesDir(false, nullptr, "/home/a"), "/home/a/.local/share");
}

TEST(InstallFolder, AnOlderGenerationsFolderWinsOverAnEarlierInstallation)
{
    const FolderProposal fresh = ProposeInstallFolder("", "", "/home/a/.local/share");
    EXPECT_EQ(fresh.folder, "/home/a/.local/share/Orbita");
    EXPECT_EQ(fresh.warning, "");

    const FolderProposal again = ProposeInstallFolder("/srv/Orbita", "", "/opt");
    EXPECT_EQ(again.folder, "/srv/Orbita");
    EXPECT_EQ(again.warning.rfind("Aplikacja była już instalowana na tym komputerze.", 0), 0u);

    const FolderProposal older = ProposeInstallFolder("/srv/Orbita", "/srv/Stara", "/opt");
    EXPECT_EQ(older.folder, "/srv/Stara");
    EXPECT_EQ(older.warning.rfind("Wykryto starszą wersję programu.", 0), 0u);

    EXPECT_EQ(FolderFromBrowsing("/home/a/Programy/"), "/home/a/Programy/Orbita");
    EXPECT_EQ(FolderFromBrowsing("/"), "/Orbita");
}

class InstallTest : public test::TempRegistry {
protected:
    void SetUp() override
    {
        TempRegistry::SetUp();
        m_source = root() + "/source";
        m_target = root() + "/target/Orbita";
        fs::create_directories(m_source + "/KARNACJE");
        fs::create_directories(m_source + "/TESTY");
        write(m_source + "/orbita", "program ORBITA-FILEVERSION:3.5.1.0");
        fs::permissions(m_source + "/orbita", fs::perms::owner_all);
        write(m_source + "/ORBITA.DAT", "archive");
        write(m_source + "/OTWORZ.WAV", "open");
        write(m_source + "/INTRO.WAV", "intro");
        write(m_source + "/FAKTURA.BMP", "bmp");
        write(m_source + "/orbita.png", "png");
        write(m_source + "/KARNACJE/Niebieski.obs", "skin");
        write(m_source + "/TESTY/Test1.obt", "test");
        write(m_source + "/TESTY/notes.txt", "not a test");
    }

    static void write(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static bool exists(const std::string& path)
    {
        std::error_code error;
        return fs::exists(fs::symlink_status(path, error));
    }

    struct RecordingIntegration : DesktopIntegration {
        bool Exists(IntegrationItem) const override { return false; }
        std::vector<std::string> Create(IntegrationItem item) override
        {
            calls.push_back("create " + std::to_string(static_cast<int>(item)));
            if (failCreate)
                return { "Nie można zapisać skrótu „x”." };
            return {};
        }
        std::vector<std::string> Remove(IntegrationItem item) override
        {
            calls.push_back("remove " + std::to_string(static_cast<int>(item)));
            return {};
        }
        std::vector<std::string> calls;
        bool failCreate = false;
    };

    InstallChoices choices() const
    {
        InstallChoices c;
        c.sourceFolder = m_source;
        c.sourceExecutable = m_source + "/orbita";
        c.targetFolder = m_target;
        c.version = "3.5.1.0";
        return c;
    }
    InstallServices services()
    {
        return { &m_integration, [](std::string_view name) {
                    return name == "gedit" ? std::string("/usr/bin/gedit") : std::string();
                } };
    }

    std::string m_source;
    std::string m_target;
    RecordingIntegration m_integration;
};

TEST_F(InstallTest, AFirstInstallationCopiesTheProgramAndWritesEverySetting)
{
    InstallChoices c = choices();
    c.desktopShortcut = true;
    c.compactMode = true;
    c.protect = true;
    c.password = "Tajne1";
    Installation install(c, services());
    int progress = 0;
    while (!install.Finished())
        progress += install.RunNextAction();
    EXPECT_EQ(progress, 103);
    EXPECT_TRUE(install.Complete()) << (install.Problems().empty() ? "" : install.Problems().front());

    EXPECT_EQ(read(m_target + "/orbita"), "program ORBITA-FILEVERSION:3.5.1.0");
    EXPECT_TRUE(::access((m_target + "/orbita").c_str(), X_OK) == 0);
    EXPECT_EQ(read(m_target + "/ORBITA.DAT"), "archive");
    EXPECT_EQ(read(m_target + "/INTRO.WAV"), "intro");
    EXPECT_EQ(read(m_target + "/orbita.png"), "png");
    EXPECT_EQ(read(m_target + "/KARNACJE/Niebieski.obs"), "skin");
    EXPECT_EQ(read(m_target + "/TESTY/Test1.obt"), "test");
    EXPECT_FALSE(exists(m_target + "/TESTY/notes.txt"));
    EXPECT_FALSE(exists(m_target + "/ZAMKNIJ.WAV")) << "a file the source lacks is skipped";

    const std::string manifest = read(m_target + "/INSTALACJA.LST");
    for (const char* entry : { "\norbita\n", "\nORBITA.DAT\n", "\nINTRO.WAV\n", "\nKARNACJE/\n",
             "\nKARNACJE/Niebieski.obs\n", "\nTESTY/Test1.obt\n", "\norbita.png\n" })
        EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
    EXPECT_EQ(manifest.find("ZAMKNIJ"), std::string::npos);

    // The program group made anew, the desktop shortcut added, no menu one.
    EXPECT_EQ(m_integration.calls, (std::vector<std::string> { "remove 0", "create 0", "create 1" }));

    const std::string admin(kAdministratorAccount);
    EXPECT_EQ(ReadString(Setting::InstallPath), m_target);
    EXPECT_EQ(ReadInteger(Setting::StartupMode, admin), 1);
    EXPECT_EQ(CheckPassword(ReadString(Setting::Password, admin), "Tajne1"), PasswordCheck::Match);
    EXPECT_TRUE(IsPasswordHash(ReadString(Setting::Password, admin)));
    EXPECT_EQ(ReadInteger(Setting::Sounds, admin), 1);
    EXPECT_EQ(ReadString(Setting::IntroSound, admin), m_target + "/INTRO.WAV");
    EXPECT_EQ(ReadString(Setting::BackgroundPath, admin), m_target + "/FAKTURA.BMP");
    EXPECT_EQ(ReadInteger(Setting::SaveWindowsPlacement, admin), 0);
    const std::vector<ToolEntry> tools = ReadTools(admin);
    ASSERT_EQ(tools.size(), 1u);
    EXPECT_EQ(tools[0].caption, "&Notatnik");
    EXPECT_EQ(tools[0].command, "/usr/bin/gedit");
    EXPECT_EQ(ReadString(Setting::DisplayName), "Orbita 3.51");
    EXPECT_EQ(ReadString(Setting::DisplayVersion), "3.51");
    EXPECT_EQ(ReadString(Setting::UninstallString), m_target + "/orbita /UNINSTALL");
    EXPECT_FALSE(ReadString(Setting::Publisher).empty());
}

TEST_F(InstallTest, AReinstallationKeepsTheUsersSettingsSkinsAndTools)
{
    Installation(choices(), services()).RunAll();
    const std::string admin(kAdministratorAccount);
    WriteInteger(Setting::Sounds, 0, admin);
    WriteString(Setting::IntroSound, "/home/a/moje.wav", admin);
    WriteInteger(Setting::UseBackground, 0, admin);
    const std::string hash = *HashPassword("stare");
    WriteString(Setting::Password, hash, admin);
    RewriteTools(std::vector<ToolEntry> { { "&Mój", "/usr/bin/mine" } }, admin);
    write(m_target + "/KARNACJE/Niebieski.obs", "downloaded newer skin");

    Installation again(choices(), services()); // protection not chosen: the mode page was passed over
    again.RunAll();
    EXPECT_TRUE(again.Complete());
    EXPECT_EQ(ReadInteger(Setting::Sounds, admin), 0);
    EXPECT_EQ(ReadString(Setting::IntroSound, admin), "/home/a/moje.wav");
    EXPECT_EQ(ReadInteger(Setting::UseBackground, admin), 0);
    EXPECT_EQ(ReadString(Setting::Password, admin), hash);
    EXPECT_EQ(ReadInteger(Setting::StartupMode, admin), 0);
    ASSERT_EQ(ReadTools(admin).size(), 1u);
    EXPECT_EQ(ReadTools(admin)[0].caption, "&Mój");
    EXPECT_EQ(read(m_target + "/KARNACJE/Niebieski.obs"), "downloaded newer skin");
}

TEST_F(InstallTest, InstallingFromTheInstalledFolderLeavesEveryFileWhole)
{
    Installation(choices(), services()).RunAll();
    InstallChoices c = choices();
    c.sourceFolder = m_target;
    c.sourceExecutable = m_target + "/orbita";
    Installation fromInstalled(c, services());
    fromInstalled.RunAll();
    EXPECT_TRUE(fromInstalled.Complete()) << fromInstalled.Problems().front();
    EXPECT_EQ(read(m_target + "/orbita"), "program ORBITA-FILEVERSION:3.5.1.0");
    EXPECT_EQ(read(m_target + "/ORBITA.DAT"), "archive");
    EXPECT_EQ(read(m_target + "/INTRO.WAV"), "intro");
}

TEST_F(InstallTest, AMissingArchiveFailsTheInstallationAndNothingPointsAtIt)
{
    fs::remove(m_source + "/ORBITA.DAT");
    Installation install(choices(), services());
    install.RunAll();
    EXPECT_FALSE(install.Usable());
    EXPECT_FALSE(install.Complete());
    ASSERT_EQ(install.Problems().size(), 1u);
    EXPECT_NE(install.Problems()[0].find("ORBITA.DAT"), std::string::npos);
    EXPECT_TRUE(m_integration.calls.empty());
    EXPECT_EQ(ReadString(Setting::InstallPath), "");
    EXPECT_FALSE(RegKeyExists(Hive::LocalMachine, UninstallEntryKeyPath()));
}

TEST_F(InstallTest, ATargetThatCannotBeMadeFailsAndAFailedShortcutIsReported)
{
    write(root() + "/target", "a file where the folder should be");
    Installation blocked(choices(), services());
    blocked.RunAll();
    EXPECT_FALSE(blocked.Usable());
    EXPECT_NE(blocked.Problems().at(0).find(m_target), std::string::npos);

    fs::remove(root() + "/target");
    m_integration.failCreate = true;
    Installation install(choices(), services());
    install.RunAll();
    EXPECT_TRUE(install.Usable());
    EXPECT_FALSE(install.Complete()) << "a shortcut was not written";
    EXPECT_EQ(ReadString(Setting::InstallPath), m_target);
}

TEST_F(InstallTest, AnOlderGenerationsRunCountIsCarriedOverWhenItIsANumber)
{
    const struct {
        const char* stored;
        int expected;
    } rows[] = { { " 17 ", 17 }, { "4x", 99 }, { "", 99 }, { "99999999999", 99 } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        WriteInteger(Setting::RunCount, 99);
        WriteRegString(Hive::CurrentUser, OlderGenerationKeyPath(), "RunCount", row.stored);
        WriteRegString(Hive::CurrentUser, "AppEvents\\Schemes\\Apps\\Orbita", "x", "y");
        WriteRegString(Hive::ClassesRoot, "OBTFile", "x", "y");
        Installation(choices(), services()).RunAll();
        EXPECT_EQ(ReadInteger(Setting::RunCount), row.expected);
        EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, OlderGenerationKeyPath()));
        EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, "AppEvents\\Schemes\\Apps\\Orbita"));
        EXPECT_FALSE(RegKeyExists(Hive::ClassesRoot, "OBTFile"));
    }
    EXPECT_EQ(ParseOlderRunCount("-3"), -3);
    EXPECT_EQ(ParseOlderRunCount("+12"), 12);
    EXPECT_EQ(ParseOlderRunCount("1 2"), std::nullopt);
    EXPECT_EQ(UninstallDisplayVersion("3.10.2.7"), "3.102");
    EXPECT_EQ(UninstallDisplayVersion("—"), "");
}

TEST_F(InstallTest, FolderChecksRefuseWhatCannotBeInstalledIntoAndCreateNothing)
{
    EXPECT_TRUE(InstallFolderRefusal("Orbita").has_value());
    EXPECT_TRUE(InstallFolderRefusal("").has_value());
    EXPECT_TRUE(InstallFolderRefusal("/").has_value());
    EXPECT_TRUE(InstallFolderRefusal(root() + "/a\\b").has_value());
    const std::optional<std::string> foreign = InstallFolderRefusal(root() + "/Программа");
    ASSERT_TRUE(foreign.has_value());
    EXPECT_NE(foreign->find("Программа"), std::string::npos);
    write(root() + "/plik", "x");
    EXPECT_TRUE(InstallFolderRefusal(root() + "/plik").has_value());
    EXPECT_TRUE(InstallFolderRefusal(root() + "/plik/Orbita").has_value());

    EXPECT_EQ(InstallFolderRefusal(root() + "/nowy/głęboki/Orbita"), std::nullopt);
    EXPECT_FALSE(exists(root() + "/nowy"));
    if (::geteuid() != 0) {
        fs::create_directories(root() + "/zamkniety");
        fs::permissions(root() + "/zamkniety", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_TRUE(InstallFolderRefusal(root() + "/zamkniety/Orbita").has_value());
        fs::permissions(root() + "/zamkniety", fs::perms::owner_all);
    }
}

TEST_F(InstallTest, PartialRemovalTakesTheProgramFilesAndKeepsSkinsTestsAndTheUsersFiles)
{
    Installation(choices(), services()).RunAll();
    write(m_target + "/moje notatki.txt", "pupil");
    EXPECT_TRUE(RemoveProgramFiles(m_target).empty());
    for (const char* name :
        { "orbita", "ORBITA.DAT", "INTRO.WAV", "OTWORZ.WAV", "FAKTURA.BMP", "orbita.png" })
        EXPECT_FALSE(exists(m_target + "/" + name)) << name;
    EXPECT_TRUE(exists(m_target + "/KARNACJE/Niebieski.obs"));
    EXPECT_TRUE(exists(m_target + "/TESTY/Test1.obt"));
    EXPECT_TRUE(exists(m_target + "/moje notatki.txt"));
}

TEST_F(InstallTest, FullRemovalTakesWhatWasInstalledAndTheFolderOnlyWhenNothingElseIsLeft)
{
    Installation(choices(), services()).RunAll();
    write(m_target + "/moje notatki.txt", "pupil");
    write(m_target + "/KARNACJE/Własna.obs", "the pupil's own skin");
    EXPECT_TRUE(RemoveInstallation(m_target).empty());
    EXPECT_EQ(read(m_target + "/moje notatki.txt"), "pupil");
    EXPECT_TRUE(exists(m_target + "/KARNACJE/Własna.obs"));
    EXPECT_FALSE(exists(m_target + "/KARNACJE/Niebieski.obs"));
    EXPECT_FALSE(exists(m_target + "/TESTY")) << "emptied folder of the installation";
    EXPECT_FALSE(exists(m_target + "/orbita"));
    EXPECT_FALSE(exists(m_target + "/INSTALACJA.LST"));

    fs::remove_all(m_target);
    Installation(choices(), services()).RunAll();
    EXPECT_TRUE(RemoveInstallation(m_target).empty());
    EXPECT_FALSE(exists(m_target));
    EXPECT_TRUE(exists(root() + "/target"));
}

TEST_F(InstallTest, FullRemovalNeverFollowsAManifestOutOfTheFolder)
{
    Installation(choices(), services()).RunAll();
    fs::create_directories(root() + "/outside");
    write(root() + "/outside/keep.txt", "x");
    fs::create_directory_symlink(root() + "/outside", m_target + "/link");
    std::ofstream(m_target + "/INSTALACJA.LST", std::ios::app)
        << "../../outside/keep.txt\n"
        << root() << "/outside/keep.txt\nlink/keep.txt\nlink/\n";
    RemoveInstallation(m_target);
    EXPECT_TRUE(exists(root() + "/outside/keep.txt"));
    EXPECT_TRUE(exists(m_target + "/link"));
    EXPECT_EQ(RemovalCopyPath("/run/user/1/orbita/"), "/run/user/1/orbita/REMOVEME");
}

} // namespace
} // namespace orbita
