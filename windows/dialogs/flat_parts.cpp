#include "windows/dialogs/flat_parts.h"

#include <QCheckBox>
#include <QFrame>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>

namespace orbita {

QPushButton* NewFlatButton(
    QWidget* parent, const QString& name, const QString& caption, const QString& glyph, const QString& hint)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    button->setStyleSheet(QStringLiteral(
        "QPushButton { border: 1px solid #7a7a7a; background: #f4f4f4; padding: 3px 10px; min-height: 17px; }"
        "QPushButton:hover { background: #ffffff; border-color: #1f3a6e; }"
        "QPushButton:focus { border-color: #1f3a6e; }"
        "QPushButton:pressed { background: #d8d8d8; }"));
    SetButtonGlyph(*button, glyph);
    return button;
}

QCheckBox* NewFlatCheckBox(QWidget* parent, const QString& name, const QString& caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QFrame* NewWhitePanel(QWidget* parent, const QString& name)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    // The selector names the panel only, so the widgets on it keep their own look.
    panel->setStyleSheet(
        QStringLiteral("QFrame#%1 { background: #ffffff; border: 1px solid #808080; }").arg(name));
    return panel;
}

void SetButtonGlyph(QPushButton& button, const QString& glyph)
{
    const QPixmap picture(QStringLiteral(":/res/") + glyph + QStringLiteral(".png"));
    button.setIcon(picture.isNull() ? QIcon() : QIcon(picture));
}

} // namespace orbita
