// Implements: platform::Dpi, ScreenWidth, ScreenHeight and SystemColour on Win32.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

namespace {

// A function of a system DLL that older Windows lack, or null.
template <typename Fn>
Fn Lookup(const wchar_t* dll, const char* name) {
  HMODULE module = LoadLibraryW(dll);
  FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
  return proc ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc)) : nullptr;
}

// The primary monitor's own scaling (Windows 8.1 on). The system DPI, fixed at sign-in,
// lags behind when the user changes the scaling and does not sign out again.
int PrimaryMonitorDpi() {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpi = Lookup<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
  UINT x = 0;
  UINT y = 0;
  HMONITOR primary = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  // 0: MDT_EFFECTIVE_DPI.
  return getDpi && SUCCEEDED(getDpi(primary, 0, &x, &y)) ? static_cast<int>(y) : 0;
}

int SystemDpi() {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  static const auto getDpi = Lookup<GetDpiForSystemFn>(L"user32.dll", "GetDpiForSystem");
  if (UINT value = getDpi ? getDpi() : 0) return static_cast<int>(value);
  HDC screen = GetDC(nullptr);
  int value = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return value;
}

}  // namespace

// Twips become pixels at the scaling of the primary monitor, where the forms open.
int Dpi() {
  static const int dpi = [] {
    int value = PrimaryMonitorDpi();
    if (value <= 0) value = SystemDpi();
    return value > 0 ? value : 96;
  }();
  return dpi;
}

std::int32_t ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
std::int32_t ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

Colour SystemColour(int index) { return GetSysColor(index); }

}  // namespace platform
