// Implements: platform::RunMessageLoop and Quit on Win32, and the delivery of events
// that must wait for the loop (a form's window destroyed by someone else) through a
// message-only window.
#include <windows.h>

#include "forms/events.h"
#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace platform::win32 {
namespace {

constexpr UINT kWindowDestroyed = WM_APP + 1;

LRESULT CALLBACK DispatcherProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == kWindowDestroyed) {
    forms::events::WindowDestroyed(static_cast<WindowHandle>(wParam));
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A window rather than thread messages: those are lost while a modal loop (moving or
// sizing the about box) runs.
HWND Dispatcher() {
  static HWND dispatcher = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DispatcherProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuelvoDispatcher";
    RegisterClassExW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           wc.hInstance, nullptr);
  }();
  return dispatcher;
}

}  // namespace

void DeferWindowDestroyed(HWND hwnd) {
  PostMessageW(Dispatcher(), kWindowDestroyed, static_cast<WPARAM>(ToHandle(hwnd)), 0);
}

}  // namespace platform::win32

namespace platform {

int RunMessageLoop() {
  win32::Dispatcher();
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

void Quit(int status) {
  win32::CallGuard guard;
  PostQuitMessage(status);
}

}  // namespace platform
