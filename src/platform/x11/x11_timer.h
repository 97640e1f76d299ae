// Timers on a 1/64 s grid of CLOCK_MONOTONIC, the resolution of a usual Windows
// desktop, so the rain falls at the same pace on every platform.
#pragma once

#include <functional>

namespace x11 {

void StartClock();
// Nanoseconds until the next tick is due: 0 when one is due now, -1 when no timer runs.
long long NanosecondsUntilNextTick();
// Delivers one TimerTick to each timer that is due, at most one per timer however
// late we are; stops early once stop() turns true.
void FireDueTimers(const std::function<bool()>& stop);
// Bench builds: prints the ticks per second each timer interval got. Others: nothing.
void ReportTickRates();

}  // namespace x11
