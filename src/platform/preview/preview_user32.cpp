// Implements: the user32 window functions on the run's windows and the two it is told
// of, the desktop and the host's preview window: SetWindowPos, GetWindowLongA/
// SetWindowLongA (their bookkeeping in linux_user32), GetClientRect, SetParent,
// GetDesktopWindow, GetWindowRect, IsWindow, and ShowCursor and SystemParametersInfoA,
// which the run keeps to itself: a preview never changes the session's cursor or saver.
#include "platform/preview/preview_run.h"
#include "platform/user32.h"

namespace user32 {
namespace {

using preview::FindWindow;
using preview::kDesktopWindow;
using preview::kHostWindow;

// The desktop and the host's window both stand at the area's corner, the size of it.
RECT AreaRect() { return {0, 0, preview::CurrentRun().width, preview::CurrentRun().height}; }

// The host decides the stacking of what it shows; the run has no other window to be above.
void KeepOnTop(platform::WindowHandle) {}

constexpr linux_platform::WindowPosSteps kPosSteps{platform::SetWindowRect, KeepOnTop,
                                                   platform::SetWindowVisible};

}  // namespace

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  return linux_platform::SetWindowPos(FindWindow(hWnd), hWnd,
                                      {hWndInsertAfter, X, Y, cx, cy, uFlags}, kPosSteps);
}

BOOL GetClientRect(HWND hWnd, RECT* lpRect) {
  if (lpRect == nullptr) return 0;
  if (const preview::WindowRecord* w = FindWindow(hWnd)) {
    *lpRect = {0, 0, w->clientWidth, w->clientHeight};
    return 1;
  }
  if (hWnd != kHostWindow && hWnd != kDesktopWindow) return 0;
  *lpRect = AreaRect();
  return 1;
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
  return linux_platform::GetWindowLong(FindWindow(hWnd), nIndex);
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  return linux_platform::SetWindowLong(FindWindow(hWnd), nIndex, dwNewLong);
}

// A form goes into the host's window at its corner, or back onto the desktop; the run's
// windows hold no other form.
HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  preview::WindowRecord* w = FindWindow(hWndChild);
  if (hWndNewParent == 0) hWndNewParent = kDesktopWindow;
  if (w == nullptr || w->isFrame ||
      (hWndNewParent != kHostWindow && hWndNewParent != kDesktopWindow))
    return 0;
  const HWND previous = w->parent;
  if (previous == hWndNewParent) return previous;
  preview::DamageInArea(*w);
  w->parent = hWndNewParent;
  const platform::PixelRect at{0, 0, w->rect.Width(), w->rect.Height()};
  if (hWndNewParent == kHostWindow) w->rect = {};  // so that the move below is told
  preview::NoteGeometry(*w, at);
  return previous;
}

HWND GetDesktopWindow() { return kDesktopWindow; }

BOOL GetWindowRect(HWND hWnd, RECT* lpRect) {
  if (lpRect == nullptr) return 0;
  if (hWnd == kHostWindow || hWnd == kDesktopWindow) {
    *lpRect = AreaRect();
    return 1;
  }
  const preview::WindowRecord* w = FindWindow(hWnd);
  if (w == nullptr) return 0;
  platform::PixelRect r = w->rect;
  if (w->isFrame) {
    if (const preview::WindowRecord* form = FindWindow(w->parent))
      r = {r.left + form->rect.left, r.top + form->rect.top, r.right + form->rect.left,
           r.bottom + form->rect.top};
  }
  *lpRect = {r.left, r.top, r.right, r.bottom};
  return 1;
}

int ShowCursor(BOOL bShow) { return preview::CurrentRun().cursorCount += bShow ? 1 : -1; }

BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, void* pvParam, UINT) {
  return linux_platform::SystemParametersInfo(
      uiAction, uiParam, pvParam,
      [](bool active) { preview::CurrentRun().screenSaverActive = active; },
      [] { return preview::CurrentRun().screenSaverActive; });
}

BOOL IsWindow(HWND hWnd) {
  return hWnd == kHostWindow || hWnd == kDesktopWindow || FindWindow(hWnd) != nullptr;
}

}  // namespace user32
