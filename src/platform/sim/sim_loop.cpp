// Sim platform: timers on a virtual clock, the message loop and the end of the process.
#include <cmath>

#include "forms/events.h"
#include "platform/platform.h"
#include "platform/sim/sim_state.h"

namespace platform {

using namespace sim::detail;

TimerHandle StartTimer(WindowHandle owner, std::uint32_t intervalMs) {
  // The period is the interval rounded up to whole ticks of the timer resolution.
  const std::int64_t micros = static_cast<std::int64_t>(intervalMs) * 1000;
  const std::int64_t ticks =
      std::max<std::int64_t>(1, (micros + sim::kTickMicros - 1) / sim::kTickMicros);
  Timer timer;
  timer.handle = state().nextTimer++;
  timer.owner = owner;
  timer.periodMicros = ticks * sim::kTickMicros;
  timer.dueMicros = state().now + timer.periodMicros;
  state().timers.push_back(timer);
  return timer.handle;
}

void StopTimer(TimerHandle handle) {
  for (Timer& timer : state().timers)
    if (timer.handle == handle) timer.alive = false;
}

int RunMessageLoop() {
  // Without input nothing but the timers would ever happen: the loop only reports
  // whether the program has already ended.
  return state().quit ? state().exitStatus : -1;
}

void Quit(int status) {
  if (state().quit) return;
  state().quit = true;
  state().exitStatus = status;
}

}  // namespace platform

namespace sim {

using namespace detail;

std::int64_t NowMicros() { return state().now; }

void Advance(double milliseconds) {
  State& s = state();
  const std::int64_t target = s.now + static_cast<std::int64_t>(std::llround(milliseconds * 1000));
  while (!s.quit) {
    Timer* next = nullptr;
    for (Timer& timer : s.timers)
      if (timer.alive && timer.dueMicros <= target &&
          (next == nullptr || timer.dueMicros < next->dueMicros))
        next = &timer;
    if (next == nullptr) break;
    s.now = next->dueMicros;
    next->dueMicros += next->periodMicros;
    forms::events::TimerTick(next->handle);
    Paint();
  }
  if (s.now < target) s.now = target;
  Paint();
}

void AdvanceTicks(int ticks) { Advance(static_cast<double>(ticks) * kTickMicros / 1000.0); }

bool QuitCalled() { return state().quit; }
int ExitStatus() { return state().exitStatus; }

}  // namespace sim
