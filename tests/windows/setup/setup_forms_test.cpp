// The installer and uninstaller windows: help, the wizard's pages and rules,
// the copy into a temporary folder, closing, and the uninstaller's hand-over.

#include "core/password_hash.h"
#include "core/settings.h"
#include "htmlview/html_view_widget.h"
#include "platform/scripted_ui_services.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "windows/setup/install_form.h"
#include "windows/setup/uninstall_form.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <unistd.h>

namespace orbita {
namespace {

class SetupForms : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("source")));
        writeFile("source/orbita", "program ORBITA-FILEVERSION:3.5.1.0");
        QFile::setPermissions(path("source/orbita"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile("source/ORBITA.DAT", "archive");
        writeFile("source/INTRO.WAV", "intro");
    }

    void writeFile(const char* name, const QByteArray& bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name;
        file.write(bytes);
    }

    std::unique_ptr<TInstallForm> installer()
    {
        auto form = std::make_unique<TInstallForm>(
            InstallerSource { stdPath("source") + "/", stdPath("source/orbita"), "3.5.1.0" },
            [this](const QString& program, const QStringList& arguments) {
                started << (QStringList { program } + arguments).join(u' ');
                return startSucceeds;
            });
        form->show();
        return form;
    }

    // The page shown, by its component name.
    static QString page(const TInstallForm& form) { return form.Pages->currentWidget()->objectName(); }

    // Walks from the welcome page to the shortcuts page, into `folder`.
    void walkToShortcuts(TInstallForm& form, const QString& folder)
    {
        form.DalejPrzycisk->click();
        form.UmowaOpcja->setChecked(true);
        form.DalejPrzycisk->click();
        form.FolderEdycja->setText(folder);
        form.DalejPrzycisk->click();
        ASSERT_EQ(page(form), QStringLiteral("Skroty"));
    }

    QStringList started;
    bool startSucceeds = true;
};

TEST_F(SetupForms, HelpButtonAndF1OpenTheWindowsTopic)
{
    const struct {
        std::function<std::unique_ptr<QWidget>()> create;
        QString topic;
        bool asksBeforeClosing;
    } rows[] = {
        { [] { return std::make_unique<TInstallForm>(); }, QStringLiteral("help O_INST"), true },
        { [] { return std::make_unique<TUninstallForm>(); }, QStringLiteral("help O_USUN"), false },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.topic.toStdString());
        test::RecordingWindowOpener windows;
        ScriptedUiServices ui;
        const std::unique_ptr<QWidget> window = row.create();
        window->show();
        auto* help = window->findChild<QPushButton*>(QStringLiteral("PomocPrzycisk"));
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->text(), QStringLiteral("Pomo&c"));
        help->click();
        QTest::keyClick(help, Qt::Key_F1);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(windows.ownedBy(window.get()));
        EXPECT_EQ(windows.take(), QStringList(2, row.topic));
        if (row.asksBeforeClosing)
            ui.answerMessage(mrYes);
        QTest::keyClick(help, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(ui.finished());
    }
}

