// Implements: platform::Dpi, ScreenWidth, ScreenHeight and SystemColour on Win32.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

int Dpi() {
  static const int dpi = [] {
    // GetDpiForSystem exists from Windows 10 1607 on; look it up so older systems still start.
    using GetDpiForSystemFn = UINT(WINAPI*)();
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      if (FARPROC proc = GetProcAddress(user32, "GetDpiForSystem")) {
        auto getDpi = reinterpret_cast<GetDpiForSystemFn>(reinterpret_cast<void (*)()>(proc));
        if (UINT value = getDpi()) return static_cast<int>(value);
      }
    }
    HDC screen = GetDC(nullptr);
    int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

std::int32_t ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
std::int32_t ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

Colour SystemColour(int index) { return GetSysColor(index); }

}  // namespace platform
