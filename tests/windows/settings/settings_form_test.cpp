#include "core/password_hash.h"
#include "core/profile_backup.h"
#include "core/registry.h"
#include "core/settings.h"
#include "platform/scripted_ui_services.h"
#include "platform/sound.h"
#include "tests/support/recording_window_opener.h"
#include "tests/windows/dialogs/dialogs_test_support.h"
#include "windows/program_window_opener.h"
#include "windows/settings/desktop_integration.h"
#include "windows/settings/settings_form.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

namespace orbita {
namespace {

const std::string kAdmin(kAdministratorAccount);

class SettingsForm : public test::DialogsTest {
protected:
    void SetUp() override
    {
        DialogsTest::SetUp();
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("program")));
        m_env.set("ORBITA_PROGRAM_DIR", path("program"));
        CreateAccount(kAdministratorAccount);
    }

    void touch(const char* relative)
    {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("x");
    }

    static void press(QWidget* widget, Qt::Key key) { QTest::keyClick(widget, key); }

    ScriptedUiServices ui;
    test::RecordingWindowOpener opener;
};

// What the user sees of every page, in tree order.
TEST_F(SettingsForm, TreePagesAndCaptions)
{
    TSettingsForm form;
    EXPECT_EQ(form.title(), QStringLiteral("Ustawienia"));
    EXPECT_EQ(form.UzytkownikEtykieta->text(), QStringLiteral("Administrator"));
    EXPECT_TRUE(form.UzytkownikEtykieta->font().bold());
    const QStringList pages { QStringLiteral("Program"), QStringLiteral("Glowne"),
        QStringLiteral("Integracja"), QStringLiteral("Dzwieki"), QStringLiteral("Karnacje"),
        QStringLiteral("Narzedzia"), QStringLiteral("Konta"), QStringLiteral("Kopia") };
    const QStringList nodes { QStringLiteral("Program"), QStringLiteral("Główne"),
        QStringLiteral("Integracja"), QStringLiteral("Dźwięki"), QStringLiteral("Karnacje"),
        QStringLiteral("Narzędzia"), QStringLiteral("Profil"), QStringLiteral("Kopia zapasowa") };
    for (int i = 0; i < 8; ++i) {
        form.SetupTab(i);
        EXPECT_EQ(form.Notebook->currentWidget()->objectName(), pages[i]);
        EXPECT_EQ(form.OpcjaEtykieta->text(), nodes[i]);
    }
    EXPECT_EQ(form.Drzewko->topLevelItemCount(), 4);
    EXPECT_EQ(form.Drzewko->topLevelItem(0)->childCount(), 4);
    EXPECT_TRUE(form.Drzewko->topLevelItem(0)->isExpanded());
    EXPECT_EQ(form.DefaultButton->text(), QStringLiteral("&Domyślnie"));
    EXPECT_EQ(form.ConfirmButton->text(), QStringLiteral("&OK"));
    EXPECT_EQ(form.HelpButton->text(), QStringLiteral("Pomo&c"));
    EXPECT_EQ(form.CancelButton->text(), QStringLiteral("&Anuluj"));
    EXPECT_EQ(form.StandardBox->text(), QStringLiteral("Uruchamiaj w trybie &standardowym"));
    EXPECT_TRUE(form.CompactCaption->text().startsWith(
        QStringLiteral("Program zostanie uruchomiony w trybie oszczędnym")));
    EXPECT_EQ(form.TipButton->text(), QStringLiteral("Po&każ porady"));
    EXPECT_EQ(form.GroupBox->text(), QStringLiteral("Grupa programów w Menu &Start"));
    EXPECT_EQ(form.SoundsBox->text(), QStringLiteral("Włącz zdarzenia dźwięko&we"));
    EXPECT_EQ(form.ToolsList->headerItem()->text(1), QStringLiteral("Położenie pliku"));
    EXPECT_EQ(form.ToolsList->columnWidth(0), 80);
    EXPECT_EQ(form.AddUserButton->text(), QStringLiteral("Utwór&z"));
    EXPECT_EQ(form.BackupButton->text(), QStringLiteral("&Rozpocznij"));
    // No KARNACJE: the Brak page and a disabled skin box.
    EXPECT_EQ(form.KarnacjeTablica->currentWidget()->objectName(), QStringLiteral("Brak"));
    EXPECT_FALSE(form.SkinBox->isEnabled());
    // No tools: the list is disabled and light grey.
    EXPECT_FALSE(form.ToolsList->isEnabled());
    EXPECT_EQ(form.ToolsList->palette().color(QPalette::Base), QColor(236, 235, 232));
    // The Administrator's page; the restore choice hidden without a backup.
    EXPECT_EQ(form.KontaTablica->currentWidget()->objectName(), QStringLiteral("Administrator"));
    EXPECT_TRUE(form.RestoreBox->isHidden());
    EXPECT_TRUE(form.CopyBox->isChecked());
    EXPECT_TRUE(ui.finished());
}

