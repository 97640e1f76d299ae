// Full-screen mode ("/S"): a topmost window over the desktop, the banner, then rain; a
// key or a real mouse movement ends it, and the screen-saver activation is off meanwhile.
#include <windows.h>

#include <string>

#include "host.h"

namespace host {
namespace {

// Read in a fresh process each time: Wine keeps a per-process copy of system parameters.
int ScreenSaverActive() { return RunSelf(L"spi-get"); }

RECT Band(const RECT& screen) {
  int cx = (screen.left + screen.right) / 2;
  int cy = (screen.top + screen.bottom) / 2;
  return {cx - 300, cy - 50, cx + 300, cy + 50};
}

RECT TopThird(const RECT& screen) {
  return {screen.left, screen.top, screen.right, screen.top + (screen.bottom - screen.top) / 3};
}

}  // namespace

int CheckFullScreen(const std::wstring& scr, const std::wstring& dismissal) {
  Checks checks;
  checks.Expect(RunSelf(L"spi-set 1") == 0 && ScreenSaverActive() == 1,
                "screen-saver activation switched on before the run");
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);

  Saver saver;
  checks.Expect(saver.Start(scr, L"/S"), "the saver starts with /S");
  HWND window = nullptr;
  checks.Expect(PollUntil(std::chrono::seconds(10),
                          [&] {
                            window = FindTopLevelWindow(
                                saver.pid, [](HWND w) { return IsWindowVisible(w) != FALSE; });
                            return window != nullptr;
                          }),
                "a window of the saver is shown");
  if (!window) return checks.failures();

  RECT r;
  GetWindowRect(window, &r);
  checks.Expect(EqualRect(&r, &desktop), "it covers the desktop (%ld, %ld, %ld, %ld)", r.left,
                r.top, r.right, r.bottom);
  checks.Expect((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, "it is topmost");

  bool banner =
      PollUntil(std::chrono::seconds(5), [&] { return CountGreenPixels(Band(desktop)) > 50; });
  checks.Expect(banner, "the green banner shows in the middle of the screen");
  if (banner) {
    checks.Expect(CountGreenPixels(TopThird(desktop)) == 0, "the banner frame hides the rain");
  }
  checks.Expect(ScreenSaverActive() == 0, "the screen-saver activation is off while it runs");

  if (dismissal == L"mouse" && banner) {
    // Moves over the banner frame reach the frame, not the form: they end nothing.
    SetCursorPos(desktop.right / 4, desktop.bottom / 4);
    PumpFor(std::chrono::milliseconds(150));
    SetCursorPos(desktop.right / 4 + 40, desktop.bottom / 4 + 40);
    bool stillBanner = CountGreenPixels(TopThird(desktop)) == 0;
    bool ended = saver.WaitForExit(std::chrono::milliseconds(500));
    if (stillBanner) checks.Expect(!ended, "mouse moves over the banner frame do not end it");
  }

  checks.Expect(
      PollUntil(std::chrono::seconds(10), [&] { return CountGreenPixels(TopThird(desktop)) > 20; }),
      "rain falls after the intro");
  checks.Expect(saver.ExitCode() == STILL_ACTIVE, "it still runs");

  if (dismissal == L"mouse") {
    // Real pointer moves; one that lands on a falling letter goes to the letter, so try a few.
    bool ended = false;
    for (int i = 0; i < 12 && !ended; ++i) {
      SetCursorPos(100 + 67 * i % (desktop.right - 200), 100 + 53 * i % (desktop.bottom - 200));
      ended = saver.WaitForExit(std::chrono::milliseconds(150));
    }
    checks.Expect(ended || saver.WaitForExit(std::chrono::seconds(2)),
                  "moving the mouse over the background ends it");
  } else if (dismissal == L"end-session") {
    // The session closing: the saver agrees, then unloads as on any other dismissal.
    DWORD_PTR agrees = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 2000, &agrees);
    checks.Expect(agrees != 0, "it lets the session end");
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 2000, nullptr);
    checks.Expect(saver.WaitForExit(std::chrono::seconds(2)),
                  "the session's end ends it within 2 s");
  } else {
    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0x00390001);
    checks.Expect(saver.WaitForExit(std::chrono::seconds(2)), "a key ends it within 2 s");
  }
  checks.Expect(saver.ExitCode() == 0, "exit status 0 (%lu)", saver.ExitCode());
  // Only the case "on before" can be shown here: Wine may hand a new GUI process a stale
  // copy of the setting, so a run that starts with it off reads it as on.
  int after = ScreenSaverActive();
  checks.Expect(after == 1, "the screen-saver activation is on again after the run (read %d)",
                after);
  return checks.failures();
}

}  // namespace host
