#include "app/startup.h"
#include "core/cp1250.h"
#include "core/password_hash.h"
#include "core/registry.h"
#include "core/scramble.h"
#include "core/settings.h"
#include "platform/scripted_ui_services.h"
#include "platform/shell_services.h"
#include "tests/data/test_zip_writer.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace orbita {
namespace {

// The stored layout, as seen from outside.
const char* const kRootKey = "Software\\Orbita";
const char* const kAdministratorKey = "Software\\Orbita\\Administrator";
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\Orbita";
const char* const kOlderGenerationKey = "Software\\Halden Soft\\Orbita";

using test::PlatformTest;
using Kind = ScriptedUiServices::Kind;

class StartupTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("program")));
        m_env.set("ORBITA_PROGRAM_DIR", path("program"));
    }

    // The data package is named after the running executable (here the test
    // program), upper-cased, with ".DAT"; a usable one holds the element
    // database.
    static void createDataPackage()
    {
        test::TestZipWriter zip;
        zip.members = { test::Stored("UKLAD\\DANE.TXT", "[Nazwa]\r\n") };
        test::WriteBytes(DataPackagePath(), zip.Build());
    }

    static std::int32_t runCount() { return ReadRegInteger(Hive::CurrentUser, kRootKey, "RunCount"); }
    static std::string user() { return CurrentUserName(); }

    // The start ends with the error `text`, counting nothing and logging
    // nobody in.
    static void expectStartRefused(const QString& text)
    {
        ScriptedUiServices ui;
        ui.answerMessage(mrOk);
        EXPECT_EQ(PrepareApplicationStart(), StartWindow::None);
        ASSERT_TRUE(ui.finished());
        const auto& request = ui.requests().at(0);
        EXPECT_EQ(request.caption, QStringLiteral("Orbita"));
        EXPECT_EQ(request.text, text);
        EXPECT_EQ(request.icon, MessageIcon::Error);
        EXPECT_EQ(runCount(), -1);
        EXPECT_EQ(user(), "");
    }
};

TEST_F(StartupTest, DataPackageIsNamedAfterTheExecutableInTheProgramFolder)
{
    const QString expected = path("program") + QLatin1Char('/')
        + QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toUpper()
        + QStringLiteral(".DAT");
    EXPECT_EQ(QString::fromStdString(DataPackagePath()), expected);
}

TEST_F(StartupTest, MissingDataPackageShowsTheErrorAndCountsNothing)
{
    expectStartRefused(QStringLiteral("Nie odnaleziono bazy danych programu"));
}

// A package cut short, overwritten with other bytes, or without the element
// database is told as a damaged database, and the start ends as for a missing
// one: nothing is counted and nobody is logged in.
TEST_F(StartupTest, DamagedDataPackageShowsTheErrorAndCountsNothing)
{
    test::TestZipWriter zip;
    zip.members = { test::Deflated("UKLAD\\DANE.TXT", std::string(4000, 'x')),
        test::Stored("POMOC\\MENU.HTM", "<p>menu") };
    const std::string whole = zip.Build();
    zip.members.erase(zip.members.begin());
    const std::string withoutDatabase = zip.Build();
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        { "cut in half", whole.substr(0, whole.size() / 2) },
        { "other bytes", std::string(5000, '\x5A') },
        { "empty", "" },
        { "no element database", withoutDatabase },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::WriteBytes(DataPackagePath(), c.bytes);
        expectStartRefused(QStringLiteral("Baza danych programu (%1) jest uszkodzona")
                               .arg(QFileInfo(QString::fromStdString(DataPackagePath())).fileName()));
    }
    // The whole package starts.
    test::WriteBytes(DataPackagePath(), whole);
    EXPECT_EQ(CheckDataPackage(DataPackagePath()), DataPackageState::Usable);
}

TEST_F(StartupTest, AStoreThatCannotBeOpenedIsToldAndTheRunGoesOnWithDefaults)
{
    createDataPackage();
    // The store's folder would have to be made inside a regular file.
    m_env.set("ORBITA_CONFIG_DIR", path("program") + QStringLiteral("/ORBITA.DAT.x/config"));
    ASSERT_TRUE(QFile(path("program") + QStringLiteral("/ORBITA.DAT.x")).open(QIODevice::WriteOnly));
    ReleaseRegistryConnection();
    ScriptedUiServices ui;
    ui.answerMessage(mrOk);
    EXPECT_EQ(PrepareApplicationStart(), StartWindow::Table);
    ASSERT_TRUE(ui.finished());
    EXPECT_EQ(ui.requests().at(0).caption, QStringLiteral("Ustawienia programu"));
    EXPECT_TRUE(ui.requests().at(0).text.startsWith(QStringLiteral("Nie można odczytać ustawień programu: ")))
        << ui.requests().at(0).text.toStdString();
    EXPECT_TRUE(ui.requests().at(0).text.contains(QStringLiteral("ORBITA.DAT.x")));
}

