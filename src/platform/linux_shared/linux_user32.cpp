// Implements: the display-independent part of the user32 window functions on Linux:
// SetWindowPos's flags (move, size, topmost, show, hide), GetWindowLongA/SetWindowLongA
// (a style word and owner kept per window), SystemParametersInfoA's screen-saver actions
// and ShowCursor's display count.
#include "platform/linux_shared/linux_user32.h"

namespace linux_platform {
namespace {

using namespace user32;

constexpr UINT kHideWindow = 0x0080;   // SWP_HIDEWINDOW
constexpr LONG kVisible = 0x10000000;  // WS_VISIBLE

int cursorCount = 0;

}  // namespace

BOOL SetWindowPos(const User32Window* window, HWND hWnd, const WindowPos& pos,
                  const WindowPosSteps& steps) {
  if (window == nullptr) return 0;
  if ((pos.flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
    platform::PixelRect rect = window->rect;
    if (!(pos.flags & SWP_NOMOVE))
      rect = {pos.x, pos.y, pos.x + rect.Width(), pos.y + rect.Height()};
    if (!(pos.flags & SWP_NOSIZE)) {
      rect.right = rect.left + pos.cx;
      rect.bottom = rect.top + pos.cy;
    }
    steps.setRect(hWnd, rect);
  }
  // Topmost first, so a window shown by this call appears already on top.
  if (!(pos.flags & SWP_NOZORDER) && pos.insertAfter == HWND_TOPMOST) steps.keepOnTop(hWnd);
  if (pos.flags & SWP_SHOWWINDOW) steps.setVisible(hWnd, true);
  if (pos.flags & kHideWindow) steps.setVisible(hWnd, false);
  return 1;
}

LONG GetWindowLong(const User32Window* window, int index) {
  if (window == nullptr) return 0;
  if (index == GWL_STYLE) return window->style | (window->visible ? kVisible : 0);
  if (index == GWL_HWNDPARENT) return window->owner;
  return 0;
}

LONG SetWindowLong(User32Window* window, int index, LONG value) {
  if (window == nullptr) return 0;
  const LONG previous = GetWindowLong(window, index);
  if (index == GWL_STYLE) window->style = value & ~kVisible;
  if (index == GWL_HWNDPARENT) window->owner = value;
  return previous;
}

BOOL SystemParametersInfo(UINT action, UINT param, void* pvParam, void (*set)(bool active),
                          bool (*get)()) {
  if (action == SPI_SETSCREENSAVEACTIVE) {
    set(param != 0);
    return 1;
  }
  if (action == SPI_GETSCREENSAVEACTIVE && pvParam != nullptr) {
    *static_cast<BOOL*>(pvParam) = get() ? 1 : 0;
    return 1;
  }
  return 0;
}

int ShowCursor(BOOL show, void (*follow)()) {
  const bool wasHidden = CursorHidden();
  cursorCount += show ? 1 : -1;
  if (wasHidden != CursorHidden()) follow();
  return cursorCount;
}

bool CursorHidden() { return cursorCount < 0; }

}  // namespace linux_platform
