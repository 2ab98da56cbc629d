#include "windows/dialogs/splash_form.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace orbita {

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(600, 180);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TSplashForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(0x1F, 0x4E, 0x8C));
    gradient.setColorAt(1, QColor(0x0B, 0x23, 0x45));
    painter.fillRect(rect(), gradient);
    painter.setPen(Qt::white);
    QFont title(QStringLiteral("Arial"), 40, QFont::Bold);
    painter.setFont(title);
    painter.drawText(QRect(0, 25, width(), 80), Qt::AlignCenter, QStringLiteral("Orbita"));
    QFont subtitle(QStringLiteral("Arial"), 13);
    painter.setFont(subtitle);
    painter.drawText(QRect(0, 105, width(), 40), Qt::AlignCenter,
        QStringLiteral("Multimedialny układ okresowy pierwiastków"));
}

} // namespace orbita
