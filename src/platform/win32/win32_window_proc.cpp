// Implements: the window procedure of our form and frame windows on Win32. Turns
// keyboard, mouse, close, destroy, move/size, paint and timer messages into the
// runtime's events (forms/events.h).
#include <windows.h>
#include <windowsx.h>

#include "forms/events.h"
#include "platform/win32/win32_internal.h"

namespace platform::win32 {
namespace {

namespace events = forms::events;

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

int ButtonsOf(WPARAM keys) {
  int buttons = 0;
  if (keys & MK_LBUTTON) buttons |= 1;
  if (keys & MK_RBUTTON) buttons |= 2;
  if (keys & MK_MBUTTON) buttons |= 4;
  return buttons;
}

bool IsInputOrClose(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_CLOSE:
      return true;
    default:
      return false;
  }
}

// Windows repeats WM_MOUSEMOVE without any motion whenever windows change under the
// pointer (as the keep-on-top calls do many times a second); only real moves count.
bool IsRepeatedMove(HWND hwnd, LPARAM position, WPARAM keys) {
  static HWND lastWindow = nullptr;
  static LPARAM lastPosition = 0;
  static WPARAM lastKeys = 0;
  bool repeated = hwnd == lastWindow && position == lastPosition && keys == lastKeys;
  lastWindow = hwnd;
  lastPosition = position;
  lastKeys = keys;
  return repeated;
}

// WM_CHAR carries UTF-16 units; a character beyond the BMP comes as two of them.
void DeliverChar(HWND hwnd, WPARAM unit) {
  static WPARAM highSurrogate = 0;
  if (unit >= 0xD800 && unit < 0xDC00) {
    highSurrogate = unit;
    return;
  }
  int code = static_cast<int>(unit);
  if (unit >= 0xDC00 && unit < 0xE000 && highSurrogate) {
    code = 0x10000 + ((static_cast<int>(highSurrogate) - 0xD800) << 10) +
           (static_cast<int>(unit) - 0xDC00);
  }
  highSurrogate = 0;
  events::KeyChar(ToHandle(hwnd), code);
}

}  // namespace

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  WindowRecord* record = FindRecord(hwnd);
  if (!record) return DefWindowProcW(hwnd, message, wParam, lParam);

  // Another thread's SendMessage can reach us while the runtime is inside a platform
  // call; input and close requests then wait for the message loop.
  if (CallGuard::Inside() && IsInputOrClose(message)) {
    PostMessageW(hwnd, message, wParam, lParam);
    return 0;
  }

  const WindowHandle handle = ToHandle(hwnd);
  const bool rainLike = record->isForm && record->border == FormBorder::Borderless;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel; erasing first would flicker
    case WM_PAINT:
      // Painting asks the runtime what to draw, which must not happen inside its own calls;
      // leaving the area invalid repeats WM_PAINT from the loop.
      if (CallGuard::Inside()) return 0;
      PaintWindow(hwnd);
      return 0;
    case WM_KEYDOWN:
      events::KeyDown(handle, static_cast<int>(wParam), ShiftState());
      return 0;
    case WM_SYSKEYDOWN:
      // Alt, F10 and Alt+key are keys like any other for the saver.
      events::KeyDown(handle, static_cast<int>(wParam), ShiftState());
      // The about box keeps the system keys (Alt+F4, Alt+Space) if it survived the key.
      if (rainLike || !IsWindow(hwnd)) return 0;
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      // On the borderless form these would open the system menu loop or beep.
      if (rainLike) return 0;
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_CHAR:
      DeliverChar(hwnd, wParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      int button = message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 4;
      events::MouseDown(handle, button, ShiftState(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      int button = message == WM_LBUTTONUP ? 1 : message == WM_RBUTTONUP ? 2 : 4;
      events::MouseUp(handle, button, ShiftState(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    }
    case WM_MOUSEMOVE:
      if (!IsRepeatedMove(hwnd, lParam, wParam)) {
        events::MouseMove(handle, ButtonsOf(wParam), ShiftState(), GET_X_LPARAM(lParam),
                          GET_Y_LPARAM(lParam));
      }
      return 0;
    case WM_CLOSE:
      // The runtime decides: it unloads the form and destroys the window itself.
      events::CloseRequest(handle);
      return 0;
    case WM_TIMER:
      TimerFired(hwnd, wParam);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);  // sends WM_SIZE/WM_MOVE
      ReportRectIfChanged(hwnd);
      UpdateCovers(hwnd, false);
      return result;
    }
    case WM_DISPLAYCHANGE:
      UpdateCovers(hwnd, true);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_ENDSESSION:
      if (wParam && !CallGuard::Inside()) events::Terminate();
      return 0;
    case WM_DESTROY:
      // Only a form can lose its window to someone else: the host destroying the
      // preview window it is a child of. Frames go with their form.
      if (record->isForm && !DestroyingOurselves()) DeferWindowDestroyed(hwnd);
      return 0;
    case WM_NCDESTROY:
      ForgetTimers(hwnd);
      RemoveRecord(hwnd);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace platform::win32
