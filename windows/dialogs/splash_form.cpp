#include "windows/dialogs/splash_form.h"

#include "platform/window_services.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QTimer>

namespace orbita {

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(600, 180);
    CentreOnScreen(*this);

    SplashImage = new QLabel(this);
    SplashImage->setObjectName(QStringLiteral("SplashImage"));
    SplashImage->setGeometry(0, 0, 600, 180);
    DrawResourceBitmap(*SplashImage, QStringLiteral("SPLASH"));

    PrawaEtykieta = new QLabel(this);
    PrawaEtykieta->setObjectName(QStringLiteral("PrawaEtykieta"));
    PrawaEtykieta->setGeometry(112, 115, 377, 57);
    PrawaEtykieta->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    PrawaEtykieta->setWordWrap(true);
    PrawaEtykieta->setAttribute(Qt::WA_TranslucentBackground);
    PrawaEtykieta->setAutoFillBackground(false);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    font.setBold(true);
    PrawaEtykieta->setFont(font);
    QPalette palette = PrawaEtykieta->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    PrawaEtykieta->setPalette(palette);
    PrawaEtykieta->setText(QStringLiteral(
        "Ostrzeżenie: program jest chroniony prawem autorskim. Kopiowanie i rozpowszechnianie go w całości "
        "lub w części bez zgody Zespołu Orbity jest zabronione."));
}

void TSplashForm::StayAbove(QWidget& window)
{
    if (m_below)
        m_below->removeEventFilter(this);
    m_below = &window;
    window.installEventFilter(this);
}

bool TSplashForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_below && isVisible()) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::ZOrderChange:
        case QEvent::WindowActivate:
            // After the event: a window being shown is mapped only once its
            // show event has been sent.
            QTimer::singleShot(0, this, [this] {
                if (isVisible())
                    raise();
            });
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orbita
