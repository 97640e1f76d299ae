// Implements: the user32 window functions on Wayland: SetWindowPos, GetWindowLongA/
// SetWindowLongA, ShowCursor and SystemParametersInfoA (their bookkeeping in
// linux_user32), GetClientRect, SetParent (no window of another client can hold ours),
// GetDesktopWindow (the layout, as large as the rain's output), GetWindowRect, IsWindow.
#include "platform/linux_shared/linux_user32.h"
#include "platform/user32.h"
#include "platform/wayland/wl_backend.h"
#include "platform/wayland/wl_input.h"
#include "platform/wayland/wl_session.h"
#include "platform/wayland/wl_windows.h"

namespace user32::on_wayland {
namespace {

constexpr HWND kDesktop = 1;

// GetWindowRect, or with `client` GetClientRect: the desktop is as large as the rain's
// output, at its origin; there are no windows of other clients to ask about.
BOOL RectOf(HWND hWnd, RECT* lpRect, bool client) {
  if (lpRect == nullptr) return 0;
  if (hWnd == kDesktop) {
    *lpRect = {0, 0, platform::on_wayland::ScreenWidth(), platform::on_wayland::ScreenHeight()};
    return 1;
  }
  const wayland::WindowRecord* w = wayland::FindWindow(hWnd);
  if (w == nullptr) return 0;
  *lpRect = client ? RECT{0, 0, w->clientWidth, w->clientHeight}
                   : RECT{w->rect.left, w->rect.top, w->rect.right, w->rect.bottom};
  return 1;
}

// Full-screen surfaces are above everything already: topmost is only recorded.
void KeepOnTop(platform::WindowHandle handle) {
  if (wayland::WindowRecord* w = wayland::FindWindow(handle)) w->topmost = true;
}

constexpr linux_platform::WindowPosSteps kPosSteps{platform::on_wayland::SetWindowRect, KeepOnTop,
                                                   platform::on_wayland::SetWindowVisible};

}  // namespace

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  return linux_platform::SetWindowPos(wayland::FindWindow(hWnd), hWnd,
                                      {hWndInsertAfter, X, Y, cx, cy, uFlags}, kPosSteps);
}

BOOL GetClientRect(HWND hWnd, RECT* lpRect) { return RectOf(hWnd, lpRect, true); }

LONG GetWindowLongA(HWND hWnd, int nIndex) {
  return linux_platform::GetWindowLong(wayland::FindWindow(hWnd), nIndex);
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  return linux_platform::SetWindowLong(wayland::FindWindow(hWnd), nIndex, dwNewLong);
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  wayland::WindowRecord* w = wayland::FindWindow(hWndChild);
  if (w == nullptr) return 0;
  // Another client's surface cannot hold ours: a window put there is never shown.
  w->embedded = hWndNewParent != 0 && hWndNewParent != kDesktop;
  wayland::UpdateSurfaces();
  return 0;
}

HWND GetDesktopWindow() { return kDesktop; }

BOOL GetWindowRect(HWND hWnd, RECT* lpRect) { return RectOf(hWnd, lpRect, false); }

int ShowCursor(BOOL bShow) { return linux_platform::ShowCursor(bShow, wayland::ApplyCursor); }

BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, void* pvParam, UINT) {
  return linux_platform::SystemParametersInfo(
      uiAction, uiParam, pvParam, wayland::SetScreenSaverEnabled, wayland::ScreenSaverEnabled);
}

BOOL IsWindow(HWND hWnd) { return hWnd == kDesktop || wayland::FindWindow(hWnd) != nullptr; }

}  // namespace user32::on_wayland
