#pragma once

#include <QIcon>
#include <QPushButton>
#include <QString>

namespace orbita {

// A button of the installer's and uninstaller's button rows: its caption,
// its object name (what tests and the accessibility check find it by) and
// its picture from the program's resources.
inline QPushButton* MakeSetupButton(
    QWidget* parent, const char* name, const QString& caption, const char* picture)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(QIcon(QStringLiteral(":/res/%1.png").arg(QLatin1String(picture))));
    return button;
}

} // namespace orbita
