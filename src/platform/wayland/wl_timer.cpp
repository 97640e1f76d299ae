// Implements: platform::StartTimer and StopTimer on a grid of 1/64 s quanta, and the
// due-tick delivery the message loop calls.
#include "platform/wayland/wl_timer.h"

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "forms/events.h"
#include "platform/wayland/wl_backend.h"

namespace wayland {
namespace {

constexpr long long kQuantumNs = 15'625'000;  // 1/64 s

struct Timer {
  long long period = 1;   // in quanta
  long long nextDue = 0;  // quantum index
};

long long startNs = 0;
platform::TimerHandle nextHandle = 1;
std::map<platform::TimerHandle, Timer> timers;

long long NowNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

long long QuantumAt(long long ns) { return (ns - startNs) / kQuantumNs; }

}  // namespace

void StartClock() { startNs = NowNs(); }

long long NanosecondsUntilNextTick() {
  if (timers.empty()) return -1;
  long long due = timers.begin()->second.nextDue;
  for (const auto& [handle, t] : timers) due = std::min(due, t.nextDue);
  return std::max(0LL, startNs + due * kQuantumNs - NowNs());
}

void FireDueTimers(const std::function<bool()>& stop) {
  const long long now = QuantumAt(NowNs());
  // Kept between calls: a tick allocates nothing.
  static std::vector<std::pair<long long, platform::TimerHandle>> due;
  due.clear();
  for (const auto& [handle, t] : timers) {
    if (t.nextDue <= now) due.emplace_back(t.nextDue, handle);
  }
  std::sort(due.begin(), due.end());
  for (const auto& [when, handle] : due) {
    if (stop()) return;
    auto it = timers.find(handle);  // an earlier tick may have stopped it
    if (it == timers.end()) continue;
    Timer& t = it->second;
    // Missed ticks are not caught up: the next one stays on the timer's own grid.
    t.nextDue += ((now - t.nextDue) / t.period + 1) * t.period;
    forms::events::TimerTick(handle);
  }
}

}  // namespace wayland

namespace platform::on_wayland {

TimerHandle StartTimer(WindowHandle, std::uint32_t intervalMs) {
  wayland::Timer t;
  // Round the interval up to whole quanta: 1 ms -> 1, 20 ms -> 2, 100 ms -> 7.
  t.period =
      std::max(1LL, (static_cast<long long>(intervalMs) * 1'000'000 + wayland::kQuantumNs - 1) /
                        wayland::kQuantumNs);
  t.nextDue = wayland::QuantumAt(wayland::NowNs()) + t.period;
  const TimerHandle handle = wayland::nextHandle++;
  wayland::timers.emplace(handle, t);
  return handle;
}

void StopTimer(TimerHandle timer) { wayland::timers.erase(timer); }

}  // namespace platform::on_wayland
