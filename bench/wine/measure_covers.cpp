// Time from CreateProcess of "Quelvo.scr /S" until both monitors are covered: the window
// under the centre of each monitor is the saver's. Built into the Wine test host for
// bench/wine/measure_covers.sh; not a test.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "host.h"

namespace host {
namespace {

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

int MeasureCovers(const std::wstring& scr) {
  const POINT primary{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  POINT other{-1, -1};
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM param) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(monitor, &info);
        if (!(info.dwFlags & MONITORINFOF_PRIMARY))
          *reinterpret_cast<POINT*>(param) = Centre(info.rcMonitor);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&other));
  if (other.x < 0) {
    std::fputs("only one monitor\n", stderr);
    return 2;
  }

  const auto start = std::chrono::steady_clock::now();
  Saver saver;
  if (!saver.Start(scr, L"/S")) return 2;
  auto elapsed = [&] {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  };
  double primaryMs = -1, otherMs = -1;
  while (elapsed() < 15000 && (primaryMs < 0 || otherMs < 0)) {
    if (primaryMs < 0 && SaverWindowAt(saver, primary)) primaryMs = elapsed();
    if (otherMs < 0 && SaverWindowAt(saver, other)) otherMs = elapsed();
    Sleep(1);
  }
  std::printf("primary_covered_ms %.1f\nother_covered_ms %.1f\n", primaryMs, otherMs);
  std::fflush(stdout);
  if (HWND w = SaverWindowAt(saver, primary)) PostMessageW(w, WM_KEYDOWN, VK_SPACE, 0x00390001);
  saver.WaitForExit(std::chrono::seconds(3));
  return primaryMs < 0 || otherMs < 0 ? 1 : 0;
}

}  // namespace host
