// "/S" on two monitors: Wine sees both; the saver's windows are on top of each, rain on
// the primary and black on the other; a key or a mouse move on the other ends it.
#include "host.h"

namespace host {

int CheckMonitors(const std::wstring& scr, const std::wstring& dismissal) {
  Checks checks;
  MONITORINFO first{sizeof(MONITORINFO), {}, {}, 0}, second = first;
  GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTONULL), &first);
  GetMonitorInfoW(MonitorFromPoint({1300, 10}, MONITOR_DEFAULTTONULL), &second);
  const RECT primary{0, 0, 1280, 1024}, other{1280, 0, 2304, 768};
  const bool two = GetSystemMetrics(SM_CMONITORS) == 2 && (first.dwFlags & MONITORINFOF_PRIMARY) &&
                   EqualRect(&first.rcMonitor, &primary) && EqualRect(&second.rcMonitor, &other);
  if (!checks.Expect(two, "Wine sees two monitors: 0,0-1280,1024 (primary) and 1280,0-2304,768"))
    return checks.failures();

  // Something of our own on the other monitor, for the saver to hide.
  CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 1280, 0, 1024, 768, nullptr, nullptr,
                  nullptr, nullptr);
  PollUntil(std::chrono::seconds(5), [&] { return CountPixels(other, Hue::Lit) > 1000; });
  SetCursorPos(10, 10);
  Saver saver;
  checks.Expect(saver.Start(scr, L"/S"), "the saver starts with /S");
  const POINT onPrimary{640, 512}, onOther{1792, 384};
  auto covered = [&] { return SaverWindowAt(saver, onPrimary) && SaverWindowAt(saver, onOther); };
  checks.Expect(PollUntil(std::chrono::seconds(10), covered),
                "the window under the centre of each monitor is the saver's");
  const RECT primaryTop{0, 0, 1280, 300};
  checks.Expect(
      PollUntil(std::chrono::seconds(10), [&] { return CountGreenPixels(primaryTop) > 20; }),
      "rain falls on the primary");
  checks.Expect(CountPixels(other, Hue::Lit) == 0, "the other monitor is black");

  if (dismissal == L"mouse") {
    SetCursorPos(onOther.x, onOther.y);
    checks.Expect(!saver.WaitForExit(std::chrono::milliseconds(300)), "a first move ends nothing");
    SetCursorPos(onOther.x + 40, onOther.y + 40);
  } else {
    PostMessageW(SaverWindowAt(saver, onOther), WM_KEYDOWN, VK_SPACE, 0x00390001);
  }
  saver.ExpectEnds(checks, (L"a " + dismissal + L" on the other monitor").c_str());
  return checks.failures();
}

}  // namespace host
