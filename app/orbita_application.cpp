#include "app/orbita_application.h"

#include "platform/qt_text.h"
#include "platform/ui_services.h"

#include <QSocketNotifier>
#include <csignal>
#include <exception>
#include <sys/socket.h>
#include <unistd.h>

namespace orbita {
namespace {

int g_signalPipe[2] = { -1, -1 };

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[0], &byte, 1);
}

} // namespace

OrbitaApplication::OrbitaApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool OrbitaApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Ui().ShowMessage(nullptr, QStringLiteral("Orbita"), FromUtf8(error.what()), MessageIcon::Error,
            MessageButtons::Ok);
    } catch (...) {
        Ui().ShowMessage(nullptr, QStringLiteral("Orbita"),
            QStringLiteral("Wystąpił nieoczekiwany błąd programu."), MessageIcon::Error, MessageButtons::Ok);
    }
    return false;
}

void QuitOnTerminationSignals()
{
    if (g_signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(g_signalPipe[1], &byte, 1);
        // exit(), not quit(): quit() first asks every window to close, and a
        // main window that asks before closing would keep the run alive.
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : { SIGTERM, SIGINT, SIGHUP })
        sigaction(signal, &action, nullptr);
}

} // namespace orbita