// Each window shows its own icon, in the small and the large size.
TEST_F(SetupForms, BothWindowsCarryTheirOwnIcon)
{
    const TInstallForm install;
    const TUninstallForm uninstall;
    const auto small = [](const QIcon& icon) {
        return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    for (const QIcon& icon : { install.windowIcon(), uninstall.windowIcon() }) {
        ASSERT_FALSE(icon.isNull());
        EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
        EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    }
    EXPECT_EQ(small(install.windowIcon()),
        QImage(QStringLiteral(":/res/TOOL_2_16.png")).convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(small(uninstall.windowIcon()),
        QImage(QStringLiteral(":/res/TOOL_3_16.png")).convertToFormat(QImage::Format_ARGB32));
    EXPECT_NE(small(install.windowIcon()), small(uninstall.windowIcon()));
}

TEST_F(SetupForms, TheWizardWalksItsPagesAndInstallsIntoTheChosenFolder)
{
    test::RecordingWindowOpener windows;
    ScriptedUiServices ui;
    const auto form = installer();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Instalator programu Orbita 3.5.1"));
    EXPECT_EQ(page(*form), QStringLiteral("Powitanie"));
    EXPECT_FALSE(form->WsteczPrzycisk->isEnabled());
    EXPECT_EQ(form->MailCaption->text(), QStringLiteral("Postęp instalacji"));
    EXPECT_EQ(form->StepLabels.at(0)->text(), QStringLiteral("Wprowadzenie"));
    EXPECT_TRUE(form->StepLabels.at(0)->styleSheet().contains(QStringLiteral("bold")));

    // The licence must be accepted before going on; Enter is Dalej.
    QTest::keyClick(form->ThnxHtml, Qt::Key_Return);
    EXPECT_EQ(page(*form), QStringLiteral("Licencja"));
    EXPECT_TRUE(form->StepLabels.at(1)->styleSheet().contains(QStringLiteral("bold")));
    EXPECT_FALSE(form->StepLabels.at(0)->styleSheet().contains(QStringLiteral("bold;")));
    EXPECT_FALSE(form->DalejPrzycisk->isEnabled());
    QTest::keyClick(form->UmowaOpcja, Qt::Key_Return);
    EXPECT_EQ(page(*form), QStringLiteral("Licencja"));
    form->UmowaOpcja->setChecked(true);
    EXPECT_TRUE(form->DalejPrzycisk->isEnabled());
    form->DalejPrzycisk->click();

    // The folder page proposes the per-user folder; a relative one is refused.
    EXPECT_EQ(page(*form), QStringLiteral("Katalog"));
    EXPECT_EQ(form->FolderEdycja->text(),
        ::geteuid() == 0 ? QStringLiteral("/opt/Orbita") : path("data") + QStringLiteral("/Orbita"));
    EXPECT_EQ(form->FolderEdycja->selectedText(), form->FolderEdycja->text());
    form->FolderEdycja->clear();
    EXPECT_FALSE(form->DalejPrzycisk->isEnabled());
    form->FolderEdycja->setText(QStringLiteral("Programy/Orbita"));
    ui.answerMessage(mrOk);
    form->DalejPrzycisk->click();
    EXPECT_EQ(page(*form), QStringLiteral("Katalog"));
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Nieprawidłowy folder"));
    const QString target = path("apps/Orbita");
    form->FolderEdycja->setText(target);
    form->DalejPrzycisk->click();

    EXPECT_EQ(page(*form), QStringLiteral("Skroty"));
    EXPECT_FALSE(form->DesktopBox->isChecked());
    EXPECT_FALSE(form->MenuStartBox->isChecked());
    form->DesktopBox->setChecked(true);
    form->DalejPrzycisk->click();
    EXPECT_EQ(page(*form), QStringLiteral("Tryb"));
    EXPECT_TRUE(form->StandardBox->isChecked());
    form->DalejPrzycisk->click();

    // Mismatching passwords keep the access page.
    EXPECT_EQ(page(*form), QStringLiteral("Dostep"));
    EXPECT_TRUE(form->UserBox->isChecked());
    EXPECT_FALSE(form->PasswordPanel->isVisibleTo(form.get()));
    form->RootBox->setChecked(true);
    EXPECT_TRUE(form->PasswordPanel->isVisibleTo(form.get()));
    form->PasswordBox->setText(QStringLiteral("Żółw"));
    form->ConfirmBox->setText(QStringLiteral("żółw"));
    ui.answerMessage(mrOk);
    form->DalejPrzycisk->click();
    EXPECT_EQ(page(*form), QStringLiteral("Dostep"));
    ASSERT_EQ(ui.requests().size(), 2u);
    EXPECT_EQ(ui.requests()[1].caption, QStringLiteral("Nieprawidłowe hasło"));
    EXPECT_EQ(ui.requests()[1].text, QStringLiteral("Wprowadziłeś nieprawidłowe hasło"));
    EXPECT_EQ(ui.requests()[1].icon, MessageIcon::Information);
    form->ConfirmBox->setText(QStringLiteral("Żółw"));
    form->DalejPrzycisk->click();
    EXPECT_EQ(page(*form), QStringLiteral("Gotowy"));

    // A close request during the copy is refused without a question.
    QTimer::singleShot(0, form.get(), [&] { form->close(); });
    form->DalejPrzycisk->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(ui.requests().size(), 2u);
    EXPECT_EQ(page(*form), QStringLiteral("Wykonane"));
    EXPECT_TRUE(form->Installed());
    EXPECT_EQ(form->PasekPostepu->value(), 100);
    EXPECT_EQ(form->RunCaption->text(),
        QStringLiteral(
            "Program został pomyślnie zainstalowany na tym komputerze. Aby uruchomić go teraz wciśnij "
            "przycisk Zakończ (lub klawisz Escape)."));
    EXPECT_FALSE(form->DalejPrzycisk->isEnabled());
    EXPECT_FALSE(form->WsteczPrzycisk->isEnabled());
    EXPECT_TRUE(form->UruchomOpcja->isChecked());

    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/orbita")).isExecutable());
    EXPECT_TRUE(QFileInfo::exists(target + QStringLiteral("/ORBITA.DAT")));
    EXPECT_TRUE(QFileInfo::exists(path("data/applications/orbita/Odinstalowanie.desktop")));
    EXPECT_TRUE(QFileInfo::exists(path("home/Desktop/Orbita.desktop")));
    EXPECT_FALSE(QFileInfo::exists(path("data/applications/Orbita.desktop")));
    EXPECT_EQ(ReadString(Setting::InstallPath), target.toStdString());
    EXPECT_EQ(
        CheckPassword(ReadString(Setting::Password, kAdministratorAccount), "Żółw"), PasswordCheck::Match);

    // Closing now starts the installed program, and asks nothing.
    QTest::keyClick(form->UruchomOpcja, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(started, QStringList { target + QStringLiteral("/orbita") });
    EXPECT_TRUE(ui.finished());
}

TEST_F(SetupForms, LeavingBeforeTheEndAsksAndNoKeepsTheWizard)
{
    ScriptedUiServices ui;
    const auto form = installer();
    form->DalejPrzycisk->click();
    ui.answerMessage(mrNo);
    form->AnulujPrzycisk->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(page(*form), QStringLiteral("Licencja"));
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Przerwanie instalacji"));
    EXPECT_EQ(ui.requests()[0].buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_EQ(ui.requests()[0].icon, MessageIcon::Question);
    ui.answerMessage(mrYes);
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(started.isEmpty());
    EXPECT_TRUE(ui.finished());
}

TEST_F(SetupForms, AReinstallationOverAPasswordPassesTheModeAndAccessPagesBothWays)
{
    ScriptedUiServices ui;
    WriteString(Setting::Password, *HashPassword("stare"), kAdministratorAccount);
    WriteInteger(Setting::StartupMode, 1, kAdministratorAccount);
    const auto form = installer();
    walkToShortcuts(*form, path("apps/Orbita"));
    form->DalejPrzycisk->click();
    EXPECT_EQ(page(*form), QStringLiteral("Gotowy"));
    form->WsteczPrzycisk->click();
    EXPECT_EQ(page(*form), QStringLiteral("Skroty"));
    form->DalejPrzycisk->click();
    form->DalejPrzycisk->click();
    EXPECT_TRUE(form->Installed());
    EXPECT_EQ(
        CheckPassword(ReadString(Setting::Password, kAdministratorAccount), "stare"), PasswordCheck::Match);
    EXPECT_EQ(ReadInteger(Setting::StartupMode, kAdministratorAccount), 0);
    EXPECT_TRUE(ui.finished());
}

TEST_F(SetupForms, AFailedInstallationIsToldAndNothingIsStarted)
{
    ScriptedUiServices ui;
    QFile::remove(path("source/ORBITA.DAT"));
    const auto form = installer();
    walkToShortcuts(*form, path("apps/Orbita"));
    for (int i = 0; i < 4; ++i)
        form->DalejPrzycisk->click();
    ASSERT_EQ(page(*form), QStringLiteral("Wykonane"));
    EXPECT_TRUE(form->RunCaption->text().startsWith(QStringLiteral("Instalacja programu nie powiodła się:")));
    EXPECT_TRUE(form->RunCaption->text().contains(QStringLiteral("ORBITA.DAT")));
    EXPECT_FALSE(form->RunCaption->text().contains(QStringLiteral("pomyślnie")));
    EXPECT_FALSE(form->UruchomOpcja->isEnabled());
    form->close();
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(ReadString(Setting::InstallPath), "");
    EXPECT_TRUE(ui.finished());
}

class UninstallFormTest : public SetupForms {
protected:
    std::unique_ptr<TUninstallForm> uninstaller(bool withTemporaryFolder = true)
    {
        QDir().mkpath(path("tmp"));
        auto form = std::make_unique<TUninstallForm>(stdPath("source/orbita"),
            withTemporaryFolder ? stdPath("tmp") + "/" : std::string(),
            [this](const QString& program, const QStringList& arguments) {
                started << (QStringList { program } + arguments).join(u' ');
                return startSucceeds;
            });
        form->show();
        return form;
    }
};

TEST_F(UninstallFormTest, AConfirmedRemovalHandsOverToAnExecutableCopyWithTheChosenScope)
{
    for (const bool full : { false, true }) {
        SCOPED_TRACE(full);
        started.clear();
        QFile::remove(path("tmp/REMOVEME"));
        ScriptedUiServices ui;
        const auto form = uninstaller();
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Odinstalowanie programu Orbita 3.5.1"));
        EXPECT_TRUE(form->CzesciowaOpcja->isChecked());
        if (full)
            form->PelnaOpcja->setChecked(true);

        ui.answerMessage(mrNo);
        QTest::keyClick(form->OdinstalujPrzycisk, Qt::Key_Return);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->PelnaOpcja->isChecked(), full);
        EXPECT_FALSE(QFileInfo::exists(path("tmp/REMOVEME")));
        EXPECT_TRUE(started.isEmpty());
        ASSERT_EQ(ui.requests().size(), 1u);
        EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Odinstalowanie programu"));
        EXPECT_EQ(ui.requests()[0].buttons, MessageButtons::YesNoDefaultNo);

        ui.answerMessage(mrYes);
        form->OdinstalujPrzycisk->click();
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(QFileInfo(path("tmp/REMOVEME")).isExecutable());
        EXPECT_EQ(started,
            QStringList {
                path("tmp/REMOVEME") + (full ? QStringLiteral(" /FULL") : QStringLiteral(" /SLIM")) });
        EXPECT_TRUE(ui.finished());
    }
}

TEST_F(UninstallFormTest, ACopyThatCannotBeMadeOrStartedIsToldAndTheWindowStays)
{
    {
        ScriptedUiServices ui;
        startSucceeds = false;
        const auto form = uninstaller();
        ui.answerMessage(mrYes);
        ui.answerMessage(mrOk);
        form->OdinstalujPrzycisk->click();
        EXPECT_TRUE(form->isVisible());
        ASSERT_EQ(ui.requests().size(), 2u);
        EXPECT_EQ(ui.requests()[1].icon, MessageIcon::Error);
        EXPECT_TRUE(ui.requests()[1].text.contains(QStringLiteral("REMOVEME")));
        EXPECT_TRUE(ui.finished());
    }
    {
        ScriptedUiServices ui;
        startSucceeds = true;
        started.clear();
        const auto form = uninstaller(false);
        ui.answerMessage(mrYes);
        ui.answerMessage(mrOk);
        form->OdinstalujPrzycisk->click();
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(started.isEmpty());
        EXPECT_TRUE(ui.finished());
    }
}

TEST_F(UninstallFormTest, EscapeClosesWithoutTouchingAnything)
{
    ScriptedUiServices ui;
    const auto form = uninstaller();
    QTest::keyClick(form->PelnaOpcja, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(ui.requests().empty());
    EXPECT_FALSE(QFileInfo::exists(path("tmp/REMOVEME")));
    EXPECT_TRUE(started.isEmpty());
}

} // namespace
} // namespace orbita
