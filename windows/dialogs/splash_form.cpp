#include "windows/dialogs/splash_form.h"

#include "platform/window_services.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>

namespace orbita {

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(600, 180);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

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

} // namespace orbita
