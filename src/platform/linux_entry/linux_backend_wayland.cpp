// Implements: the Wayland backend's table for the entry.
#include "platform/linux_entry/linux_backend.h"
#include "platform/wayland/wl_backend.h"

namespace linux_platform {

#define QUELVO_WAYLAND_PLATFORM_ENTRY(fn) .fn = &::platform::on_wayland::fn,
#define QUELVO_WAYLAND_USER32_ENTRY(fn) .fn = &::user32::on_wayland::fn,
const Backend kWaylandBackend = {.name = "wayland",
                                 .Connect = wayland::Connect,
                                 .Start = wayland::Start,
                                 .Shutdown = wayland::Shutdown,
                                 QUELVO_PLATFORM_CALLS(QUELVO_WAYLAND_PLATFORM_ENTRY)
                                     QUELVO_USER32_CALLS(QUELVO_WAYLAND_USER32_ENTRY)};

}  // namespace linux_platform
