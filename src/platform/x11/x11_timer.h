// Timers on X11 run on the Linux 1/64 s grid (linux_timer_grid); these are its calls
// the X11 loop, the entry and the paint bench use.
#pragma once

#include "platform/linux_shared/linux_timer_grid.h"

namespace x11 {

using linux_platform::FireDueTimers;
using linux_platform::NanosecondsUntilNextTick;
using linux_platform::ReportTickRates;
using linux_platform::StartClock;

}  // namespace x11
