#pragma once

namespace orbita {

// Long work on the user-interface thread (archive decoding, waiting for a
// transfer) calls PumpMessages() so that windows stay responsive. The
// application sets the hook to QCoreApplication::processEvents; without a hook
// (tools, Qt-free tests) the call does nothing.
using MessagePumpHook = void (*)();

void SetMessagePump(MessagePumpHook hook);
void PumpMessages();

} // namespace orbita
