#include "core/message_pump.h"

#include <atomic>

namespace orbita {
namespace {
std::atomic<MessagePumpHook> g_hook { nullptr };
}

void SetMessagePump(MessagePumpHook hook)
{
    g_hook.store(hook);
}

void PumpMessages()
{
    if (const MessagePumpHook hook = g_hook.load())
        hook();
}

} // namespace orbita
