#include "windows/main/hint_gate.h"

#include "core/settings.h"

#include <QCoreApplication>
#include <QEvent>

namespace orbita {

HintGate::HintGate(QObject* parent)
    : QObject(parent)
{
    // Filters installed later run first, so this one sees a hint before the
    // filter that shows it.
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

HintGate::~HintGate()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool HintGate::HintsAllowed()
{
    return ReadFlag(Setting::ShowHint);
}

bool HintGate::eventFilter(QObject*, QEvent* event)
{
    return event->type() == QEvent::ToolTip && !HintsAllowed();
}

} // namespace orbita
