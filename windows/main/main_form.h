#pragma once

#include "windows/main/simple_main_window.h"

#include <QPointer>

class QTimer;

namespace orbita {

// The periodic-table window. Until the skinned table arrives it is a plain
// window captioned "Orbita" that closes the splash screen about a second
// after it opens.
class TMainForm final : public SimpleMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* splash = nullptr, QWidget* parent = nullptr);

private:
    void SplashTimerTimer();

    QPointer<QWidget> m_splash;
    QTimer* m_splashTimer = nullptr;
};

} // namespace orbita
