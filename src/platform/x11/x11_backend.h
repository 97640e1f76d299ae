// What the X11 backend gives the Linux entry: its calls, its start and stop, and the
// embedding in a daemon's window, which only X11 has.
#pragma once

#include <optional>
#include <string>

#include "platform/linux_shared/linux_calls.h"

namespace platform::on_x11 {
QUELVO_PLATFORM_CALLS(QUELVO_DECLARE_PLATFORM_CALL)
}
namespace user32::on_x11 {
QUELVO_USER32_CALLS(QUELVO_DECLARE_USER32_CALL)
}

namespace x11 {

// Opens the display; false when none accepts the connection.
bool Connect();
// Records the program's command line and starts the clock.
void Start(std::string commandLine);
// Gives back what the saver took and closes the display; safe to call twice.
void Shutdown();

// The program's own preview switch for a daemon's window (none: the root window), once
// connected; nothing, with the reason in `error`, when the display has no such window.
std::optional<std::string> EmbeddingCommand(std::optional<unsigned long> window,
                                            std::string& error);

}  // namespace x11