TEST_F(SettingsForm, OpensAtTheStoredPageWithOkDisabledAndCancelWritesOnlyThePage)
{
    WriteInteger(Setting::SetupTab, 5, kAdmin);
    TSettingsForm form;
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.Notebook->currentWidget()->objectName(), QStringLiteral("Narzedzia"));
    EXPECT_TRUE(form.Drzewko->hasFocus());
    EXPECT_FALSE(form.ConfirmButton->isEnabled());
    press(form.Drzewko, Qt::Key_Return);
    EXPECT_TRUE(form.isVisible()) << "Enter does nothing while OK is disabled";

    form.SetupTab(2);
    form.GroupBox->click(); // a change that Cancel throws away
    EXPECT_TRUE(form.ConfirmButton->isEnabled());
    press(form.Drzewko, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), mrCancel);
    EXPECT_EQ(ReadInteger(Setting::SetupTab, kAdmin), 2);
    EXPECT_EQ(
        RegValueNames(Hive::CurrentUser, ProfileKeyPath(kAdmin)), std::vector<std::string> { "SetupTab" });
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(PlatformDesktopIntegration::GroupFolder())));

    // A stored page that is no node opens the first.
    WriteInteger(Setting::SetupTab, 8, kAdmin);
    TSettingsForm again;
    EXPECT_EQ(again.SelectedTab(), 0);
}

TEST_F(SettingsForm, EnterConfirmsAndWritesOnlyTheChangedBoxes)
{
    WriteInteger(Setting::StartupTip, 0, kAdmin);
    TSettingsForm form;
    form.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.TipBox->isChecked());
    EXPECT_TRUE(form.PromptBox->isChecked()); // missing: on
    form.PromptBox->click();
    form.IntroSndBox->setFocus();
    QTest::keyClicks(form.IntroSndBox, QStringLiteral("/snd/a.wav"));
    press(form.IntroSndBox, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_EQ(ReadInteger(Setting::ExitPrompt, kAdmin), 0);
    EXPECT_EQ(ReadString(Setting::IntroSound, kAdmin), "/snd/a.wav");
    EXPECT_EQ(ReadInteger(Setting::StartupTip, kAdmin), 0);
    for (Setting untouched :
        { Setting::StartupMode, Setting::ShowHint, Setting::Sounds, Setting::UseBackground })
        EXPECT_FALSE(IsStored(untouched, kAdmin)) << Describe(untouched).name;
    EXPECT_TRUE(ui.finished());
}

TEST_F(SettingsForm, DefaultsFillTheProgramsFilesAndTheModeQuestionAsksBeforeWriting)
{
    touch("program/INTRO.WAV");
    touch("program/FAKTURA.BMP");
    touch("program/KARNACJE/Zima.nowa.obs");
    WriteInteger(Setting::StartupMode, 1, kAdmin);
    TSettingsForm form;
    form.show();
    EXPECT_TRUE(form.CompactBox->isChecked());
    form.DefaultButton->click();
    EXPECT_TRUE(form.StandardBox->isChecked());
    EXPECT_TRUE(form.SoundsBox->isChecked());
    EXPECT_EQ(form.IntroSndBox->text(), path("program/INTRO.WAV"));
    EXPECT_EQ(form.BgPathBox->text(), path("program/FAKTURA.BMP"));
    EXPECT_TRUE(form.GroupBox->isChecked());
    EXPECT_TRUE(form.ConfirmButton->isEnabled());

    // Back to compact with a skin: OK asks; No keeps compact.
    form.CompactBox->click();
    form.SkinBox->click();
    form.SkinList->setCurrentRow(0);
    ui.answerMessage(mrNo);
    form.ConfirmButton->click();
    ASSERT_EQ(ui.requests().size(), 1u);
    const auto& question = ui.requests()[0];
    EXPECT_EQ(question.caption, QStringLiteral("Zmiana trybu uruchamiania"));
    EXPECT_EQ(question.text,
        QStringLiteral(
            "Aby załadować alternatywną karnację, program musi być uruchomiony w trybie standardowym. "
            "Czy przełączyć program w tryb standardowy? (należy ponownie uruchomić program)"));
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_EQ(ReadInteger(Setting::StartupMode, kAdmin), 1);
    EXPECT_EQ(ReadInteger(Setting::UseSkin, kAdmin), 1);
    EXPECT_EQ(ReadString(Setting::IntroSound, kAdmin), path("program/INTRO.WAV").toStdString());
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(PlatformDesktopIntegration::GroupFolder())));

    // Yes switches to the standard mode.
    TSettingsForm yes;
    yes.show();
    yes.PromptBox->click();
    ui.answerMessage(mrYes);
    yes.ConfirmButton->click();
    EXPECT_EQ(ReadInteger(Setting::StartupMode, kAdmin), 0);
    EXPECT_TRUE(ui.finished());
}

