#include "widgets/glyph_button.h"

#include <QIcon>
#include <QToolButton>
#include <algorithm>

namespace orbita {

QToolButton* MakeGlyphButton(
    QWidget* parent, const char* name, const char* picture, const QString& caption, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(QIcon(QStringLiteral(":/res/") + QString::fromLatin1(picture) + QStringLiteral(".png")));
    button->setText(caption);
    button->setToolTip(hint);
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(false);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    if (!caption.isEmpty()) {
        // The style's own hint leaves some captions a few pixels short.
        QString shown = caption;
        shown.remove(QLatin1Char('&'));
        const int needed = button->iconSize().width() + button->fontMetrics().horizontalAdvance(shown) + 20;
        button->setMinimumWidth(std::max(button->sizeHint().width(), needed));
    }
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace orbita
