// A scaled display (a prefix with LogPixels above 96): the rain form covers the primary
// monitor exactly, and the banner appears at the pixel size its points give at this DPI,
// compared with the same text drawn here. (The about box's size: the about check.)
#include <windows.h>

#include <cmath>
#include <string>

#include "host.h"

namespace host {
namespace {

struct Text {
  const wchar_t* text;
  const wchar_t* face;
  float points;
  int weight;
  COLORREF fore;
  Hue hue;
};

const Text kBanner{L"Your Company Name", L"Arial", 21.75f, 700, RGB(0, 255, 0), Hue::Green};

SIZE InkSize(HDC dc, const RECT& r, Hue hue) {
  std::vector<std::uint32_t> pixels = Capture(dc, r);
  const int width = r.right - r.left;
  RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
  for (int i = 0; i < static_cast<int>(pixels.size()); ++i) {
    if (!OfHue(pixels[i], hue)) continue;
    box = {std::min<LONG>(box.left, i % width), std::min<LONG>(box.top, i / width),
           std::max<LONG>(box.right, i % width + 1), std::max<LONG>(box.bottom, i / width + 1)};
  }
  if (box.right < box.left) return {0, 0};
  return {box.right - box.left, box.bottom - box.top};
}

// The text drawn here on the given background with its font at the given DPI.
SIZE ReferenceInk(const Text& t, int dpi, COLORREF back) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 800, 200);
  ReleaseDC(nullptr, screen);
  SelectObject(dc, bitmap);
  HFONT font = CreateFontW(-static_cast<int>(std::lround(t.points * dpi / 72.0f)), 0, 0, 0,
                           t.weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, t.face);
  SelectObject(dc, font);
  RECT all{0, 0, 800, 200};
  SetDCBrushColor(dc, back);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, t.fore);
  DrawTextW(dc, t.text, -1, &all, DT_LEFT | DT_TOP | DT_NOPREFIX);
  SIZE ink = InkSize(dc, all, t.hue);
  DeleteDC(dc);  // first, so that nothing holds the font and the bitmap any more
  DeleteObject(font);
  DeleteObject(bitmap);
  return ink;
}

// Polls the screen rectangle until its ink has the reference's size (within a pixel).
void ExpectDrawnAtDpi(Checks& checks, const RECT& onScreen, const Text& t, int dpi, COLORREF back) {
  SIZE want = ReferenceInk(t, dpi, back);
  SIZE unscaled = ReferenceInk(t, 96, back);
  SIZE seen{};
  bool same = PollUntil(std::chrono::seconds(5), [&] {
    HDC screen = GetDC(nullptr);
    seen = InkSize(screen, onScreen, t.hue);
    ReleaseDC(nullptr, screen);
    return std::abs(seen.cx - want.cx) <= 1 && std::abs(seen.cy - want.cy) <= 1;
  });
  checks.Expect(same && std::abs(want.cy - unscaled.cy) > 2,
                "\"%ls\" is drawn %ld x %ld pixels, as at %d dpi (%ld x %ld; at 96 dpi %ld x %ld)",
                t.text, seen.cx, seen.cy, dpi, want.cx, want.cy, unscaled.cx, unscaled.cy);
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
  ExpectDrawnAtDpi(checks, r, kBanner, dpi, RGB(0, 0, 0));
  return checks.failures();
}

}  // namespace host