TEST_F(StartupTest, EveryStartIsCountedAndTheAdministratorIsLoggedInForTheRun)
{
    createDataPackage();
    ScriptedUiServices ui;
    EXPECT_EQ(PrepareApplicationStart(), StartWindow::Table);
    EXPECT_EQ(runCount(), 1);
    EXPECT_EQ(user(), "Administrator");
    FinishApplicationRun();
    EXPECT_EQ(user(), "");
    EXPECT_EQ(PrepareApplicationStart(), StartWindow::Table);
    EXPECT_EQ(runCount(), 2);
    WriteRegInteger(Hive::CurrentUser, kRootKey, "RunCount", 41);
    PrepareApplicationStart();
    EXPECT_EQ(runCount(), 42);
    EXPECT_TRUE(ui.finished()) << "no message or window is expected";
}

TEST_F(StartupTest, OnlyStartupModeOneOpensTheLauncher)
{
    createDataPackage();
    ScriptedUiServices ui;
    const std::pair<std::optional<int>, StartWindow> cases[]
        = { { std::nullopt, StartWindow::Table }, { 0, StartWindow::Table }, { 1, StartWindow::Launcher },
              { 2, StartWindow::Table }, { -5, StartWindow::Table } };
    for (const auto& [mode, expected] : cases) {
        if (mode)
            WriteRegInteger(Hive::CurrentUser, kAdministratorKey, "StartupMode", *mode);
        else
            DeleteRegValue(Hive::CurrentUser, kAdministratorKey, "StartupMode");
        EXPECT_EQ(PrepareApplicationStart(), expected) << (mode ? *mode : -1);
    }
    // A string where an integer belongs reads as missing.
    WriteRegString(Hive::CurrentUser, kAdministratorKey, "StartupMode", "1");
    EXPECT_EQ(PrepareApplicationStart(), StartWindow::Table);
}

// Fills the login window's boxes and clicks a button.
void login(QDialog& dialog, const QString& account, const QString& password)
{
    auto* box = dialog.findChild<QComboBox*>();
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(box->findText(account));
    auto* passwordBox = dialog.findChild<QLineEdit*>();
    ASSERT_NE(passwordBox, nullptr);
    passwordBox->setText(password);
    for (auto* button : dialog.findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("&Uruchom"))
            button->click();
}

TEST_F(StartupTest, AdministratorPasswordAsksForLoginAndCancelEndsTheStart)
{
    createDataPackage();
    WriteRegString(
        Hive::CurrentUser, kAdministratorKey, "Password", ScrambleText(kPasswordScrambleKey, "Tajne1"));
    WriteRegString(Hive::CurrentUser, kRootKey, "User", "Administrator"); // left over from a crash
    ScriptedUiServices ui;
    ui.answerModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Logowanie do programu Orbita"));
        return mrCancel;
    });
    EXPECT_EQ(PrepareApplicationStart(), StartWindow::None);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(runCount(), 1) << "the start is counted before the login";
    EXPECT_EQ(user(), "") << "the login window clears the current account";
}

TEST_F(StartupTest, LoginHelpOpensItsTopic)
{
    createDataPackage();
    WriteRegString(
        Hive::CurrentUser, kAdministratorKey, "Password", ScrambleText(kPasswordScrambleKey, "Tajne1"));
    test::RecordingWindowOpener windows;
    ScriptedUiServices ui;
    QWidget* shown = nullptr;
    ui.answerModal([&](QDialog& dialog) {
        shown = &dialog;
        QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_F1);
        QTest::keyClick(dialog.findChild<QComboBox*>(), Qt::Key_F1);
        for (auto* button : dialog.findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("Pomo&c"))
                button->click();
        EXPECT_TRUE(dialog.isVisible());
        return mrCancel;
    });
    EXPECT_EQ(PrepareApplicationStart(), StartWindow::None);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(windows.owners, QList<QWidget*>(3, shown));
    EXPECT_EQ(windows.take(), QStringList(3, QStringLiteral("help O_LOGUJ")));
}

