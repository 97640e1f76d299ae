// About-box mode ("/C" or no switch): an ordinary sizable window with an empty title;
// closing it or a click on its bare surface ends the program.
#include "host.h"

namespace host {
namespace {

int Pixels(int twips) { return MulDiv(twips, ScreenDpi(), 1440); }

void Click(HWND window, int x, int y) {
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace

int CheckAboutBox(const std::wstring& scr, const std::wstring& arguments, const std::wstring& how) {
  Checks checks;
  Saver saver;
  checks.Expect(saver.Start(scr, arguments), "the program starts with \"%ls\"", arguments.c_str());
  HWND about =
      saver.WaitForWindow([](HWND w) { return GetWindowLongW(w, GWL_STYLE) & WS_THICKFRAME; });
  if (!checks.Expect(about != nullptr, "a sizable window appears")) return checks.failures();

  LONG style = GetWindowLongW(about, GWL_STYLE);
  checks.Expect((style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW,
                "it has a title bar, system menu, minimise and maximise buttons");
  checks.Expect(GetWindowTextLengthW(about) == 0, "its title is empty");
  RECT client;
  GetClientRect(about, &client);
  checks.Expect(client.right == Pixels(4290) && client.bottom == Pixels(1755),
                "its client area is 4290 x 1755 twips (%ld x %ld pixels)", client.right,
                client.bottom);
  // Wine answers WM_GETICON only inside the process: run_wine_check.sh reads the icons.
  checks.Expect(
      !FindTopLevelWindow(saver.pid, [&](HWND w) { return w != about && IsWindowVisible(w); }),
      "nothing else of the program is visible");

  RECT onScreen = client;
  MapWindowPoints(about, HWND_DESKTOP, reinterpret_cast<POINT*>(&onScreen), 2);
  checks.Expect(
      PollUntil(std::chrono::seconds(5), [&] { return CountPixels(onScreen, Hue::Blue) > 20; }),
      "the maker's name is painted in blue");

  // The hidden rain form is made topmost every 20 ms meanwhile; it must not take the activation.
  checks.Expect(PollUntil(std::chrono::seconds(3), [&] { return GetForegroundWindow() == about; }),
                "the about box is the active window");
  PumpFor(std::chrono::milliseconds(300));
  checks.Expect(GetForegroundWindow() == about, "and stays so while the rain form's timers run");

  if (how == L"close") {
    PostMessageW(about, WM_CLOSE, 0, 0);
  } else {
    // On the "Created" label first: a click there does not close the box.
    Click(about, Pixels(1800) + 5, Pixels(600) + 5);
    checks.Expect(!saver.WaitForExit(std::chrono::milliseconds(700)),
                  "a click on a label closes nothing");
    Click(about, 10, 10);
  }
  saver.ExpectEnds(checks, how.c_str());
  return checks.failures();
}

}  // namespace host
