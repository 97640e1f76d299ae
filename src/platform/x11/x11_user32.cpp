// Implements: the user32 window functions on X11: SetWindowPos, GetWindowLongA/
// SetWindowLongA, ShowCursor and SystemParametersInfoA (their bookkeeping in
// linux_user32), GetClientRect, SetParent, GetDesktopWindow, GetWindowRect, IsWindow.
#include "platform/linux_shared/linux_user32.h"
#include "platform/user32.h"
#include "platform/x11/x11_backend.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_session.h"
#include "platform/x11/x11_window.h"
#include "platform/x11/x11_xlib.h"

namespace user32::on_x11 {
namespace {

// Any X window, ours or not; handles are X window ids.
bool ForeignGeometry(HWND hWnd, XWindowAttributes& attributes) {
  if (hWnd <= 0) return false;
  x11::ErrorTrap trap;
  const Status ok = XGetWindowAttributes(x11::X().display, static_cast<Window>(hWnd), &attributes);
  return ok != 0 && !trap.Failed();
}

bool RootPosition(Window window, int& x, int& y) {
  x11::ErrorTrap trap;
  Window child;
  const Bool ok =
      XTranslateCoordinates(x11::X().display, window, x11::X().root, 0, 0, &x, &y, &child);
  return ok && !trap.Failed();
}

HWND Root() { return static_cast<HWND>(x11::X().root); }

void KeepOnTop(platform::WindowHandle handle) {
  if (x11::WindowRecord* w = x11::FindWindow(handle)) x11::KeepOnTop(*w);
}

constexpr linux_platform::WindowPosSteps kPosSteps{platform::on_x11::SetWindowRect, KeepOnTop,
                                                   platform::on_x11::SetWindowVisible};

}  // namespace

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  return linux_platform::SetWindowPos(x11::FindWindow(hWnd), hWnd,
                                      {hWndInsertAfter, X, Y, cx, cy, uFlags}, kPosSteps);
}

BOOL GetClientRect(HWND hWnd, RECT* lpRect) {
  if (lpRect == nullptr) return 0;
  if (const x11::WindowRecord* w = x11::FindWindow(hWnd)) {
    *lpRect = {0, 0, w->clientWidth, w->clientHeight};
    return 1;
  }
  XWindowAttributes attributes;
  if (!ForeignGeometry(hWnd, attributes)) return 0;
  *lpRect = {0, 0, attributes.width, attributes.height};
  return 1;
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
  return linux_platform::GetWindowLong(x11::FindWindow(hWnd), nIndex);
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  return linux_platform::SetWindowLong(x11::FindWindow(hWnd), nIndex, dwNewLong);
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  x11::WindowRecord* w = x11::FindWindow(hWndChild);
  if (w == nullptr) return 0;
  Window parent = x11::X().root;
  // A window that is not ours is a host's, the root too when named: the rain lives in it.
  bool host = false;
  if (hWndNewParent != 0) {
    if (const x11::WindowRecord* ours = x11::FindWindow(hWndNewParent)) {
      parent = ours->xid;
    } else {
      parent = static_cast<Window>(hWndNewParent);
      host = true;
      XWindowAttributes attributes;
      if (!ForeignGeometry(hWndNewParent, attributes)) {
        // The host's window went between the program's check and this call: our
        // window was meant to live and die inside it, so it goes as if embedded.
        if (hWndNewParent > 0) {
          w->parent = parent;
          w->embedded = true;
          x11::NoteVanishedWindow(parent);
        }
        return 0;
      }
    }
  }
  const HWND previous = static_cast<HWND>(w->parent);
  x11::Reparent(*w, parent, host);
  return previous;
}

HWND GetDesktopWindow() { return Root(); }

BOOL GetWindowRect(HWND hWnd, RECT* lpRect) {
  if (lpRect == nullptr) return 0;
  if (hWnd == Root()) {
    *lpRect = {0, 0, platform::ScreenWidth(), platform::ScreenHeight()};
    return 1;
  }
  if (const x11::WindowRecord* w = x11::FindWindow(hWnd)) {
    if ((w->parent == x11::X().root && !w->embedded) || w->managed) {
      *lpRect = {w->rect.left, w->rect.top, w->rect.right, w->rect.bottom};
      return 1;
    }
  }
  XWindowAttributes attributes;
  int x = 0, y = 0;
  if (!ForeignGeometry(hWnd, attributes) || !RootPosition(static_cast<Window>(hWnd), x, y)) {
    return 0;
  }
  const platform::PixelRect r =
      x11::FromServer({x, y, x + attributes.width, y + attributes.height}, x11::X().root);
  *lpRect = {r.left, r.top, r.right, r.bottom};
  return 1;
}

int ShowCursor(BOOL bShow) { return linux_platform::ShowCursor(bShow, x11::FollowCursorCount); }

BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, void* pvParam, UINT) {
  return linux_platform::SystemParametersInfo(uiAction, uiParam, pvParam,
                                              x11::SetScreenSaverEnabled, x11::ScreenSaverEnabled);
}

BOOL IsWindow(HWND hWnd) {
  if (hWnd == Root() || x11::FindWindow(hWnd) != nullptr) return 1;
  XWindowAttributes attributes;
  return ForeignGeometry(hWnd, attributes) ? 1 : 0;
}

}  // namespace user32::on_x11
