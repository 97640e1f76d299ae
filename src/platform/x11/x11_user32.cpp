// Implements: the user32 window functions on X11: SetWindowPos, GetClientRect,
// GetWindowLongA/SetWindowLongA (a style word and owner kept here), SetParent,
// GetDesktopWindow, GetWindowRect, ShowCursor, SystemParametersInfoA, IsWindow.
#include "platform/user32.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_session.h"
#include "platform/x11/x11_window.h"
#include "platform/x11/x11_xlib.h"

namespace user32::on_x11 {
namespace {

constexpr UINT kHideWindow = 0x0080;   // SWP_HIDEWINDOW
constexpr LONG kVisible = 0x10000000;  // WS_VISIBLE

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

}  // namespace

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  x11::WindowRecord* w = x11::FindWindow(hWnd);
  if (w == nullptr) return 0;
  if ((uFlags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
    platform::PixelRect rect = w->rect;
    if (!(uFlags & SWP_NOMOVE)) {
      rect = {X, Y, X + rect.Width(), Y + rect.Height()};
    }
    if (!(uFlags & SWP_NOSIZE)) {
      rect.right = rect.left + cx;
      rect.bottom = rect.top + cy;
    }
    x11::ApplyWindowRect(*w, rect);
  }
  // Topmost first, so a window shown by this call appears already on top.
  if (!(uFlags & SWP_NOZORDER) && hWndInsertAfter == HWND_TOPMOST) x11::KeepOnTop(*w);
  if (uFlags & SWP_SHOWWINDOW) x11::ApplyVisible(*w, true);
  if (uFlags & kHideWindow) x11::ApplyVisible(*w, false);
  return 1;
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
  const x11::WindowRecord* w = x11::FindWindow(hWnd);
  if (w == nullptr) return 0;
  if (nIndex == GWL_STYLE) return w->style | (w->visible ? kVisible : 0);
  if (nIndex == GWL_HWNDPARENT) return w->owner;
  return 0;
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  x11::WindowRecord* w = x11::FindWindow(hWnd);
  if (w == nullptr) return 0;
  const LONG previous = GetWindowLongA(hWnd, nIndex);
  // Only recorded: the X window's nature follows from SetParent, not from these bits.
  if (nIndex == GWL_STYLE) w->style = dwNewLong & ~kVisible;
  if (nIndex == GWL_HWNDPARENT) w->owner = dwNewLong;
  return previous;
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
    if (w->parent == x11::X().root || w->managed) {
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

int ShowCursor(BOOL bShow) { return x11::ChangeCursorCount(bShow != 0); }

BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, void* pvParam, UINT) {
  if (uiAction == SPI_SETSCREENSAVEACTIVE) {
    x11::SetScreenSaverEnabled(uiParam != 0);
    return 1;
  }
  if (uiAction == SPI_GETSCREENSAVEACTIVE && pvParam != nullptr) {
    *static_cast<BOOL*>(pvParam) = x11::ScreenSaverEnabled() ? 1 : 0;
    return 1;
  }
  return 0;
}

BOOL IsWindow(HWND hWnd) {
  if (hWnd == Root() || x11::FindWindow(hWnd) != nullptr) return 1;
  XWindowAttributes attributes;
  return ForeignGeometry(hWnd, attributes) ? 1 : 0;
}

}  // namespace user32::on_x11
