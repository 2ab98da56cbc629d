#include "windows/main/hint_gate.h"

#include "core/settings.h"

#include <QEvent>

namespace orbita {
namespace {

int g_gates = 0;

// Called by QCoreApplication for every event before its filters and the
// receiver: { receiver, event, &result }. True stops the delivery.
bool stopHint(void** data)
{
    auto* event = static_cast<QEvent*>(data[1]);
    if (event->type() != QEvent::ToolTip || HintGate::HintsAllowed())
        return false;
    *static_cast<bool*>(data[2]) = true; // taken: no one shows it
    return true;
}

} // namespace

HintGate::HintGate(QObject* parent)
    : QObject(parent)
{
    // Application event filters run newest first, so a filter could never be
    // sure to run before a hint handler installed later; the notification
    // hook runs before all of them.
    if (g_gates++ == 0)
        QInternal::registerCallback(QInternal::EventNotifyCallback, &stopHint);
}

HintGate::~HintGate()
{
    if (--g_gates == 0)
        QInternal::unregisterCallback(QInternal::EventNotifyCallback, &stopHint);
}

bool HintGate::HintsAllowed()
{
    return ReadFlag(Setting::ShowHint);
}

} // namespace orbita
