// Implements: the X11 backend's table for the entry.
#include "platform/linux_entry/linux_backend.h"
#include "platform/x11/x11_backend.h"

namespace linux_platform {

#define QUELVO_X11_PLATFORM_ENTRY(fn) .fn = &::platform::on_x11::fn,
#define QUELVO_X11_USER32_ENTRY(fn) .fn = &::user32::on_x11::fn,
const Backend kX11Backend = {.name = "x11",
                             .Connect = x11::Connect,
                             .Start = x11::Start,
                             .Shutdown = x11::Shutdown,
                             QUELVO_PLATFORM_CALLS(QUELVO_X11_PLATFORM_ENTRY)
                                 QUELVO_USER32_CALLS(QUELVO_X11_USER32_ENTRY)};

}  // namespace linux_platform