TEST_F(SettingsForm, ToolsAreAddedWithTheirCaseAndASecondToolOfOneNameIsRefused)
{
    TSettingsForm form;
    form.show();
    EXPECT_FALSE(form.AddToolButton->isEnabled());
    EXPECT_FALSE(form.DeleteToolButton->isEnabled());
    ui.answerOpenFile(QStringLiteral("/opt/Edytor/Bin/Edytor"));
    form.BrowseButton->click();
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Wskaż program, który zostanie dodany do listy"));
    EXPECT_EQ(form.ToolPath->text(), QStringLiteral("/opt/Edytor/Bin/Edytor"));
    form.ToolName->setText(QStringLiteral("&Edytor"));
    ASSERT_TRUE(form.AddToolButton->isEnabled());
    form.AddToolButton->click();
    EXPECT_TRUE(form.ToolsList->isEnabled());
    ASSERT_EQ(form.ToolsList->topLevelItemCount(), 1);
    EXPECT_TRUE(form.ToolName->text().isEmpty());

    form.ToolName->setText(QStringLiteral("&EDYTOR"));
    form.ToolPath->setText(QStringLiteral("/bin/inny"));
    ui.answerMessage(mrOk);
    form.AddToolButton->click();
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Narzędzie już istnieje"));
    EXPECT_EQ(ui.requests().back().icon, MessageIcon::Warning);
    EXPECT_EQ(form.ToolsList->topLevelItemCount(), 1);

    // A path the store cannot hold is refused when chosen.
    ui.answerOpenFile(QStringLiteral("/opt/柑橘/run"));
    ui.answerMessage(mrOk);
    form.BrowseButton->click();
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Nieobsługiwane znaki"));
    EXPECT_TRUE(ui.requests().back().text.contains(QStringLiteral("/opt/柑橘/run")));
    EXPECT_EQ(form.ToolPath->text(), QStringLiteral("/bin/inny"));

    // A second tool, deleted again.
    form.ToolName->setText(QStringLiteral("Inny"));
    form.AddToolButton->click();
    ASSERT_EQ(form.ToolsList->topLevelItemCount(), 2);
    form.ToolsList->topLevelItem(1)->setSelected(true);
    ASSERT_TRUE(form.DeleteToolButton->isEnabled());
    form.DeleteToolButton->click();
    EXPECT_EQ(form.ToolsList->topLevelItemCount(), 1);
    EXPECT_FALSE(form.DeleteToolButton->isEnabled());
    form.ConfirmButton->click();
    ASSERT_EQ(ReadTools(kAdmin).size(), 1u);
    EXPECT_EQ(ReadTools(kAdmin)[0].command, "/opt/Edytor/Bin/Edytor");
    EXPECT_TRUE(ui.finished());
}

