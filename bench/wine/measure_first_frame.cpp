// Time from starting "Quelvo.scr /S" to its first painted frame (the green banner on
// screen), for the bench script; not a test.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "host.h"

namespace host {

int MeasureFirstFrame(const std::wstring& scr) {
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  int cx = desktop.right / 2;
  int cy = desktop.bottom / 2;
  RECT band{cx - 300, cy - 50, cx + 300, cy + 50};

  auto start = std::chrono::steady_clock::now();
  Saver saver;
  if (!saver.Start(scr, L"/S")) return 2;
  HWND window = nullptr;
  double windowMs = -1;
  double frameMs = -1;
  auto elapsed = [&] {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  };
  while (elapsed() < 15000) {
    if (!window) {
      window = FindTopLevelWindow(saver.pid, [](HWND w) { return IsWindowVisible(w) != FALSE; });
      if (window) windowMs = elapsed();
    }
    if (window && CountGreenPixels(band) > 50) {
      frameMs = elapsed();
      break;
    }
    Sleep(2);
  }
  std::printf("window_shown_ms %.1f\nfirst_frame_ms %.1f\n", windowMs, frameMs);
  std::fflush(stdout);
  if (window) PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0x00390001);
  saver.WaitForExit(std::chrono::seconds(3));
  return frameMs < 0 ? 1 : 0;
}

}  // namespace host
