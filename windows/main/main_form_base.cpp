#include "windows/main/main_form_base.h"

#include <QCloseEvent>

namespace orbita {

TMainFormBase::TMainFormBase(QWidget* parent)
    : QWidget(parent)
{
}

void TMainFormBase::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

} // namespace orbita
