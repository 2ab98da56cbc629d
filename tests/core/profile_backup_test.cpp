#include "core/cp1250.h"
#include "core/file_io.h"
#include "core/profile_backup.h"
#include "core/settings.h"
#include "tests/core/registry_test_support.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace orbita {
namespace {

namespace fs = std::filesystem;

class ProfileBackup : public test::TempRegistry {
protected:
    void SetUp() override
    {
        TempRegistry::SetUp();
        m_folders = { root() + "/program", root() + "/user/orbita" };
        fs::create_directories(m_folders.program);
        CreateAccount("Administrator");
        WriteInteger(Setting::StartupMode, 1, "Ania");
        WriteString(Setting::SkinFile, "Niebieski.obs", "Ania");
        WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Ania\\Placement", "HelpFormLeft", 40);
        WriteString(Setting::Password, "$argon2id$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaA", "Ania");
    }
    static void writeFile(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

    BackupFolders m_folders;
};

TEST_F(ProfileBackup, BackupIsWrittenIntoKopieAndReadBackWhole)
{
    const BackupReport report = BackupProfile(m_folders, "Ania");
    ASSERT_TRUE(report.ok) << report.text;
    EXPECT_EQ(report.path, m_folders.program + "/KOPIE/Ania.reg");
    EXPECT_EQ(report.caption, "Kopia wykonana");
    EXPECT_EQ(report.text, "Kopia ustawień została pomyślnie wykonana");
    EXPECT_EQ(report.icon, BackupIcon::Information);
    EXPECT_EQ(ExistingBackupFile(m_folders, "Ania"), report.path);
    EXPECT_FALSE(ExistingBackupFile(m_folders, "Administrator"));

    // The file holds the profile; changed values come back on a restore.
    WriteInteger(Setting::StartupMode, 0, "Ania");
    DeleteRegKey(Hive::CurrentUser, "Software\\Orbita\\Ania\\Placement");
    WriteString(Setting::Password, "", "Ania");
    const BackupReport restored = RestoreProfile(report.path, "Ania");
    ASSERT_TRUE(restored.ok) << restored.text;
    EXPECT_EQ(ReadInteger(Setting::StartupMode, "Ania"), 1);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, "Software\\Orbita\\Ania\\Placement", "HelpFormLeft"), 40);
    EXPECT_EQ(ReadString(Setting::Password, "Ania"), "") << "the password is not in the backup";
    EXPECT_TRUE(restored.skipped.empty());
    EXPECT_EQ(restored.caption, "Kopia przywrócona");
    EXPECT_EQ(restored.text, "Ustawienia konta Ania zostały przywrócone z pliku " + report.path + ".");
    EXPECT_EQ(restored.icon, BackupIcon::Information);
    const FileRead file = ReadRegularFile(report.path, 1 << 20);
    ASSERT_TRUE(file.Ok());
    EXPECT_EQ(file.bytes.find("Password"), std::string::npos) << file.bytes;
    EXPECT_NE(file.bytes.find("\"SkinFile\"=\"Niebieski.obs\""), std::string::npos) << file.bytes;
}

// The program folder is a read-only mount or, here, not even a folder: KOPIE
// cannot be made there (a plain file stands in so that the test holds for
// root too).
TEST_F(ProfileBackup, AnUnwritableProgramFolderSendsTheBackupToThePerUserFolder)
{
    writeFile(root() + "/file", "x");
    m_folders.program = root() + "/file";
    const BackupReport report = BackupProfile(m_folders, "Ania");
    ASSERT_TRUE(report.ok) << report.text;
    EXPECT_EQ(report.path, m_folders.perUser + "/KOPIE/Ania.reg");
    EXPECT_TRUE(report.text.starts_with("Kopia ustawień została pomyślnie wykonana"));
    EXPECT_NE(report.text.find(report.path), std::string::npos) << "the user is told where";
    EXPECT_EQ(ExistingBackupFile(m_folders, "Ania"), report.path);

    // Neither folder can be written: an error naming both, no success.
    m_folders.perUser = root() + "/file/orbita";
    const BackupReport failed = BackupProfile(m_folders, "Ania");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.icon, BackupIcon::Error);
    EXPECT_EQ(failed.caption, "Kopia nie została wykonana");
    EXPECT_NE(failed.text.find(m_folders.program + "/KOPIE"), std::string::npos) << failed.text;
    EXPECT_NE(failed.text.find(m_folders.perUser + "/KOPIE"), std::string::npos) << failed.text;
}

