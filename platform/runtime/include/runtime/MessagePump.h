#pragma once

// The process's window-message pump, as lower layers may call it without knowing the toolkit.
// The toolkit installs its "process pending messages" here when the application starts; a
// blocking network wait calls it between short slices so windows stay painted and movable.

#include <functional>

namespace rtl {

// Installs (or, with an empty function, removes) the pump.
void SetMessagePump(std::function<void()> pump);

// Processes pending window messages once; does nothing when no toolkit is running.
void PumpMessages();

// True when a pump is installed.
bool HasMessagePump();

} // namespace rtl
