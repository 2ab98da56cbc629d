#include "widgets/accessible_text.h"

#include <QWidget>

namespace orbita {

void SetAccessibleText(QWidget& widget, const QString& name, const QString& description)
{
    widget.setAccessibleName(name);
    if (!description.isEmpty())
        widget.setAccessibleDescription(description);
}

void SetTabChain(const QList<QWidget*>& chain)
{
    if (chain.isEmpty())
        return;
    // Tab order is a ring through the window: pairs alone would leave the
    // ring's start wherever creation put it, so the first control is placed
    // right after the window itself (which Qt links only while it takes focus).
    QWidget* window = chain.front()->window();
    const Qt::FocusPolicy policy = window->focusPolicy();
    if (policy == Qt::NoFocus)
        window->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(window, chain.front());
    window->setFocusPolicy(policy);
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

} // namespace orbita
