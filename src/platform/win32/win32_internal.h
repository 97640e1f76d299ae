// What the Win32 platform files share: handle conversion, the record kept for each of
// our windows, the guard that marks calls made by the runtime into the platform, and
// the hooks between window procedure, painting, timers and the message loop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace platform::win32 {

// Window handles are 32-bit significant on every Windows: sign-extend to widen.
inline HWND ToHwnd(std::int32_t handle) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
}
inline std::int32_t ToHandle(HWND hwnd) {
  return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(hwnd));
}

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

struct WindowRecord {
  bool isForm = false;  // a form's window; otherwise a frame
  FormBorder border = FormBorder::Borderless;
  PixelRect rect;  // last rectangle the runtime was told, relative to the parent
  std::int32_t clientWidth = 0;
  std::int32_t clientHeight = 0;
};

// Null for a window that is not ours (or no longer exists).
WindowRecord* FindRecord(HWND hwnd);
void AddRecord(HWND hwnd, const WindowRecord& record);
void RemoveRecord(HWND hwnd);

// Tells the runtime about the window's rectangle if it differs from the last one told.
void ReportRectIfChanged(HWND hwnd);

// Held for the length of every call the runtime or the program makes into the
// platform: messages Windows sends us meanwhile must not re-enter the runtime.
class CallGuard {
 public:
  CallGuard() { ++depth_; }
  ~CallGuard() { --depth_; }
  CallGuard(const CallGuard&) = delete;
  CallGuard& operator=(const CallGuard&) = delete;
  static bool Inside() { return depth_ > 0; }

 private:
  static inline int depth_ = 0;
};

// Destroys a window of ours. A shown top-level one is taken off the screen by the destruction
// itself, not by hiding it first (see win32_window.cpp).
void DestroyOwnWindow(HWND hwnd);

// True while platform::DestroyWindow is destroying windows: their WM_DESTROY is ours.
bool DestroyingOurselves();

// The window procedure of every form and frame window.
LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
const wchar_t* WindowClassName();

// Answers WM_PAINT: asks the runtime what to draw and presents it double-buffered.
void PaintWindow(HWND hwnd);
// WM_TIMER of one of our timers.
void TimerFired(HWND hwnd, UINT_PTR id);
// The window is going away: its timers die with it.
void ForgetTimers(HWND hwnd);
// Tells the runtime, later, from the message loop, that someone else destroyed a form's window.
void DeferWindowDestroyed(HWND hwnd);
// A form's window moved, changed stacking, showed or hid, or the monitors changed: the
// other monitors get covers while it is full screen on the primary, and lose them after.
void UpdateCovers(HWND form, bool displayChanged);

}  // namespace platform::win32
