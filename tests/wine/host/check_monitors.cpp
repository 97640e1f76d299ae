// "/S" on two monitors: Wine sees both; the saver's windows are on top of each, rain on
// the primary and black on the other; a key or a mouse move on the other ends it.
#include <windows.h>

#include <string>
#include <vector>

#include "host.h"

namespace host {
namespace {

struct Monitor {
  RECT rect;
  bool primary;
};

std::vector<Monitor> Monitors() {
  std::vector<Monitor> found;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM param) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(monitor, &info);
        reinterpret_cast<std::vector<Monitor>*>(param)->push_back(
            {info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool Is(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
  return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

}  // namespace

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

HWND SaverWindowAt(const Saver& saver, POINT p) {
  HWND w = GetAncestor(WindowFromPoint(p), GA_ROOT);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  return w && pid == saver.pid ? w : nullptr;
}

int CheckMonitors(const std::wstring& scr, const std::wstring& dismissal) {
  Checks checks;
  const std::vector<Monitor> monitors = Monitors();
  const bool two = monitors.size() == 2 && monitors[0].primary != monitors[1].primary;
  checks.Expect(two, "Wine sees two monitors, one of them primary (%zu)", monitors.size());
  if (!two) return checks.failures();
  const RECT primary = monitors[0].primary ? monitors[0].rect : monitors[1].rect;
  const RECT other = monitors[0].primary ? monitors[1].rect : monitors[0].rect;
  checks.Expect(Is(primary, 0, 0, 1280, 1024) && Is(other, 1280, 0, 2304, 768),
                "primary 0,0-1280,1024 and the other 1280,0-2304,768");

  // Something of our own on the other monitor, for the saver to hide.
  HWND lit = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, other.left, other.top,
                             other.right - other.left, other.bottom - other.top, nullptr, nullptr,
                             nullptr, nullptr);
  checks.Expect(
      PollUntil(std::chrono::seconds(5), [&] { return CountPixels(other, Hue::Lit) > 1000; }),
      "a window of the host shows on the other monitor");
  SetCursorPos(10, 10);
  Saver saver;
  checks.Expect(saver.Start(scr, L"/S"), "the saver starts with /S");
  checks.Expect(PollUntil(std::chrono::seconds(10),
                          [&] {
                            return SaverWindowAt(saver, Centre(primary)) &&
                                   SaverWindowAt(saver, Centre(other));
                          }),
                "the window under the centre of each monitor is the saver's");
  const RECT rain{primary.left, primary.top, primary.right, primary.bottom / 3};
  checks.Expect(PollUntil(std::chrono::seconds(10), [&] { return CountGreenPixels(rain) > 20; }),
                "rain falls on the primary");
  checks.Expect(CountPixels(other, Hue::Lit) == 0, "the other monitor is black");

  const POINT c = Centre(other);
  if (dismissal == L"mouse") {
    SetCursorPos(c.x, c.y);
    checks.Expect(!saver.WaitForExit(std::chrono::milliseconds(300)),
                  "the first move on the other monitor only records the position");
    SetCursorPos(c.x + 40, c.y + 40);
  } else {
    PostMessageW(SaverWindowAt(saver, c), WM_KEYDOWN, VK_SPACE, 0x00390001);
  }
  checks.Expect(saver.WaitForExit(std::chrono::seconds(2)),
                "a %ls on the other monitor ends it within 2 s", dismissal.c_str());
  checks.Expect(saver.ExitCode() == 0, "exit status 0 (%lu)", saver.ExitCode());
  DestroyWindow(lit);
  return checks.failures();
}

}  // namespace host