TEST_F(SettingsForm, BrowsedPathsSoundsAndTheirFilters)
{
    touch("program/INTRO.WAV");
    TSettingsForm form;
    form.show();
    ui.answerOpenFile(path("program/FAKTURA.BMP"));
    form.BrowseBgButton->click();
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Wskaż plik graficzny"));
    EXPECT_EQ(form.BgPathBox->text(), path("program/FAKTURA.BMP"));
    ui.answerOpenFile(path("program/INTRO.WAV"));
    form.OpenBrowseButton->click();
    EXPECT_EQ(
        ui.requests().back().caption, QStringLiteral("Wskaż plik dźwiękowy, który zostanie przypisany"));
    EXPECT_EQ(form.OpenSndBox->text(), path("program/INTRO.WAV"));
    EXPECT_TRUE(form.ConfirmButton->isEnabled());

    // The filters take the program's own upper-case names and lower-case ones.
    const auto matches = [](const QString& filter, const QString& name) {
        const QRegularExpression patterns(QStringLiteral("\\(([^)]*)\\)"));
        const QString first = patterns.match(filter).captured(1);
        for (const QString& pattern : first.split(u' ', Qt::SkipEmptyParts))
            if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern))
                    .match(name)
                    .hasMatch())
                return true;
        return false;
    };
    for (const char* name : { "FAKTURA.BMP", "faktura.bmp", "Tlo.Bmp" })
        EXPECT_TRUE(matches(TSettingsForm::PictureFilter(), QString::fromLatin1(name))) << name;
    EXPECT_FALSE(matches(TSettingsForm::PictureFilter(), QStringLiteral("tlo.png")));
    for (const char* name : { "INTRO.WAV", "intro.wav" })
        EXPECT_TRUE(matches(TSettingsForm::SoundFilter(), QString::fromLatin1(name))) << name;
    EXPECT_FALSE(matches(TSettingsForm::SoundFilter(), QStringLiteral("intro.mp3")));

    // The play buttons play an existing file and stay silent otherwise.
    std::vector<std::string> played;
    SetSoundListener([&](const std::string& file, bool) { played.push_back(file); });
    form.OpenPlayButton->click();
    form.IntroPlayButton->click(); // empty box
    form.CloseSndBox->setText(path("program/BRAK.WAV"));
    form.ClosePlayButton->click();
    SetSoundListener({});
    EXPECT_EQ(played, std::vector<std::string> { path("program/INTRO.WAV").toStdString() });
    form.reject();
    EXPECT_TRUE(ui.finished());
}

TEST_F(SettingsForm, SkinsListedWithTheirInformationBox)
{
    touch("program/KARNACJE/Zima.nowa.obs");
    touch("data/orbita/KARNACJE/Lato.obs");
    WriteString(Setting::SkinFile, "Zima.nowa.obs", kAdmin);
    TSettingsForm form;
    form.show();
    EXPECT_EQ(form.KarnacjeTablica->currentWidget()->objectName(), QStringLiteral("Lista"));
    ASSERT_EQ(form.SkinList->count(), 2);
    EXPECT_EQ(form.SkinList->item(0)->text(), QStringLiteral("Lato"));
    EXPECT_EQ(form.SkinList->item(1)->text(), QStringLiteral("Zima"));
    EXPECT_EQ(form.SkinList->currentRow(), 1);
    ui.answerMessage(mrOk);
    form.InformacjePrzycisk->click();
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Informacje o karnacji"));
    EXPECT_EQ(ui.requests().back().text, QStringLiteral("Nazwa pliku: Zima.nowa.obs\n"));
    EXPECT_FALSE(form.ConfirmButton->isEnabled());
    form.reject();
    EXPECT_TRUE(ui.finished());
}

#if defined(ORBITA_CONTENT_BUILT)
TEST_F(SettingsForm, TheShippedSkinShowsItsReadme)
{
    const QString shipped = QString::fromUtf8(ORBITA_PROGRAM_DIR) + QStringLiteral("/KARNACJE/Niebieski.obs");
    ASSERT_TRUE(QFileInfo::exists(shipped));
    QDir().mkpath(path("program/KARNACJE"));
    ASSERT_TRUE(QFile::copy(shipped, path("program/KARNACJE/Niebieski.obs")));
    TSettingsForm form;
    form.show();
    form.SkinList->setCurrentRow(0);
    QTest::mouseClick(form.SkinList->viewport(), Qt::LeftButton, {},
        form.SkinList->visualItemRect(form.SkinList->item(0)).center());
    EXPECT_TRUE(form.ConfirmButton->isEnabled());
    ui.answerMessage(mrOk);
    form.InformacjePrzycisk->click();
    const QString text = ui.requests().back().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Nazwa pliku: Niebieski.obs\n\n"))) << text.toStdString();
    EXPECT_GT(text.count(u'\n'), 2);
    form.ConfirmButton->click();
    EXPECT_EQ(ReadString(Setting::SkinFile, kAdmin), "Niebieski.obs");
    EXPECT_TRUE(ui.finished());
}
#endif

