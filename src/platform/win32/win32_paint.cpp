// Implements: platform::Invalidate on Win32 and the WM_PAINT pass: the damaged areas
// are cleared and the labels drawn with GDI into a back buffer, then presented with one
// BitBlt; native fonts are cached by FontSpec address and DPI.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "forms/events.h"
#include "forms/font.h"
#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace platform::win32 {
namespace {

HFONT FontFor(const forms::FontSpec* font, int dpi) {
  static std::map<std::pair<const forms::FontSpec*, int>, HFONT> cache;
  if (!font) font = &forms::kDefaultFont;
  auto [it, added] = cache.try_emplace({font, dpi}, nullptr);
  if (added) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(font->points * static_cast<float>(dpi) / 72.0f));
    lf.lfWeight = font->weight;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    std::wstring face = Widen(font->family);
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    it->second = CreateFontIndirectW(&lf);
  }
  return it->second;
}

// One back buffer for every paint, grown when an update box needs more room.
class BackBuffer {
 public:
  HDC Get(HDC reference, int width, int height) {
    if (!dc_) dc_ = CreateCompatibleDC(reference);
    if (width > width_ || height > height_) {
      width_ = width > width_ ? width : width_;
      height_ = height > height_ ? height : height_;
      HBITMAP bitmap = CreateCompatibleBitmap(reference, width_, height_);
      HGDIOBJ old = SelectObject(dc_, bitmap);
      if (bitmap_) DeleteObject(old);
      bitmap_ = bitmap;
    }
    return dc_;
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

std::vector<PixelRect> RegionRects(HRGN region) {
  std::vector<PixelRect> rects;
  DWORD size = GetRegionData(region, 0, nullptr);
  if (size == 0) return rects;
  std::vector<char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (!GetRegionData(region, size, data)) return rects;
  const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
  rects.reserve(data->rdh.nCount);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) {
    rects.push_back({r[i].left, r[i].top, r[i].right, r[i].bottom});
  }
  return rects;
}

void FillWithColour(HDC dc, const RECT& rect, Colour colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace

void PaintWindow(HWND hwnd) {
  HRGN damage = CreateRectRgn(0, 0, 0, 0);
  int kind = GetUpdateRgn(hwnd, damage, FALSE);
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(hwnd, &ps);
  const RECT box = ps.rcPaint;
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  if (kind == NULLREGION || kind == ERROR || width <= 0 || height <= 0) {
    EndPaint(hwnd, &ps);
    DeleteObject(damage);
    return;
  }

  std::vector<PixelRect> areas = RegionRects(damage);
  forms::events::PaintScene scene = forms::events::DescribePaint(ToHandle(hwnd), areas);

  static BackBuffer backBuffer;
  HDC buffer = backBuffer.Get(screen, width, height);
  // Draw in client coordinates; the clip region is in the buffer's device coordinates.
  SetViewportOrgEx(buffer, -box.left, -box.top, nullptr);
  OffsetRgn(damage, -box.left, -box.top);
  SelectClipRgn(buffer, damage);

  FillWithColour(buffer, box, scene.background);
  SetBkMode(buffer, TRANSPARENT);
  // The scale the runtime measured the label boxes with, whatever monitor the window is
  // on now: text at another monitor's DPI would be clipped by, or lost in, its box.
  const int dpi = Dpi();
  HGDIOBJ oldFont = nullptr;
  for (const forms::events::PaintItem& item : scene.items) {
    RECT rect{item.rect.left, item.rect.top, item.rect.right, item.rect.bottom};
    if (item.opaque) FillWithColour(buffer, rect, item.backColour);
    if (item.text.empty()) continue;
    HGDIOBJ previous = SelectObject(buffer, FontFor(item.font, dpi));
    if (!oldFont) oldFont = previous;
    SetTextColor(buffer, item.foreColour);
    std::wstring text = Widen(item.text);
    // A fixed-size, left-aligned text box, clipped to the label's rectangle.
    DrawTextW(buffer, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK);
  }
  if (oldFont) SelectObject(buffer, oldFont);

  // BeginPaint clipped the window DC to the damage: one copy presents only what changed.
  BitBlt(screen, box.left, box.top, width, height, buffer, box.left, box.top, SRCCOPY);
  SelectClipRgn(buffer, nullptr);
  SetViewportOrgEx(buffer, 0, 0, nullptr);
  EndPaint(hwnd, &ps);
  DeleteObject(damage);
}

}  // namespace platform::win32

namespace platform {

void Invalidate(WindowHandle window, std::span<const PixelRect> areas) {
  win32::CallGuard guard;
  if (areas.empty()) return;
  // One region for all the areas: a single invalidation instead of one per rectangle.
  std::vector<char> buffer(sizeof(RGNDATAHEADER) + areas.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = 0;
  data->rdh.nRgnSize = 0;
  RECT bounds{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  RECT* rects = reinterpret_cast<RECT*>(data->Buffer);
  for (const PixelRect& a : areas) {
    if (a.Empty()) continue;
    rects[data->rdh.nCount++] = {a.left, a.top, a.right, a.bottom};
    bounds = {std::min<LONG>(bounds.left, a.left), std::min<LONG>(bounds.top, a.top),
              std::max<LONG>(bounds.right, a.right), std::max<LONG>(bounds.bottom, a.bottom)};
  }
  if (data->rdh.nCount == 0) return;
  data->rdh.rcBound = bounds;
  HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
  if (!region) {
    for (DWORD i = 0; i < data->rdh.nCount; ++i)
      InvalidateRect(win32::ToHwnd(window), &rects[i], FALSE);
    return;
  }
  InvalidateRgn(win32::ToHwnd(window), region, FALSE);
  DeleteObject(region);
}

}  // namespace platform
