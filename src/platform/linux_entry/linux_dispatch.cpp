// Implements: every platform:: and user32:: function on Linux, each forwarded to the
// backend the entry chose (X11 or Wayland), the timers to the grid both share.
#include "platform/linux_entry/linux_backend.h"
#include "platform/linux_shared/linux_timer_grid.h"

namespace linux_platform {
namespace {
// Set by the entry once it has chosen; a call before that is a fault of ours.
const Backend* active = nullptr;
}  // namespace

const Backend& Active() { return *active; }
void Activate(const Backend& backend) { active = &backend; }

}  // namespace linux_platform

namespace platform {

using linux_platform::Active;

std::string CommandLine() { return Active().CommandLine(); }
int Dpi() { return Active().Dpi(); }
std::int32_t ScreenWidth() { return Active().ScreenWidth(); }
std::int32_t ScreenHeight() { return Active().ScreenHeight(); }
Colour SystemColour(int index) { return Active().SystemColour(index); }
WindowHandle CreateFormWindow(const FormWindowDesc& desc) {
  return Active().CreateFormWindow(desc);
}
WindowHandle CreateFrameWindow(WindowHandle parent, const PixelRect& rect, Colour backColour,
                               bool visible) {
  return Active().CreateFrameWindow(parent, rect, backColour, visible);
}
void DestroyWindow(WindowHandle window) { Active().DestroyWindow(window); }
void SetWindowVisible(WindowHandle window, bool visible) {
  Active().SetWindowVisible(window, visible);
}
void SetWindowRect(WindowHandle window, const PixelRect& rect) {
  Active().SetWindowRect(window, rect);
}
void Invalidate(WindowHandle window, std::span<const PixelRect> areas) {
  Active().Invalidate(window, areas);
}
TimerHandle StartTimer(WindowHandle, std::uint32_t intervalMs) {
  return linux_platform::StartGridTimer(intervalMs);
}
void StopTimer(TimerHandle timer) { linux_platform::StopGridTimer(timer); }
int RunMessageLoop() { return Active().RunMessageLoop(); }
void Quit(int status) { Active().Quit(status); }

}  // namespace platform

namespace user32 {

using linux_platform::Active;

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  return Active().SetWindowPos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}
BOOL GetClientRect(HWND hWnd, RECT* lpRect) { return Active().GetClientRect(hWnd, lpRect); }
LONG GetWindowLongA(HWND hWnd, int nIndex) { return Active().GetWindowLongA(hWnd, nIndex); }
LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  return Active().SetWindowLongA(hWnd, nIndex, dwNewLong);
}
HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  return Active().SetParent(hWndChild, hWndNewParent);
}
HWND GetDesktopWindow() { return Active().GetDesktopWindow(); }
BOOL GetWindowRect(HWND hWnd, RECT* lpRect) { return Active().GetWindowRect(hWnd, lpRect); }
int ShowCursor(BOOL bShow) { return Active().ShowCursor(bShow); }
BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, void* pvParam, UINT fWinIni) {
  return Active().SystemParametersInfoA(uiAction, uiParam, pvParam, fWinIni);
}
BOOL IsWindow(HWND hWnd) { return Active().IsWindow(hWnd); }

}  // namespace user32