TEST_F(ProfileBackup, FailuresAreReportedAndNeverAsSuccess)
{
    // KOPIE/Ania.reg is a folder: the file cannot be written.
    fs::create_directories(m_folders.program + "/KOPIE/Ania.reg");
    BackupReport report = BackupProfile(m_folders, "Ania");
    EXPECT_FALSE(report.ok);
    EXPECT_NE(report.text.find("Ania.reg"), std::string::npos) << report.text;
    // An account without a profile key has nothing to back up.
    report = BackupProfile(m_folders, "Nikt");
    EXPECT_FALSE(report.ok);
    EXPECT_FALSE(fs::exists(m_folders.program + "/KOPIE/Nikt.reg"));
    // A name that could leave KOPIE gives no file at all.
    for (const char* name : { "../Ania", "..", "a/b", "" }) {
        EXPECT_FALSE(BackupFileIn(m_folders.program, name)) << name;
        EXPECT_FALSE(BackupProfile(m_folders, name).ok) << name;
    }
    EXPECT_EQ(
        BackupFileIn(m_folders.program, *Utf8ToCp1250("Żaneta")), m_folders.program + "/KOPIE/Żaneta.reg");
}

TEST_F(ProfileBackup, RestoreAppliesOnlyTheAccountsOwnProfileAndListsTheRest)
{
    CreateAccount("Jan");
    WriteString(Setting::Password, "", "Administrator");
    const std::string path = m_folders.program + "/KOPIE/Ania.reg";
    fs::create_directories(m_folders.program + "/KOPIE");
    writeFile(path,
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Ania]\r\n"
        "\"StartupMode\"=dword:00000000\r\n"
        "\"Password\"=\"\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orbita\\ANIA\\Tools]\r\n"
        "\"Kalkulator\"=\"/usr/bin/gnome-calculator\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]\r\n"
        "\"Password\"=\"2a0d\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orbita]\r\n"
        "\"User\"=\"Administrator\"\r\n\r\n"
        "[-HKEY_CURRENT_USER\\Software\\Orbita\\Jan]\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Anial]\r\n\r\n"
        "[-HKEY_CURRENT_USER\\Software\\Orbita\\Ania]\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Orbita\\Ania]\r\n"
        "\"UpdateServer\"=\"http://evil.example\"\r\n");
    const BackupReport report = RestoreProfile(path, "Ania");
    ASSERT_TRUE(report.ok) << report.text;
    EXPECT_EQ(report.icon, BackupIcon::Warning);
    EXPECT_EQ(ReadInteger(Setting::StartupMode, "Ania"), 0);
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, "Software\\Orbita\\Ania\\Tools", "Kalkulator"),
        "/usr/bin/gnome-calculator");
    EXPECT_FALSE(ReadString(Setting::Password, "Ania").empty());
    EXPECT_EQ(ReadString(Setting::Password, "Administrator"), "");
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, "Software\\Orbita", "User"), "");
    EXPECT_TRUE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Jan"));
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Anial"));
    EXPECT_TRUE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Ania"));
    EXPECT_FALSE(RegKeyExists(Hive::LocalMachine, "Software\\Orbita\\Ania"));
    const std::vector<std::string> skipped {
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Ania] \"Password\"",
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]",
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator] \"Password\"",
        "[HKEY_CURRENT_USER\\Software\\Orbita]",
        "[HKEY_CURRENT_USER\\Software\\Orbita] \"User\"",
        "[-HKEY_CURRENT_USER\\Software\\Orbita\\Jan]",
        "[HKEY_CURRENT_USER\\Software\\Orbita\\Anial]",
        "[-HKEY_CURRENT_USER\\Software\\Orbita\\Ania]",
        "[HKEY_LOCAL_MACHINE\\Software\\Orbita\\Ania]",
        "[HKEY_LOCAL_MACHINE\\Software\\Orbita\\Ania] \"UpdateServer\"",
    };
    EXPECT_EQ(report.skipped, skipped);
    for (const std::string& entry : skipped)
        EXPECT_NE(report.text.find(entry), std::string::npos) << entry;

    // A file with nothing of this account changes nothing and says so.
    writeFile(path,
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orbita\\Jan]\r\n"
        "\"StartupMode\"=dword:00000001\r\n");
    const BackupReport foreign = RestoreProfile(path, "Ania");
    EXPECT_FALSE(foreign.ok);
    EXPECT_EQ(ReadInteger(Setting::StartupMode, "Jan"), 0);
    EXPECT_NE(foreign.text.find("nic nie zostało zmienione"), std::string::npos) << foreign.text;
    // A malformed file is refused whole, with its line.
    writeFile(path,
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orbita\\Ania]\r\n"
        "\"StartupMode\"=dword:00000001\r\n\"Zepsute\r\n");
    const BackupReport malformed = RestoreProfile(path, "Ania");
    EXPECT_FALSE(malformed.ok);
    EXPECT_EQ(ReadInteger(Setting::StartupMode, "Ania"), 0);
    EXPECT_NE(malformed.text.find("wierszu 5"), std::string::npos) << malformed.text;
}

} // namespace
} // namespace orbita
