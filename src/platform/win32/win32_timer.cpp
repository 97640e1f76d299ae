// Implements: platform::StartTimer and StopTimer on Win32 with SetTimer. WM_TIMER is
// made only when the queue is otherwise empty and never more than one at a time, so a
// slow tick builds no backlog.
#include <windows.h>

#include <unordered_map>

#include "forms/events.h"
#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace platform::win32 {
namespace {

// The timer handle doubles as the SetTimer id, unique across all our windows.
std::unordered_map<TimerHandle, HWND>& Timers() {
  static std::unordered_map<TimerHandle, HWND> timers;
  return timers;
}

}  // namespace

void TimerFired(HWND hwnd, UINT_PTR id) {
  auto it = Timers().find(static_cast<TimerHandle>(id));
  // A WM_TIMER already taken from the queue can outlive KillTimer.
  if (it == Timers().end() || it->second != hwnd) return;
  forms::events::TimerTick(it->first);
}

void ForgetTimers(HWND hwnd) {
  std::erase_if(Timers(), [hwnd](const auto& entry) { return entry.second == hwnd; });
}

}  // namespace platform::win32

namespace platform {

TimerHandle StartTimer(WindowHandle owner, std::uint32_t intervalMs) {
  win32::CallGuard guard;
  static TimerHandle next = 0;
  HWND hwnd = win32::ToHwnd(owner);
  TimerHandle timer = ++next;
  if (!SetTimer(hwnd, static_cast<UINT_PTR>(timer), intervalMs, nullptr)) return 0;
  win32::Timers()[timer] = hwnd;
  return timer;
}

void StopTimer(TimerHandle timer) {
  win32::CallGuard guard;
  auto it = win32::Timers().find(timer);
  if (it == win32::Timers().end()) return;
  KillTimer(it->second, static_cast<UINT_PTR>(timer));
  win32::Timers().erase(it);
}

}  // namespace platform
