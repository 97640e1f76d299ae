// Implements: the window functions the program declares (platform/user32.h), forwarded
// to the real user32 functions with 32-bit handles widened and narrowed.
// Our declarations come before <windows.h>: its macros (GWL_STYLE, SWP_NOSIZE, ...)
// would otherwise rewrite the names user32.h declares.
// clang-format off
#include "platform/user32.h"

#include <windows.h>

#include "platform/win32/win32_internal.h"
// clang-format on

namespace user32 {

using platform::win32::CallGuard;
using platform::win32::FindRecord;
using platform::win32::ToHandle;
using platform::win32::ToHwnd;

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  CallGuard guard;
  ::HWND window = ToHwnd(hWnd);
  // A hidden window cannot be the active one: without this the keep-on-top calls on the
  // hidden rain form would take the activation (and the keyboard) from the about box.
  if (FindRecord(window) && !(::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) &&
      !(uFlags & SWP_SHOWWINDOW)) {
    uFlags |= SWP_NOACTIVATE;
  }
  return ::SetWindowPos(window, ToHwnd(hWndInsertAfter), X, Y, cx, cy, uFlags);
}

namespace {

// Calls a user32 function that fills a RECT, and copies the result into ours.
BOOL ReadRect(::BOOL(WINAPI* read)(::HWND, ::RECT*), HWND hWnd, RECT* lpRect) {
  CallGuard guard;
  ::RECT r{};
  const BOOL ok = read(ToHwnd(hWnd), &r);
  if (ok) *lpRect = {r.left, r.top, r.right, r.bottom};
  return ok;
}

}  // namespace

BOOL GetClientRect(HWND hWnd, RECT* lpRect) { return ReadRect(::GetClientRect, hWnd, lpRect); }
BOOL GetWindowRect(HWND hWnd, RECT* lpRect) { return ReadRect(::GetWindowRect, hWnd, lpRect); }

// On 64-bit Windows the parent link is pointer-sized and only the Ptr functions accept
// its index; the handle itself still fits in 32 bits.
LONG GetWindowLongA(HWND hWnd, int nIndex) {
  CallGuard guard;
  if (nIndex == GWL_HWNDPARENT) {
    return static_cast<LONG>(::GetWindowLongPtrA(ToHwnd(hWnd), GWLP_HWNDPARENT));
  }
  return ::GetWindowLongA(ToHwnd(hWnd), nIndex);
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  CallGuard guard;
  ::HWND window = ToHwnd(hWnd);
  LONG previous;
  if (nIndex == GWL_HWNDPARENT) {
    previous = static_cast<LONG>(::SetWindowLongPtrA(
        window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ToHwnd(dwNewLong))));
  } else {
    // WS_CHILD with WS_POPUP still counts as a top-level window for activation: a form
    // that makes itself a child (the preview) would take the activation from its host.
    if (nIndex == GWL_STYLE && (dwNewLong & WS_CHILD) && FindRecord(window)) {
      dwNewLong &= ~WS_POPUP;
    }
    previous = ::SetWindowLongA(window, nIndex, dwNewLong);
  }
  platform::win32::ReportRectIfChanged(window);
  return previous;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  CallGuard guard;
  ::HWND child = ToHwnd(hWndChild);
  HWND previous = ToHandle(::SetParent(child, ToHwnd(hWndNewParent)));
  // The position is now relative to another window even if no pixel moved.
  platform::win32::ReportRectIfChanged(child);
  return previous;
}

HWND GetDesktopWindow() {
  CallGuard guard;
  return ToHandle(::GetDesktopWindow());
}

int ShowCursor(BOOL bShow) {
  CallGuard guard;
  return ::ShowCursor(bShow);
}

BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, void* pvParam, UINT fWinIni) {
  CallGuard guard;
  return ::SystemParametersInfoA(uiAction, uiParam, pvParam, fWinIni);
}

BOOL IsWindow(HWND hWnd) {
  CallGuard guard;
  return ::IsWindow(ToHwnd(hWnd));
}

}  // namespace user32