TEST_F(SettingsForm, AccountMessagesAndTheAdministratorsPassword)
{
    TSettingsForm form;
    form.show();
    form.SetupTab(6);
    const auto create = [&](const QString& name) {
        form.NewAccount->setText(name);
        form.AddUserButton->click();
    };
    ui.answerMessage(mrOk);
    create(QStringLiteral("rOOt"));
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Brak dostępu"));
    EXPECT_EQ(ui.requests().back().text, QStringLiteral("Nazwa konta została zastrzeżona"));
    EXPECT_EQ(ui.requests().back().icon, MessageIcon::Error);
    create(QStringLiteral("Ania"));
    EXPECT_EQ(form.UserList->count(), 2);
    EXPECT_TRUE(form.NewAccount->text().isEmpty());
    ui.answerMessage(mrOk);
    create(QStringLiteral("ANIA"));
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Konto już istnieje"));
    EXPECT_EQ(ui.requests().back().text, QStringLiteral("Podane konto jest już utworzone"));
    EXPECT_EQ(ui.requests().back().icon, MessageIcon::Warning);

    form.UserList->setCurrentRow(0); // Administrator
    EXPECT_FALSE(form.DeleteUserButton->isEnabled());

    QTest::keyClicks(form.RootPassword, QStringLiteral("Tajne1"));
    QTest::keyClicks(form.ConfirmRoot, QStringLiteral("Tajne2"));
    ui.answerMessage(mrOk);
    form.ConfirmButton->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Brak zgodności hasła"));
    EXPECT_TRUE(
        ui.requests().back().text.startsWith(QStringLiteral("Hasło dostępu do konta Administratora")));
    EXPECT_EQ(AccountNames(), std::vector<std::string> { kAdmin });

    form.ConfirmRoot->clear();
    QTest::keyClicks(form.ConfirmRoot, QStringLiteral("Tajne1"));
    form.ConfirmButton->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(AccountNames(), (std::vector<std::string> { kAdmin, "Ania" }));
    EXPECT_EQ(CheckPassword(ReadString(Setting::Password, kAdmin), "Tajne1"), PasswordCheck::Match);
    EXPECT_TRUE(ui.finished());

    // Another account sees only its own two boxes, with the placeholder when
    // it has a password.
    WriteString(Setting::Password, *HashPassword("x"), "Ania");
    SetCurrentUserName("Ania");
    TSettingsForm ania;
    EXPECT_EQ(ania.UzytkownikEtykieta->text(), QStringLiteral("Ania"));
    EXPECT_EQ(ania.KontaTablica->currentWidget()->objectName(), QStringLiteral("Uzytkownik"));
    EXPECT_FALSE(ania.PasswordBox->text().isEmpty());
    EXPECT_EQ(ania.PasswordBox->echoMode(), QLineEdit::Password);
    ania.show();
    ania.ConfirmBox->setFocus();
    QTest::keyClick(ania.ConfirmBox, Qt::Key_Backspace);
    ui.answerMessage(mrOk);
    ania.ConfirmButton->click();
    EXPECT_EQ(ui.requests().back().text, QStringLiteral("Ustawiono niepoprawne hasło dostępu do konta"));
    ania.reject();
    EXPECT_EQ(CheckPassword(ReadString(Setting::Password, "Ania"), "x"), PasswordCheck::Match);
    EXPECT_TRUE(ui.finished());
}

