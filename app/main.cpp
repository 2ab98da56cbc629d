#include "app/orbita_application.h"
#include "app/start_role.h"
#include "app/startup.h"
#include "core/message_pump.h"
#include "core/version_marker.h"
#include "net/http_get.h"
#include "platform/fonts.h"
#include "platform/localization.h"
#include "platform/single_instance.h"
#include "windows/dialogs/splash_form.h"
#include "windows/main/main_form.h"
#include "windows/main/menu_form.h"
#include "windows/program_window_opener.h"
#include "windows/setup/install_form.h"
#include "windows/setup/uninstall_form.h"

#include <QPointer>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>

using namespace orbita;

namespace {

std::string ownExecutable()
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

// Runs the message loop with `window` as the application's main window:
// closing it ends the loop.
int runMainWindow(QApplication& app, QWidget& window)
{
    app.setQuitOnLastWindowClosed(false);
    window.setAttribute(Qt::WA_QuitOnClose, true);
    QObject::connect(&window, &QObject::destroyed, &app, &QCoreApplication::quit);
    if (auto* form = qobject_cast<TMainFormBase*>(&window))
        QObject::connect(form, &TMainFormBase::closed, &app, &QCoreApplication::quit);
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    const std::string executable = ownExecutable();
    const std::string firstArgument = argc > 1 ? argv[1] : "";
    const StartRole role
        = ChooseStartRole(std::filesystem::path(executable).filename().string(), firstArgument);
    VersionMarker(); // keeps the file version in the executable
    // A connection the server has closed must fail the write, not end the
    // program (the download workers ask libcurl not to handle signals).
    std::signal(SIGPIPE, SIG_IGN);

    PrepareFontConfiguration();
    OrbitaApplication app(argc, argv);
    LoadPolishTranslations(app);
    InstallFontSubstitutions();
    SetMessagePump([] { QCoreApplication::processEvents(); });
    InitializeTransfers(); // libcurl's global set-up, on the main thread before any worker
    WatchSettingsStore();
    // Every window of every role (the login at start-up, the installer and
    // uninstaller included) opens the others through this one opener.
    ProgramWindowOpener windows;
    SetWindowOpener(&windows);

    switch (role) {
    case StartRole::SelfRemoval:
        RunSelfRemoval(ChooseRemovalScope(firstArgument), executable);
        return 0;
    case StartRole::Uninstall: {
        TUninstallForm form;
        return runMainWindow(app, form);
    }
    case StartRole::Install: {
        WarnAboutOlderGeneration();
        TInstallForm form;
        return runMainWindow(app, form);
    }
    case StartRole::Application:
        break;
    }

    if (IsAlreadyRunning()) {
        RefuseSecondInstance();
        return 0;
    }
    QCoreApplication::setApplicationName(QStringLiteral("Orbita"));

    const StartWindow start = PrepareApplicationStart();
    if (start == StartWindow::None)
        return 0;

    std::unique_ptr<TMainFormBase> mainWindow;
    if (start == StartWindow::Launcher) {
        mainWindow = std::make_unique<TMenuForm>();
    } else {
        auto* splash = new TSplashForm; // freed by the main window's splash timer
        splash->show();
        splash->repaint();
        mainWindow = std::make_unique<TMainForm>(splash);
        splash->StayAbove(*mainWindow);
    }
    QPointer<QWidget> window = mainWindow.get();
    ListenForInstances([window] { return window && window->isVisible(); },
        [window] {
            if (!window)
                return;
            window->showNormal();
            window->raise();
            window->activateWindow();
        });
    QuitOnTerminationSignals();
    const int result = runMainWindow(app, *mainWindow);
    FinishApplicationRun();
    // Transfers still running (the start notification) are cancelled; a worker
    // that does not end in time is left to the process exit.
    ShutdownTransfers(std::chrono::seconds(3));
    return result;
}
