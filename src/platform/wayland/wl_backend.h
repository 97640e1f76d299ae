// What the Wayland backend gives the Linux entry: its table of calls.
#pragma once

#include "platform/linux_entry/linux_backend.h"

namespace platform::on_wayland {
QUELVO_PLATFORM_CALLS(QUELVO_DECLARE_PLATFORM_CALL)
}
namespace user32::on_wayland {
QUELVO_USER32_CALLS(QUELVO_DECLARE_USER32_CALL)
}

namespace wayland {

extern const linux_platform::Backend kBackend;

}  // namespace wayland