// Deleting an account and creating it again before OK: the user wants the
// account, so it exists afterwards, fresh.
TEST_F(SettingsForm, AnAccountDeletedAndCreatedAgainBeforeOkExistsAfresh)
{
    CreateAccount("Ania");
    WriteInteger(Setting::StartupMode, 1, "Ania");
    TSettingsForm form;
    form.show();
    form.SetupTab(6);
    ASSERT_EQ(form.UserList->count(), 2);
    form.UserList->setCurrentRow(1);
    ASSERT_EQ(form.UserList->currentItem()->text(), QStringLiteral("Ania"));
    ASSERT_TRUE(form.DeleteUserButton->isEnabled());
    form.DeleteUserButton->click();
    EXPECT_EQ(form.UserList->count(), 1);
    form.NewAccount->setText(QStringLiteral("Ania"));
    form.AddUserButton->click();
    EXPECT_EQ(form.UserList->count(), 2);
    form.ConfirmButton->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(AccountNames(), (std::vector<std::string> { kAdmin, "Ania" }));
    EXPECT_FALSE(IsStored(Setting::StartupMode, "Ania")) << "the old profile went with the deletion";
    EXPECT_TRUE(ui.finished());
}

// A skin chosen from the keyboard is stored like a clicked one; the list's
// filling while the window loads and the focus passing through it mark
// nothing.
TEST_F(SettingsForm, ASkinChosenFromTheKeyboardIsStored)
{
    touch("program/KARNACJE/Lato.obs");
    touch("program/KARNACJE/Zima.obs");
    {
        WriteString(Setting::SkinFile, "Lato.obs", kAdmin);
        TSettingsForm form;
        form.show();
        form.SetupTab(4);
        ASSERT_EQ(form.SkinList->currentRow(), 0);
        EXPECT_FALSE(form.ConfirmButton->isEnabled());
        QTest::keyClick(form.SkinList, Qt::Key_Down);
        ASSERT_EQ(form.SkinList->currentRow(), 1);
        EXPECT_TRUE(form.ConfirmButton->isEnabled());
        form.ConfirmButton->click();
        EXPECT_EQ(ReadString(Setting::SkinFile, kAdmin), "Zima.obs");
    }
    {
        // No skin chosen yet: tabbing into the list chooses none.
        WriteString(Setting::SkinFile, "", kAdmin);
        TSettingsForm form;
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        form.SetupTab(4);
        form.SkinList->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(form.SkinList->hasFocus());
        EXPECT_TRUE(form.SkinList->selectedItems().isEmpty());
        EXPECT_FALSE(form.ConfirmButton->isEnabled());
        QTest::keyClick(form.SkinList, Qt::Key_End);
        ASSERT_EQ(form.SkinList->currentRow(), 1);
        form.ConfirmButton->click();
        EXPECT_EQ(ReadString(Setting::SkinFile, kAdmin), "Zima.obs");
    }
    EXPECT_TRUE(ui.finished());
}

