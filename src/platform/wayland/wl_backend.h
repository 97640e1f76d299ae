// What the Wayland backend gives the Linux entry: its calls, and its start and stop.
#pragma once

#include <string>

#include "platform/linux_shared/linux_calls.h"

namespace platform::on_wayland {
QUELVO_PLATFORM_CALLS(QUELVO_DECLARE_PLATFORM_CALL)
}
namespace user32::on_wayland {
QUELVO_USER32_CALLS(QUELVO_DECLARE_USER32_CALL)
}

namespace wayland {

// Connects to the compositor; false (and nothing left open) when none usable answers.
bool Connect();
// Records the program's command line and starts the clock.
void Start(std::string commandLine);
// Gives back every surface and object and closes the connection; safe to call twice.
void Shutdown();

}  // namespace wayland
