// "/S" on two monitors: Wine sees both; the saver's windows are on top of each, rain on
// the primary and black on the other; a key or a mouse move on either ends it promptly.
#include "host.h"

namespace host {

int CheckMonitors(const std::wstring& scr, const std::wstring& dismissal, bool onPrimary) {
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
  const POINT primaryCentre{640, 512}, otherCentre{1792, 384};
  auto covered = [&] {
    return SaverWindowAt(saver, primaryCentre) && SaverWindowAt(saver, otherCentre);
  };
  checks.Expect(PollUntil(std::chrono::seconds(10), covered),
                "the window under the centre of each monitor is the saver's");
  const RECT primaryTop{0, 0, 1280, 300};
  checks.Expect(
      PollUntil(std::chrono::seconds(10), [&] { return CountGreenPixels(primaryTop) > 20; }),
      "rain falls on the primary");
  checks.Expect(CountPixels(other, Hue::Lit) == 0, "the other monitor is black");

  const POINT at = onPrimary ? POINT{100, 900} : otherCentre;
  if (dismissal == L"mouse") {
    SetCursorPos(at.x, at.y);
    checks.Expect(!saver.WaitForExit(std::chrono::milliseconds(300)), "a first move ends nothing");
    SetCursorPos(at.x + 40, at.y + 40);
  } else {
    PostMessageW(SaverWindowAt(saver, at), WM_KEYDOWN, VK_SPACE, 0x00390001);
  }
  // Off the screen: no rain on the primary, and our own window seen again on the other.
  saver.ExpectEndsPromptly(
      checks, (L"a " + dismissal + (onPrimary ? L" on the primary" : L" on the other")).c_str(),
      [&] {
        const RECT otherMiddle{1664, 256, 1920, 512};  // small: each look costs a screen read
        return CountPixels(otherMiddle, Hue::Lit) > 1000 && CountGreenPixels(primaryTop) == 0;
      });
  return checks.failures();
}

}  // namespace host
