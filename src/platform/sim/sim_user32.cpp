// Sim platform: the window functions, acting on the sim's window tree and logged.
#include <algorithm>

#include "platform/sim/sim_state.h"
#include "platform/user32.h"

namespace sim::detail {

void Log(Fn fn, std::initializer_list<std::int64_t> args) {
  if (!state().logging) return;
  Call call{fn, {}};
  std::copy(args.begin(), args.end(), call.args.begin());
  state().calls.push_back(call);
}

}  // namespace sim::detail

namespace user32 {

using namespace sim::detail;

namespace {

bool TopLevel(const sim::Window& window) {
  return (window.parent == 0 || window.parent == state().desktop) && !(window.style & WS_CHILD);
}

}  // namespace

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  Log(sim::Fn::SetWindowPos, {hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags});
  sim::Window* window = Live(hWnd);
  if (window == nullptr) return 0;
  platform::PixelRect rect = window->rect;
  if (!(uFlags & SWP_NOMOVE)) rect = {X, Y, X + rect.Width(), Y + rect.Height()};
  if (!(uFlags & SWP_NOSIZE)) rect.right = rect.left + cx, rect.bottom = rect.top + cy;
  SetRect(*window, rect);
  if (!(uFlags & SWP_NOZORDER) && hWndInsertAfter == HWND_TOPMOST) {
    window->topmost = true;
    auto& z = state().zOrder;
    if (std::erase(z, hWnd) > 0) z.push_back(hWnd);
  }
  if (uFlags & SWP_SHOWWINDOW) SetVisible(*window, true);
  // Only a visible top-level window can take the activation.
  if (!(uFlags & SWP_NOACTIVATE) && window->visible && TopLevel(*window)) state().active = hWnd;
  return 1;
}

BOOL GetClientRect(HWND hWnd, RECT* lpRect) {
  Log(sim::Fn::GetClientRect, {hWnd});
  const sim::Window* window = Live(hWnd);
  if (window == nullptr || lpRect == nullptr) return 0;
  *lpRect = {0, 0, window->clientWidth, window->clientHeight};
  return 1;
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
  Log(sim::Fn::GetWindowLongA, {hWnd, nIndex});
  const sim::Window* window = Live(hWnd);
  if (window == nullptr) return 0;
  if (nIndex == GWL_STYLE) return window->style;
  if (nIndex == GWL_HWNDPARENT) return window->owner;
  return 0;
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  Log(sim::Fn::SetWindowLongA, {hWnd, nIndex, dwNewLong});
  sim::Window* window = Live(hWnd);
  if (window == nullptr) return 0;
  LONG previous = 0;
  if (nIndex == GWL_STYLE) {
    previous = window->style;
    // As on Windows: a form of ours made a child loses the popup bit, which would
    // otherwise keep it a top-level window for activation.
    if (window->ours && (dwNewLong & WS_CHILD)) dwNewLong &= ~WS_POPUP;
    window->style = dwNewLong;
  } else if (nIndex == GWL_HWNDPARENT) {
    previous = window->owner;
    window->owner = dwNewLong;
  }
  return previous;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  Log(sim::Fn::SetParent, {hWndChild, hWndNewParent});
  sim::Window* window = Live(hWndChild);
  if (window == nullptr || (hWndNewParent != 0 && Live(hWndNewParent) == nullptr)) return 0;
  // As Windows does, refuse to make a window its own ancestor.
  for (const sim::Window* up = Live(hWndNewParent); up != nullptr; up = Live(up->parent))
    if (up->handle == hWndChild) return 0;
  const HWND previous = window->parent == 0 ? state().desktop : window->parent;
  const bool wasTopLevel = window->parent == 0;
  window->parent = hWndNewParent == state().desktop ? 0 : hWndNewParent;
  if (wasTopLevel && window->parent != 0) std::erase(state().zOrder, hWndChild);
  if (state().active == hWndChild && window->parent != 0) state().active = 0;
  return previous;
}

HWND GetDesktopWindow() {
  Log(sim::Fn::GetDesktopWindow, {});
  return state().desktop;
}

BOOL GetWindowRect(HWND hWnd, RECT* lpRect) {
  Log(sim::Fn::GetWindowRect, {hWnd});
  if (lpRect == nullptr) return 0;
  if (hWnd == state().desktop) {
    *lpRect = {0, 0, state().screenWidth, state().screenHeight};
    return 1;
  }
  const sim::Window* window = Live(hWnd);
  if (window == nullptr) return 0;
  std::int32_t x = window->rect.left, y = window->rect.top;
  if (const sim::Window* parent = Live(window->parent)) {
    std::int32_t px = 0, py = 0;
    ScreenOrigin(*parent, px, py);
    x += px;
    y += py;
  }
  *lpRect = {x, y, x + window->rect.Width(), y + window->rect.Height()};
  return 1;
}

int ShowCursor(BOOL bShow) {
  Log(sim::Fn::ShowCursor, {bShow});
  state().cursorCount += bShow ? 1 : -1;
  return state().cursorCount;
}

BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, void* pvParam, UINT fWinIni) {
  Log(sim::Fn::SystemParametersInfoA,
      {uiAction, uiParam, pvParam == nullptr ? 0 : 1, static_cast<std::int64_t>(fWinIni)});
  if (uiAction == SPI_SETSCREENSAVEACTIVE) {
    state().screenSaverActive = uiParam != 0;
    return 1;
  }
  if (uiAction == SPI_GETSCREENSAVEACTIVE && pvParam != nullptr) {
    if (state().screenSaverReadFails) return 0;
    *static_cast<BOOL*>(pvParam) = state().screenSaverActive ? 1 : 0;
    return 1;
  }
  return 0;
}

BOOL IsWindow(HWND hWnd) {
  Log(sim::Fn::IsWindow, {hWnd});
  return hWnd == state().desktop || Live(hWnd) != nullptr ? 1 : 0;
}

}  // namespace user32
