#include "app/startup.h"

#include "core/cp1250.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "data/archive_directory.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/single_instance.h"
#include "platform/ui_services.h"
#include "windows/settings/desktop_integration.h"
#include "windows/settings/login_form.h"
#include "windows/setup/install_logic.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QString>
#include <QThread>

namespace orbita {
namespace {

bool fileExists(const std::string& path)
{
    return QFileInfo(FromPath(path)).isFile();
}

// Shows a problem of the settings store, once per run.
void tellStoreProblem(const std::string& message)
{
    static bool told = false;
    if (told)
        return;
    told = true;
    Ui().ShowMessage(nullptr, QStringLiteral("Ustawienia programu"), QString::fromUtf8(message),
        MessageIcon::Warning, MessageButtons::Ok);
}

} // namespace

void WatchSettingsStore()
{
    // The first lost write is told when the event loop next runs, not in the
    // middle of whatever was writing.
    SetRegistryProblemHandler([](const std::string& message) {
        if (auto* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app, [message] { tellStoreProblem(message); }, Qt::QueuedConnection);
    });
}

std::string DataPackagePath()
{
    return ContentArchivePath();
}

DataPackageState CheckDataPackage(const std::string& path)
{
    if (!fileExists(path))
        return DataPackageState::Missing;
    // A package cut short or overwritten has no readable directory; without
    // the element database no window of the program has anything to show.
    ArchiveEntry database;
    return FindArchiveEntry(path, "UKLAD\\DANE.TXT", database) ? DataPackageState::Usable
                                                               : DataPackageState::Damaged;
}

StartWindow PrepareApplicationStart()
{
    const std::string package = DataPackagePath();
    switch (CheckDataPackage(package)) {
    case DataPackageState::Usable:
        break;
    case DataPackageState::Missing:
        Ui().ShowMessage(nullptr, QStringLiteral("Orbita"),
            QStringLiteral("Nie odnaleziono bazy danych programu"), MessageIcon::Error, MessageButtons::Ok);
        return StartWindow::None;
    case DataPackageState::Damaged:
        Ui().ShowMessage(nullptr, QStringLiteral("Orbita"),
            QStringLiteral("Baza danych programu (%1) jest uszkodzona")
                .arg(QFileInfo(FromPath(package)).fileName()),
            MessageIcon::Error, MessageButtons::Ok);
        return StartWindow::None;
    }

    if (const auto store = CheckRegistry(); store.state == RegistryState::Unavailable)
        tellStoreProblem("Nie można odczytać ustawień programu: " + store.reason
            + ". Program działa z ustawieniami domyślnymi i nie zachowa zmian.");

    const std::int32_t runCount = ReadInteger(Setting::RunCount);
    WriteInteger(Setting::RunCount, runCount < 0 ? 1 : runCount + 1);

    if (!ReadString(Setting::Password, kAdministratorAccount).empty()) {
        TLoginForm login;
        if (Ui().ShowModal(login) == mrCancel)
            return StartWindow::None;
    } else {
        SetCurrentUserName(kAdministratorAccount);
    }

    return ReadFlag(Setting::StartupMode) ? StartWindow::Launcher : StartWindow::Table;
}

void FinishApplicationRun()
{
    SetCurrentUserName("");
}

void RefuseSecondInstance()
{
    if (!AskFirstInstanceForWindow())
        return; // the first instance has no main window yet: end silently
    Ui().ShowMessage(nullptr, QStringLiteral("Program jest już uruchomiony"),
        QStringLiteral("Nie możesz uruchomić programu, gdyż jest on już załadowany do pamięci komputera. "
                       "Jeśli problem będzie się powtarzał, pomimo braku załadowanego programu, należy "
                       "ponownie uruchomić komputer :o("),
        MessageIcon::Information, MessageButtons::Ok);
    SendRestoreRequest();
}

void RunSelfRemoval(RemovalScope scope, const std::string& ownExecutable)
{
    // Every deletion is silent and a failure is ignored; the closing message
    // is shown in every case.
    auto special = [](int csidl) -> std::string {
        try {
            return WithTrailingBackslash(SpecialFolderPath(csidl));
        } catch (const std::exception&) {
            return {};
        }
    };
    // The shortcuts and the program group as the installer and the settings
    // window make them, and a group folder named as the system first had it.
    PlatformDesktopIntegration integration(ExecutablePath());
    for (IntegrationItem item :
        { IntegrationItem::DesktopShortcut, IntegrationItem::MenuShortcut, IntegrationItem::ProgramGroup })
        integration.Remove(item);
    if (const std::string programs = special(2); !programs.empty() && FolderExists(programs + "Orbita"))
        ShellDelete(programs + "Orbita");

    DeleteUninstallEntry();
    QThread::yieldCurrentThread();

    // A running executable can be removed on Linux, so the copy removes
    // itself (first: a copy inside the installation folder must not keep
    // the emptied folder) instead of leaving a clean-up script behind.
    QFile::remove(FromPath(ownExecutable));

    const std::string folder = Cp1250ToUtf8(ReadString(Setting::InstallPath));
    if (scope == RemovalScope::Slim) {
        if (!folder.empty())
            RemoveProgramFiles(folder);
    } else if (scope == RemovalScope::Full) {
        // Only what the installer wrote goes, and the folder once it is
        // empty: a pupil's own files in it are kept.
        if (!folder.empty())
            RemoveInstallation(folder);
        DeleteAllSettings();
    }

    Ui().ShowMessage(nullptr, QStringLiteral("Rezultat odinstalowania"),
        QStringLiteral("Program został pomyślnie odinstalowany z tego komputera"), MessageIcon::Information,
        MessageButtons::Ok);
}

void WarnAboutOlderGeneration()
{
    const std::string folder = Cp1250ToUtf8(ReadString(Setting::OlderProgramPath));
    if (folder.empty() || !FolderExists(folder))
        return;
    const std::string base = WithTrailingBackslash(folder);
    if (!fileExists(base + "ORBITA.EXE") && !fileExists(base + "orbita"))
        return;
    Ui().ShowMessage(nullptr, QStringLiteral("Wykryto starszą wersję programu"),
        QStringLiteral(
            "Instalator wykrył, że na tym komputerze znajduje się już zainstalowana wersja programu "
            "Orbita 2. Program instalacyjny przeniesie ustawienia ze starej wersji do nowej, a "
            "następnie usunie niepotrzebne wpisy w rejestrze"),
        MessageIcon::Information, MessageButtons::Ok);
}

} // namespace orbita
