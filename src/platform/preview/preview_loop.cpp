// Implements: platform::StartTimer and StopTimer on a 1/64 s grid of the host's clock,
// the clock's advance (each due timer ticks once at most, however far it moved),
// RunMessageLoop (the same advance on the monotonic clock, for a caller without a clock
// of its own) and Quit, which ends the run and never the process.
#include <time.h>

#include <algorithm>
#include <utility>

#include "forms/events.h"
#include "platform/preview/preview_run.h"

namespace preview {
namespace {

constexpr std::int64_t kQuantumMicros = 15'625;  // 1/64 s

// Kept between advances: a tick allocates nothing.
std::vector<std::pair<std::int64_t, platform::TimerHandle>> due;

std::int64_t MonotonicMicros() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000 + ts.tv_nsec / 1000;
}

void SleepUntil(std::int64_t micros) {
  const timespec at{static_cast<time_t>(micros / 1'000'000),
                    static_cast<long>(micros % 1'000'000) * 1000};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) != 0) {
  }
}

}  // namespace

void AdvanceClock(std::int64_t micros) {
  Run& run = CurrentRun();
  // The first reading sets the grid's origin: timers started before it count from it.
  if (!run.clockStarted) {
    run.clockStarted = true;
    run.clockOrigin = micros;
    return;
  }
  const std::int64_t now = (micros - run.clockOrigin) / kQuantumMicros;
  if (now <= run.now) return;  // a clock that stands still or steps back ticks nothing
  run.now = now;
  due.clear();
  for (const Timer& t : run.timers)
    if (t.nextDue <= now) due.emplace_back(t.nextDue, t.handle);
  std::sort(due.begin(), due.end());
  for (const auto& [when, handle] : due) {
    if (run.quit) return;
    // An earlier tick may have stopped it.
    auto it = std::find_if(run.timers.begin(), run.timers.end(),
                           [&](const Timer& t) { return t.handle == handle; });
    if (it == run.timers.end()) continue;
    // Missed ticks are not caught up: the next one stays on the timer's own grid.
    it->nextDue += ((now - it->nextDue) / it->period + 1) * it->period;
    forms::events::TimerTick(handle);
  }
}

}  // namespace preview

namespace platform {

TimerHandle StartTimer(WindowHandle owner, std::uint32_t intervalMs) {
  (void)owner;
  preview::Run& run = preview::CurrentRun();
  // Round the interval up to whole 1/64 s: 1 ms -> 1, 20 ms -> 2, 100 ms -> 7.
  const std::int64_t micros = static_cast<std::int64_t>(intervalMs) * 1000;
  preview::Timer t;
  t.handle = run.nextTimer++;
  t.period =
      std::max<std::int64_t>(1, (micros + preview::kQuantumMicros - 1) / preview::kQuantumMicros);
  t.nextDue = run.now + t.period;
  run.timers.push_back(t);
  return t.handle;
}

void StopTimer(TimerHandle timer) {
  std::erase_if(preview::CurrentRun().timers,
                [&](const preview::Timer& t) { return t.handle == timer; });
}

int RunMessageLoop() {
  preview::Run& run = preview::CurrentRun();
  if (!run.clockStarted) preview::AdvanceClock(preview::MonotonicMicros());
  while (!run.quit) {
    const std::int64_t next = run.clockOrigin + (run.now + 1) * preview::kQuantumMicros;
    preview::SleepUntil(next);
    preview::AdvanceClock(preview::MonotonicMicros());
  }
  return run.status;
}

// The host's process lives on: the run ends, and the host sees it through Ended().
void Quit(int status) {
  preview::Run& run = preview::CurrentRun();
  if (run.quit) return;
  run.quit = true;
  run.status = status;
}

}  // namespace platform
