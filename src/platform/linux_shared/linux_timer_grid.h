// Timers on a 1/64 s grid of CLOCK_MONOTONIC, the resolution of a usual Windows desktop,
// so the rain falls at the same pace on every platform. Both Linux backends keep their
// timers here; their loops wait for the next tick and deliver the due ones.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/platform.h"

namespace linux_platform {

void StartClock();
// A timer of the given interval, rounded up to whole 1/64 s; its first tick one period on.
platform::TimerHandle StartGridTimer(std::uint32_t intervalMs);
void StopGridTimer(platform::TimerHandle timer);
// Nanoseconds until the next tick is due: 0 when one is due now, -1 when no timer runs.
long long NanosecondsUntilNextTick();
// Delivers one TimerTick to each timer that is due, at most one per timer however late
// we are (a stopped process resumes without a burst); stops early once stop() is true.
void FireDueTimers(const std::function<bool()>& stop);
// Bench builds (QUELVO_TICK_STATS): prints the ticks per second each timer interval got.
// Others: nothing.
void ReportTickRates();

}  // namespace linux_platform
