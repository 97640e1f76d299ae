// Timers on Wayland run on the Linux 1/64 s grid (linux_timer_grid); these are its calls
// the Wayland loop and the entry use.
#pragma once

#include "platform/linux_shared/linux_timer_grid.h"

namespace wayland {

using linux_platform::FireDueTimers;
using linux_platform::NanosecondsUntilNextTick;
using linux_platform::StartClock;

}  // namespace wayland
