// Implements: the Wayland backend's start for the Linux entry.
#include "platform/wayland/wl_backend.h"

#include <string>

#include "platform/wayland/wl_connection.h"
#include "platform/wayland/wl_loop.h"
#include "platform/wayland/wl_system.h"
#include "platform/wayland/wl_timer.h"

namespace wayland {
void Start(std::string commandLine) {
  SetCommandLine(std::move(commandLine));
  StartClock();
}

}  // namespace wayland
