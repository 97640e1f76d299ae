// A scaled display (a prefix with LogPixels above 96): the rain form covers the primary
// monitor exactly, and the banner appears at the pixel size its points give at this DPI,
// compared with the same text drawn here. (The about box's size: the about check.)
#include <cmath>

#include "host.h"

namespace host {
namespace {

SIZE InkSize(HDC dc, const RECT& r) {
  std::vector<std::uint32_t> pixels = Capture(dc, r);
  const int width = r.right - r.left;
  RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
  for (int i = 0; i < static_cast<int>(pixels.size()); ++i) {
    if (!OfHue(pixels[i], Hue::Green)) continue;
    box = {std::min<LONG>(box.left, i % width), std::min<LONG>(box.top, i / width),
           std::max<LONG>(box.right, i % width + 1), std::max<LONG>(box.bottom, i / width + 1)};
  }
  return box.right < box.left ? SIZE{0, 0} : SIZE{box.right - box.left, box.bottom - box.top};
}

// The banner's text drawn here in its font, Arial 21.75 points bold, at the given DPI.
SIZE ReferenceInk(int dpi) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 800, 200);
  ReleaseDC(nullptr, screen);
  SelectObject(dc, bitmap);
  HFONT font =
      CreateFontW(-static_cast<int>(std::lround(21.75f * dpi / 72.0f)), 0, 0, 0, 700, FALSE, FALSE,
                  FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH | FF_SWISS, L"Arial");
  SelectObject(dc, font);
  RECT all{0, 0, 800, 200};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 255, 0));
  DrawTextW(dc, L"Your Company Name", -1, &all, DT_LEFT | DT_TOP | DT_NOPREFIX);
  SIZE ink = InkSize(dc, all);
  DeleteDC(dc);  // first, so that nothing holds the font and the bitmap any more
  DeleteObject(font);
  DeleteObject(bitmap);
  return ink;
}

}  // namespace

int CheckHighDpi(const std::wstring& scr) {
  Checks checks;
  SetProcessDPIAware();
  const int dpi = ScreenDpi();
  checks.Expect(dpi > 96, "the display is scaled: %d dpi", dpi);

  MONITORINFO primary{};
  primary.cbSize = sizeof primary;
  GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
  Saver saver;
  checks.Expect(saver.Start(scr, L"/S"), "the saver starts with /S");
  HWND rain = saver.WaitForWindow();
  RECT r{};
  if (rain) GetWindowRect(rain, &r);
  checks.Expect(rain && EqualRect(&r, &primary.rcMonitor),
                "the rain form covers the primary monitor exactly (%ld, %ld, %ld, %ld)", r.left,
                r.top, r.right, r.bottom);
  // The banner, polled until its ink has the reference's size (within a pixel).
  const SIZE want = ReferenceInk(dpi);
  SIZE seen{};
  const bool same = PollUntil(std::chrono::seconds(5), [&] {
    HDC screen = GetDC(nullptr);
    seen = InkSize(screen, r);
    ReleaseDC(nullptr, screen);
    return std::abs(seen.cx - want.cx) <= 1 && std::abs(seen.cy - want.cy) <= 1;
  });
  checks.Expect(same, "the banner is drawn %ld x %ld pixels, as at %d dpi (%ld x %ld)", seen.cx,
                seen.cy, dpi, want.cx, want.cy);
  return checks.failures();
}

}  // namespace host