// The Administrator's password is a hash; Jan's is still in the scrambled
// form of an older installation, rewritten as a hash by his login.
TEST_F(StartupTest, LoginChecksThePasswordExactlyAndSetsTheAccount)
{
    createDataPackage();
    WriteRegString(Hive::CurrentUser, kAdministratorKey, "Password", HashPassword("Tajne1").value());
    WriteRegString(Hive::CurrentUser, "Software\\Orbita\\Jan", "Password",
        ScrambleText(kPasswordScrambleKey, *Utf8ToCp1250("ą1")));
    WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Jan", "StartupMode", 1);
    ScriptedUiServices ui;
    ui.answerModal([&ui](QDialog& dialog) {
        login(dialog, QStringLiteral("Administrator"), QStringLiteral("tajne1")); // wrong case
        EXPECT_EQ(CurrentUserName(), "");
        login(dialog, QStringLiteral("Jan"), QStringLiteral("Tajne1")); // another account's password
        EXPECT_EQ(CurrentUserName(), "");
        login(dialog, QStringLiteral("Jan"), QStringLiteral("ą1"));
        return dialog.result();
    });
    ui.answerMessage(mrOk);
    ui.answerMessage(mrOk);
    // Scripted answers are taken in order: the modal driver first, then the
    // two warnings it causes.
    EXPECT_EQ(PrepareApplicationStart(), StartWindow::Launcher);
    EXPECT_EQ(user(), "Jan");
    const std::string rewritten = ReadRegString(Hive::CurrentUser, "Software\\Orbita\\Jan", "Password");
    EXPECT_TRUE(IsPasswordHash(rewritten)) << rewritten;
    EXPECT_EQ(CheckPassword(rewritten, "ą1"), PasswordCheck::Match);
    ASSERT_EQ(ui.requests().size(), 3u);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(ui.requests()[i].caption, QStringLiteral("Nieprawidłowe hasło"));
        EXPECT_EQ(ui.requests()[i].text, QStringLiteral("Wprowadziłeś nieprawidłowe hasło użytkownika"));
        EXPECT_EQ(ui.requests()[i].icon, MessageIcon::Warning);
    }
}

class SelfRemovalTest : public StartupTest {
protected:
    void SetUp() override
    {
        StartupTest::SetUp();
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("install/KARNACJE")));
        for (const char* name : { "INTRO.WAV", "OTWORZ.WAV", "ZAMKNIJ.WAV", "FAKTURA.BMP", "ORBITA.DAT",
                 "orbita", "BANER.HTM", "BANER.SWF", "KARNACJE/Niebieski.obs", "notatki.txt", "REMOVEME" })
            touch(std::string("install/") + name);
        QFile::setPermissions(path("install/orbita"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        WriteRegString(Hive::CurrentUser, kRootKey, "InstallPath", stdPath("install"));
        WriteRegString(Hive::LocalMachine, kUninstallKey, "DisplayName", "Orbita 3.51");
        WriteRegString(Hive::CurrentUser, "Software\\Orbita\\Administrator\\Notes", "26", "0a0b");
        WriteRegInteger(Hive::CurrentUser, "Software\\Orbita\\Jan\\Placement", "HelpFormLeft", 10);
        WriteRegString(Hive::CurrentUser, "Software\\Other", "Kept", "yes");

        m_desktop = WithTrailingBackslash(SpecialFolderPath(0));
        m_menu = WithTrailingBackslash(SpecialFolderPath(11));
        QDir().mkpath(QString::fromStdString(m_desktop));
        touch(m_desktop + "Orbita.desktop", true);
        touch(m_menu + "Orbita.desktop", true);
        QDir().mkpath(QString::fromStdString(m_menu + "Orbita"));
        touch(m_menu + "Orbita/Pomoc.desktop", true);
        // The group as the installer and the settings window make it.
        QDir().mkpath(QString::fromStdString(m_menu + "orbita"));
        for (const char* name : { "Orbita.desktop", "Odinstalowanie.desktop", "Strona domowa.desktop" })
            touch(m_menu + "orbita/" + name, true);
    }

    void touch(const std::string& name, bool absolute = false)
    {
        QFile file(absolute ? QString::fromStdString(name) : path(name.c_str()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name;
        file.write("x");
    }
    bool exists(const std::string& name, bool absolute = false) const
    {
        return QFileInfo::exists(absolute ? QString::fromStdString(name) : path(name.c_str()));
    }
    void run(RemovalScope scope)
    {
        ScriptedUiServices ui;
        ui.answerMessage(mrOk);
        RunSelfRemoval(scope, stdPath("install/REMOVEME"));
        ASSERT_TRUE(ui.finished());
        EXPECT_EQ(ui.requests().at(0).caption, QStringLiteral("Rezultat odinstalowania"));
        EXPECT_EQ(ui.requests().at(0).text,
            QStringLiteral("Program został pomyślnie odinstalowany z tego komputera"));
        EXPECT_EQ(ui.requests().at(0).icon, MessageIcon::Information);
        // Every scope removes the shortcuts, the program group, the uninstall
        // entry and the copy itself.
        EXPECT_FALSE(exists(m_desktop + "Orbita.desktop", true));
        EXPECT_FALSE(exists(m_menu + "Orbita.desktop", true));
        EXPECT_FALSE(exists(m_menu + "Orbita", true));
        EXPECT_FALSE(exists(m_menu + "orbita", true));
        EXPECT_FALSE(RegKeyExists(Hive::LocalMachine, kUninstallKey));
        EXPECT_FALSE(exists("install/REMOVEME"));
        EXPECT_EQ(ReadRegString(Hive::CurrentUser, "Software\\Other", "Kept"), "yes");
    }

    std::string m_desktop;
    std::string m_menu;
};

TEST_F(SelfRemovalTest, WithoutSwitchOnlyShortcutsEntryAndCopyGo)
{
    run(RemovalScope::CopyOnly);
    EXPECT_TRUE(exists("install/ORBITA.DAT"));
    EXPECT_TRUE(exists("install/orbita"));
    EXPECT_TRUE(RegKeyExists(Hive::CurrentUser, "Software\\Orbita\\Jan"));
}

TEST_F(SelfRemovalTest, SlimRemovesTheProgramFilesOnly)
{
    run(RemovalScope::Slim);
    for (const char* name : { "INTRO.WAV", "OTWORZ.WAV", "ZAMKNIJ.WAV", "FAKTURA.BMP", "ORBITA.DAT", "orbita",
             "BANER.HTM", "BANER.SWF" })
        EXPECT_FALSE(exists(std::string("install/") + name)) << name;
    EXPECT_TRUE(exists("install/KARNACJE/Niebieski.obs"));
    EXPECT_TRUE(exists("install/notatki.txt"));
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, "Software\\Orbita\\Administrator\\Notes", "26"), "0a0b");
}

