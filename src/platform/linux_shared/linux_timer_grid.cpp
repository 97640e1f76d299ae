// Implements: the 1/64 s timer grid both Linux backends run their timers on: starting and
// stopping timers, the wait until the next tick, due-tick delivery, and (bench builds
// only) tick counting.
#include "platform/linux_shared/linux_timer_grid.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "forms/events.h"

namespace linux_platform {
namespace {

constexpr long long kQuantumNs = 15'625'000;  // 1/64 s

struct Timer {
  std::uint32_t intervalMs = 0;
  long long period = 1;   // in quanta
  long long nextDue = 0;  // quantum index
  long long ticks = 0;
  long long firstTickNs = 0;
  long long lastTickNs = 0;
};

long long startNs = 0;
platform::TimerHandle nextHandle = 1;
std::map<platform::TimerHandle, Timer> timers;
std::vector<Timer> finished;  // for the tick report

long long NowNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

long long QuantumAt(long long ns) { return (ns - startNs) / kQuantumNs; }

}  // namespace

void StartClock() { startNs = NowNs(); }

platform::TimerHandle StartGridTimer(std::uint32_t intervalMs) {
  Timer t;
  t.intervalMs = intervalMs;
  // Round the interval up to whole quanta: 1 ms -> 1, 20 ms -> 2, 100 ms -> 7.
  t.period =
      std::max(1LL, (static_cast<long long>(intervalMs) * 1'000'000 + kQuantumNs - 1) / kQuantumNs);
  t.nextDue = QuantumAt(NowNs()) + t.period;
  const platform::TimerHandle handle = nextHandle++;
  timers.emplace(handle, t);
  return handle;
}

void StopGridTimer(platform::TimerHandle timer) {
  auto it = timers.find(timer);
  if (it == timers.end()) return;
#ifdef QUELVO_TICK_STATS
  finished.push_back(it->second);
#endif
  timers.erase(it);
}

long long NanosecondsUntilNextTick() {
  if (timers.empty()) return -1;
  long long due = timers.begin()->second.nextDue;
  for (const auto& [handle, t] : timers) due = std::min(due, t.nextDue);
  return std::max(0LL, startNs + due * kQuantumNs - NowNs());
}

void FireDueTimers(const std::function<bool()>& stop) {
  const long long nowNs = NowNs();
  const long long now = QuantumAt(nowNs);
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
#ifdef QUELVO_TICK_STATS
    if (t.ticks == 0) t.firstTickNs = nowNs;
    t.lastTickNs = nowNs;
    ++t.ticks;
#endif
    forms::events::TimerTick(handle);
  }
}

void ReportTickRates() {
#ifdef QUELVO_TICK_STATS
  std::vector<Timer> all = finished;
  for (const auto& [handle, t] : timers) all.push_back(t);
  for (const Timer& t : all) {
    const double seconds = static_cast<double>(t.lastTickNs - t.firstTickNs) / 1e9;
    const double rate = seconds > 0 ? static_cast<double>(t.ticks - 1) / seconds : 0.0;
    std::fprintf(stderr, "timer %u ms: %lld ticks over %.3f s, %.2f ticks/s\n", t.intervalMs,
                 t.ticks, seconds, rate);
  }
#endif
}

}  // namespace linux_platform
