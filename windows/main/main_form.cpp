#include "windows/main/main_form.h"

#include <QTimer>

namespace orbita {

TMainForm::TMainForm(QWidget* splash, QWidget* parent)
    : SimpleMainWindow(QStringLiteral("MainForm"), QStringLiteral("Orbita"),
        QStringLiteral("Układ okresowy pierwiastków pojawi się tutaj."), parent)
    , m_splash(splash)
{
    resize(630, 423);
    m_splashTimer = new QTimer(this);
    m_splashTimer->setSingleShot(true);
    m_splashTimer->setInterval(1000);
    connect(m_splashTimer, &QTimer::timeout, this, &TMainForm::SplashTimerTimer);
    m_splashTimer->start();
}

void TMainForm::SplashTimerTimer()
{
    if (m_splash) {
        m_splash->close();
        m_splash->deleteLater();
    }
}

} // namespace orbita
