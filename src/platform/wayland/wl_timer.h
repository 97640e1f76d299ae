// Timers on a 1/64 s grid of CLOCK_MONOTONIC, as on the other platforms, so the rain
// falls at the same pace everywhere.
#pragma once

#include <functional>

namespace wayland {

void StartClock();
// Nanoseconds until the next tick is due: 0 when one is due now, -1 when no timer runs.
long long NanosecondsUntilNextTick();
// Delivers one TimerTick to each timer that is due, at most one per timer however late
// we are (a stopped process resumes without a burst); stops early once stop() is true.
void FireDueTimers(const std::function<bool()>& stop);

}  // namespace wayland
