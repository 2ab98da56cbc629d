#pragma once

#include <QApplication>

namespace orbita {

// The application object. An exception that no window handles is shown in a
// message box and the message loop goes on.
class OrbitaApplication final : public QApplication {
public:
    OrbitaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// SIGTERM, SIGINT and SIGHUP end the message loop the ordinary way, so that
// the end of the run is recorded as after closing the main window.
void QuitOnTerminationSignals();

} // namespace orbita
