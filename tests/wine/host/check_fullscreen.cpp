// Full-screen mode ("/S"): a topmost window over the desktop, the banner, then rain; a
// key or a real mouse movement ends it, and the screen-saver activation is off meanwhile.
#include "host.h"

namespace host {

int CheckFullScreen(const std::wstring& scr, const std::wstring& dismissal) {
  Checks checks;
  // Read in a fresh process each time: Wine keeps a per-process copy of system parameters.
  const auto screenSaverActive = [] { return RunSelf(L"spi-get"); };
  checks.Expect(RunSelf(L"spi-on") == 0 && screenSaverActive() == 1,
                "screen-saver activation switched on before the run");
  RECT d;
  GetWindowRect(GetDesktopWindow(), &d);
  const RECT band{d.right / 2 - 300, d.bottom / 2 - 50, d.right / 2 + 300, d.bottom / 2 + 50};
  const RECT topThird{0, 0, d.right, d.bottom / 3};

  Saver saver;
  checks.Expect(saver.Start(scr, L"/S"), "the saver starts with /S");
  HWND window = saver.WaitForWindow();
  if (!checks.Expect(window != nullptr, "a window of the saver is shown")) return checks.failures();
  RECT r;
  GetWindowRect(window, &r);
  checks.Expect(EqualRect(&r, &d), "it covers the desktop (%ld, %ld, %ld, %ld)", r.left, r.top,
                r.right, r.bottom);
  checks.Expect((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, "it is topmost");

  bool banner = PollUntil(std::chrono::seconds(5), [&] { return CountGreenPixels(band) > 50; });
  checks.Expect(banner, "the green banner shows in the middle of the screen");
  if (banner) checks.Expect(CountGreenPixels(topThird) == 0, "the banner frame hides the rain");
  checks.Expect(screenSaverActive() == 0, "the screen-saver activation is off while it runs");

  if (dismissal == L"mouse" && banner) {
    // Moves over the banner frame reach the frame, not the form: they end nothing.
    SetCursorPos(d.right / 4, d.bottom / 4);
    PumpFor(std::chrono::milliseconds(150));
    SetCursorPos(d.right / 4 + 40, d.bottom / 4 + 40);
    bool stillBanner = CountGreenPixels(topThird) == 0;
    bool ended = saver.WaitForExit(std::chrono::milliseconds(500));
    if (stillBanner) checks.Expect(!ended, "mouse moves over the banner frame do not end it");
  }
  checks.Expect(
      PollUntil(std::chrono::seconds(10), [&] { return CountGreenPixels(topThird) > 20; }),
      "rain falls after the intro");
  checks.Expect(saver.ExitCode() == STILL_ACTIVE, "it still runs");

  if (dismissal == L"mouse") {
    // Real pointer moves; one that lands on a falling letter goes to the letter, so try a few.
    for (int i = 0; i < 12 && !saver.WaitForExit(std::chrono::milliseconds(150)); ++i)
      SetCursorPos(100 + 67 * i % (d.right - 200), 100 + 53 * i % (d.bottom - 200));
  } else if (dismissal == L"end-session") {
    // The session closing: the saver agrees, then unloads as on any other dismissal.
    DWORD_PTR agrees = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 2000, &agrees);
    checks.Expect(agrees != 0, "it lets the session end");
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 2000, nullptr);
  } else {
    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0x00390001);
  }
  if (dismissal == L"mouse") {
    saver.ExpectEnds(checks, dismissal.c_str());
  } else {
    saver.ExpectEndsPromptly(checks, dismissal.c_str(),
                             [&] { return CountGreenPixels(topThird) == 0; });
  }
  // Only the case "on before" can be shown here: Wine may hand a new GUI process a stale
  // copy of the setting, so a run that starts with it off reads it as on.
  int after = screenSaverActive();
  checks.Expect(after == 1, "the screen-saver activation is on again after the run (read %d)",
                after);
  return checks.failures();
}

}  // namespace host