TEST_F(SettingsForm, BackupReportsAndShowsTheRestoreChoice)
{
    WriteInteger(Setting::ExitPrompt, 0, kAdmin);
    TSettingsForm form;
    form.show();
    ASSERT_TRUE(form.RestoreBox->isHidden());
    ui.answerMessage(mrOk);
    form.BackupButton->click();
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Kopia wykonana"));
    EXPECT_EQ(ui.requests().back().text, QStringLiteral("Kopia ustawień została pomyślnie wykonana"));
    EXPECT_EQ(ui.requests().back().icon, MessageIcon::Information);
    EXPECT_TRUE(QFileInfo::exists(path("program/KOPIE/Administrator.reg")));
    EXPECT_FALSE(form.RestoreBox->isHidden());
    EXPECT_FALSE(form.RestoreCaption->isHidden());

    WriteInteger(Setting::ExitPrompt, 1, kAdmin);
    form.RestoreBox->setChecked(true);
    ui.answerMessage(mrNo); // the question, answered No: nothing restored
    form.BackupButton->click();
    EXPECT_EQ(ui.requests().back().buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_EQ(ReadInteger(Setting::ExitPrompt, kAdmin), 1);
    ui.answerMessage(mrYes);
    ui.answerMessage(mrOk);
    form.BackupButton->click();
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Kopia przywrócona"));
    EXPECT_EQ(ReadInteger(Setting::ExitPrompt, kAdmin), 0);
    form.reject();
    EXPECT_TRUE(ui.finished());
}

TEST_F(SettingsForm, TheProgramGroupIsMadeAndRemovedAsDesktopEntries)
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    {
        TSettingsForm form;
        form.show();
        EXPECT_FALSE(form.GroupBox->isChecked());
        form.GroupBox->click();
        form.DesktopBox->click();
        form.ConfirmButton->click();
    }
    const QString group = QString::fromStdString(PlatformDesktopIntegration::GroupFolder());
    const QStringList made = QDir(group).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(made,
        (QStringList { QStringLiteral("Odinstalowanie.desktop"), QStringLiteral("Orbita.desktop"),
            QStringLiteral("Strona domowa.desktop") }));
    QFile launcher(group + QStringLiteral("/Orbita.desktop"));
    ASSERT_TRUE(launcher.open(QIODevice::ReadOnly));
    const QString contents = QString::fromUtf8(launcher.readAll());
    EXPECT_TRUE(contents.contains(QStringLiteral("Categories=Education;Science;Chemistry;")));
    EXPECT_TRUE(contents.contains(QStringLiteral("Comment=Uruchamia panel główny programu")));
    if (validator.isEmpty()) {
        std::printf("desktop-file-validate is not installed: the entries are not validated\n");
    } else {
        QStringList files;
        for (const QString& name : made)
            files << group + u'/' + name;
        for (const std::string& file : PlatformDesktopIntegration::FilesOf(IntegrationItem::DesktopShortcut))
            files << QString::fromStdString(file);
        for (const QString& file : files) {
            QProcess check;
            check.start(validator, { file });
            ASSERT_TRUE(check.waitForFinished());
            EXPECT_EQ(check.exitCode(), 0) << file.toStdString() << ": " << check.readAll().toStdString();
        }
    }
    // A file of someone else's in the group stays; only what was made goes.
    QFile other(group + QStringLiteral("/inny.desktop"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    {
        TSettingsForm form;
        form.show();
        EXPECT_TRUE(form.GroupBox->isChecked());
        EXPECT_TRUE(form.DesktopBox->isChecked());
        form.GroupBox->click();
        form.DesktopBox->click();
        form.ConfirmButton->click();
    }
    EXPECT_EQ(QDir(group).entryList(QDir::Files), QStringList { QStringLiteral("inny.desktop") });
    QFile::remove(group + QStringLiteral("/inny.desktop"));
    {
        // The folder, now empty, still shows as the group; clearing it again
        // removes the folder.
        TSettingsForm form;
        form.show();
        EXPECT_TRUE(form.GroupBox->isChecked());
        form.GroupBox->click();
        form.ConfirmButton->click();
    }
    EXPECT_FALSE(QFileInfo::exists(group));
    for (const std::string& file : PlatformDesktopIntegration::FilesOf(IntegrationItem::DesktopShortcut))
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file)));
    EXPECT_TRUE(ui.finished());
}

// A shortcut that cannot be written is reported once OK has written the rest.
TEST_F(SettingsForm, AFailedShortcutIsReportedAndTheOtherValuesAreWritten)
{
    class Failing final : public DesktopIntegration {
    public:
        bool Exists(IntegrationItem) const override { return false; }
        std::vector<std::string> Create(IntegrationItem) override
        {
            return { "Nie można zapisać skrótu „/x/Orbita.desktop”." };
        }
        std::vector<std::string> Remove(IntegrationItem) override { return {}; }
    } failing;
    TSettingsForm form(nullptr, &failing);
    form.show();
    form.DesktopBox->click();
    form.PlacementBox->click();
    ui.answerMessage(mrOk);
    form.ConfirmButton->click();
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].icon, MessageIcon::Error);
    EXPECT_TRUE(ui.requests()[0].text.contains(QStringLiteral("„/x/Orbita.desktop”")));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(ReadInteger(Setting::SaveWindowsPlacement, kAdmin), 1);
    EXPECT_TRUE(ui.finished());
}

TEST_F(SettingsForm, HelpTipAndTheOpener)
{
    TSettingsForm form;
    form.show();
    press(form.Drzewko, Qt::Key_F1);
    form.HelpButton->click();
    form.TipButton->click();
    EXPECT_EQ(opener.take(),
        (QStringList { QStringLiteral("help O_USTAWN"), QStringLiteral("help O_USTAWN"),
            QStringLiteral("tip without its box") }));
    form.reject();

    // The program's opener shows this window.
    QString shown;
    ui.answerModal([&](QDialog& dialog) {
        shown = dialog.objectName();
        return mrCancel;
    });
    ProgramWindowOpener program;
    program.OpenSettings(nullptr);
    EXPECT_EQ(shown, QStringLiteral("SettingsForm"));
    EXPECT_TRUE(ui.finished());
}

} // namespace
} // namespace orbita
