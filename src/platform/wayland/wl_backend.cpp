// Implements: the Wayland backend's table for the Linux entry (connect, start, shut
// down, and every platform and user32 call).
#include "platform/wayland/wl_backend.h"

#include <string>

#include "platform/linux_shared/linux_signals.h"
#include "platform/wayland/wl_connection.h"
#include "platform/wayland/wl_loop.h"
#include "platform/wayland/wl_system.h"
#include "platform/wayland/wl_timer.h"

namespace wayland {
namespace {

void Start(std::string commandLine) {
  linux_platform::InstallEndingSignals();
  SetCommandLine(std::move(commandLine));
  StartClock();
}

}  // namespace

#define QUELVO_WAYLAND_PLATFORM_ENTRY(fn) .fn = &::platform::on_wayland::fn,
#define QUELVO_WAYLAND_USER32_ENTRY(fn) .fn = &::user32::on_wayland::fn,
const linux_platform::Backend kBackend = {.name = "wayland",
                                          .Connect = Connect,
                                          .Start = Start,
                                          .Shutdown = Shutdown,
                                          QUELVO_PLATFORM_CALLS(QUELVO_WAYLAND_PLATFORM_ENTRY)
                                              QUELVO_USER32_CALLS(QUELVO_WAYLAND_USER32_ENTRY)};

}  // namespace wayland