TEST_F(SelfRemovalTest, FullRemovesTheInstallationAndEveryAccountButKeepsTheUsersFiles)
{
    // The installer's list of what it wrote: the shipped skin is among it,
    // the pupil's notes are not.
    QFile manifest(path("install/INSTALACJA.LST"));
    ASSERT_TRUE(manifest.open(QIODevice::WriteOnly));
    manifest.write("orbita\nORBITA.DAT\nKARNACJE/\nKARNACJE/Niebieski.obs\n");
    manifest.close();
    run(RemovalScope::Full);
    for (const char* name : { "ORBITA.DAT", "orbita", "INTRO.WAV", "KARNACJE", "INSTALACJA.LST" })
        EXPECT_FALSE(exists(std::string("install/") + name)) << name;
    EXPECT_TRUE(exists("install/notatki.txt"));
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, kRootKey));
    EXPECT_TRUE(exists("home"));
}

TEST_F(SelfRemovalTest, FullWithoutAccountsRemovesFolderAndRootKey)
{
    DeleteRegKey(Hive::CurrentUser, "Software\\Orbita\\Administrator");
    DeleteRegKey(Hive::CurrentUser, "Software\\Orbita\\Jan");
    // Nothing but the program's own files: the folder goes with them.
    QFile::remove(path("install/notatki.txt"));
    QDir(path("install/KARNACJE")).removeRecursively();
    run(RemovalScope::Full);
    EXPECT_FALSE(exists("install"));
    EXPECT_FALSE(RegKeyExists(Hive::CurrentUser, kRootKey));
}

TEST_F(SelfRemovalTest, AnInstallPathThatIsNotTheProgramsIsNeverRemoved)
{
    WriteRegString(Hive::CurrentUser, kRootKey, "InstallPath", stdPath("home"));
    run(RemovalScope::Full);
    EXPECT_TRUE(exists("home"));
}

TEST_F(StartupTest, OlderGenerationIsReportedOnlyWhenItsProgramStillExists)
{
    ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("old")));
    WriteRegString(Hive::CurrentUser, kOlderGenerationKey, "ProgramPath", stdPath("old"));
    {
        ScriptedUiServices ui;
        WarnAboutOlderGeneration();
        EXPECT_TRUE(ui.requests().empty()) << "folder without the program";
    }
    QFile exe(path("old/ORBITA.EXE"));
    ASSERT_TRUE(exe.open(QIODevice::WriteOnly));
    exe.close();
    ScriptedUiServices ui;
    ui.answerMessage(mrOk);
    WarnAboutOlderGeneration();
    ASSERT_TRUE(ui.finished());
    EXPECT_EQ(ui.requests().at(0).caption, QStringLiteral("Wykryto starszą wersję programu"));
    EXPECT_EQ(ui.requests().at(0).icon, MessageIcon::Information);
}

} // namespace
} // namespace orbita
