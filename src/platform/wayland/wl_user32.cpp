// Implements: the user32 window functions on Wayland: SetWindowPos, GetClientRect,
// GetWindowLongA/SetWindowLongA (a style word and owner kept here), SetParent (no
// window of another client can hold ours), GetDesktopWindow (the layout, as large as
// the rain's output), GetWindowRect, ShowCursor, SystemParametersInfoA, IsWindow.
#include "platform/user32.h"
#include "platform/wayland/wl_backend.h"
#include "platform/wayland/wl_session.h"
#include "platform/wayland/wl_windows.h"

namespace user32::on_wayland {
namespace {

constexpr HWND kDesktop = 1;
constexpr UINT kHideWindow = 0x0080;   // SWP_HIDEWINDOW
constexpr LONG kVisible = 0x10000000;  // WS_VISIBLE

RECT Desktop() {
  return {0, 0, platform::on_wayland::ScreenWidth(), platform::on_wayland::ScreenHeight()};
}

}  // namespace

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  wayland::WindowRecord* w = wayland::FindWindow(hWnd);
  if (w == nullptr) return 0;
  if ((uFlags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
    platform::PixelRect rect = w->rect;
    if (!(uFlags & SWP_NOMOVE)) rect = {X, Y, X + rect.Width(), Y + rect.Height()};
    if (!(uFlags & SWP_NOSIZE)) {
      rect.right = rect.left + cx;
      rect.bottom = rect.top + cy;
    }
    platform::on_wayland::SetWindowRect(hWnd, rect);
  }
  // Full-screen surfaces are above everything already: topmost is only recorded.
  if (!(uFlags & SWP_NOZORDER) && hWndInsertAfter == HWND_TOPMOST) w->topmost = true;
  if (uFlags & SWP_SHOWWINDOW) platform::on_wayland::SetWindowVisible(hWnd, true);
  if (uFlags & kHideWindow) platform::on_wayland::SetWindowVisible(hWnd, false);
  return 1;
}

BOOL GetClientRect(HWND hWnd, RECT* lpRect) {
  if (lpRect == nullptr) return 0;
  if (hWnd == kDesktop) {
    *lpRect = Desktop();
    return 1;
  }
  const wayland::WindowRecord* w = wayland::FindWindow(hWnd);
  if (w == nullptr) return 0;
  *lpRect = {0, 0, w->clientWidth, w->clientHeight};
  return 1;
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
  const wayland::WindowRecord* w = wayland::FindWindow(hWnd);
  if (w == nullptr) return 0;
  if (nIndex == GWL_STYLE) return w->style | (w->visible ? kVisible : 0);
  if (nIndex == GWL_HWNDPARENT) return w->owner;
  return 0;
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  wayland::WindowRecord* w = wayland::FindWindow(hWnd);
  if (w == nullptr) return 0;
  const LONG previous = GetWindowLongA(hWnd, nIndex);
  if (nIndex == GWL_STYLE) w->style = dwNewLong & ~kVisible;
  if (nIndex == GWL_HWNDPARENT) w->owner = dwNewLong;
  return previous;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  wayland::WindowRecord* w = wayland::FindWindow(hWndChild);
  if (w == nullptr) return 0;
  // Another client's surface cannot hold ours: a window put there is never shown.
  w->embedded = hWndNewParent != 0 && hWndNewParent != kDesktop;
  platform::on_wayland::SetWindowVisible(hWndChild, w->visible);
  return 0;
}

HWND GetDesktopWindow() { return kDesktop; }

BOOL GetWindowRect(HWND hWnd, RECT* lpRect) {
  if (lpRect == nullptr) return 0;
  if (hWnd == kDesktop) {
    *lpRect = Desktop();
    return 1;
  }
  const wayland::WindowRecord* w = wayland::FindWindow(hWnd);
  if (w == nullptr) return 0;
  *lpRect = {w->rect.left, w->rect.top, w->rect.right, w->rect.bottom};
  return 1;
}

int ShowCursor(BOOL bShow) { return wayland::ChangeCursorCount(bShow != 0); }

BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, void* pvParam, UINT) {
  if (uiAction == SPI_SETSCREENSAVEACTIVE) {
    wayland::SetScreenSaverEnabled(uiParam != 0);
    return 1;
  }
  if (uiAction == SPI_GETSCREENSAVEACTIVE && pvParam != nullptr) {
    *static_cast<BOOL*>(pvParam) = wayland::ScreenSaverEnabled() ? 1 : 0;
    return 1;
  }
  return 0;
}

BOOL IsWindow(HWND hWnd) { return hWnd == kDesktop || wayland::FindWindow(hWnd) != nullptr; }

}  // namespace user32::on_wayland
