// Implements: platform::Invalidate on Win32 and the WM_PAINT pass: the damaged areas
// are cleared and the labels drawn with GDI into a bounded back buffer, piece by piece,
// each presented with one BitBlt (or drawn straight on the window when no buffer can be
// had); native fonts are cached by FontSpec address and DPI.
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

// One back buffer for every paint, grown when a piece of an update box needs more room;
// pieces are bounded, so it never holds more than one of them.
class BackBuffer {
 public:
  // Null if the system has no memory for it; the buffer it had is kept, with its size.
  HDC Get(HDC reference, int width, int height) {
    if (!dc_) dc_ = CreateCompatibleDC(reference);
    if (!dc_) return nullptr;
    if (width > width_ || height > height_) {
      const int grownWidth = std::max(width, width_);
      const int grownHeight = std::max(height, height_);
      HBITMAP bitmap = CreateCompatibleBitmap(reference, grownWidth, grownHeight);
      if (!bitmap) return nullptr;
      HGDIOBJ old = SelectObject(dc_, bitmap);
      // The first bitmap replaces the DC's own, which is not ours to delete.
      if (bitmap_) DeleteObject(old);
      bitmap_ = bitmap;
      width_ = grownWidth;
      height_ = grownHeight;
    }
    return dc_;
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// The largest piece composed at once: 2 MB at 32 bits per pixel, whatever the screen.
constexpr int kPieceWidth = 1024;
constexpr int kPieceHeight = 512;

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

// Clears the damage (already the DC's clip) and draws the labels that reach into `piece`,
// in client coordinates.
void DrawScene(HDC dc, const forms::events::PaintScene& scene, const RECT& piece) {
  FillWithColour(dc, piece, scene.background);
  SetBkMode(dc, TRANSPARENT);
  // The scale the runtime measured the label boxes with, whatever monitor the window is
  // on now: text at another monitor's DPI would be clipped by, or lost in, its box.
  const int dpi = Dpi();
  HGDIOBJ oldFont = nullptr;
  for (const forms::events::PaintItem& item : scene.items) {
    RECT rect{item.rect.left, item.rect.top, item.rect.right, item.rect.bottom};
    RECT inside;
    if (!IntersectRect(&inside, &rect, &piece)) continue;
    if (item.opaque) FillWithColour(dc, rect, item.backColour);
    if (item.text.empty()) continue;
    HGDIOBJ previous = SelectObject(dc, FontFor(item.font, dpi));
    if (!oldFont) oldFont = previous;
    SetTextColor(dc, item.foreColour);
    std::wstring text = Widen(item.text);
    // A fixed-size, left-aligned text box, clipped to the label's rectangle.
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK);
  }
  if (oldFont) SelectObject(dc, oldFont);
}

// Without memory for a back buffer the scene is drawn straight on the window: it may
// flicker, but the screen is never left black. Said once, to the debugger's output.
void DrawUnbuffered(HDC screen, const forms::events::PaintScene& scene, const RECT& piece) {
  static bool said = false;
  if (!said) {
    said = true;
    OutputDebugStringW(L"Quelvo: no memory for a back buffer, drawing without one\n");
  }
  const int saved = SaveDC(screen);
  IntersectClipRect(screen, piece.left, piece.top, piece.right, piece.bottom);
  DrawScene(screen, scene, piece);
  RestoreDC(screen, saved);
}

}  // namespace

void PaintWindow(HWND hwnd) {
  HRGN damage = CreateRectRgn(0, 0, 0, 0);
  int kind = GetUpdateRgn(hwnd, damage, FALSE);
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(hwnd, &ps);
  const RECT box = ps.rcPaint;
  if (kind == NULLREGION || kind == ERROR || IsRectEmpty(&box)) {
    EndPaint(hwnd, &ps);
    DeleteObject(damage);
    return;
  }

  std::vector<PixelRect> areas = RegionRects(damage);
  forms::events::PaintScene scene = forms::events::DescribePaint(ToHandle(hwnd), areas);

  static BackBuffer backBuffer;
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  for (int top = box.top; top < box.bottom; top += kPieceHeight) {
    for (int left = box.left; left < box.right; left += kPieceWidth) {
      const RECT piece{left, top, std::min<LONG>(left + kPieceWidth, box.right),
                       std::min<LONG>(top + kPieceHeight, box.bottom)};
      // The damage inside this piece, in the buffer's device coordinates.
      SetRectRgn(clip, piece.left, piece.top, piece.right, piece.bottom);
      if (CombineRgn(clip, clip, damage, RGN_AND) == NULLREGION) continue;
      const int width = piece.right - piece.left;
      const int height = piece.bottom - piece.top;
      HDC buffer = backBuffer.Get(screen, width, height);
      if (!buffer) {
        DrawUnbuffered(screen, scene, piece);
        continue;
      }
      // Draw in client coordinates; the clip region is in the buffer's device coordinates.
      SetViewportOrgEx(buffer, -piece.left, -piece.top, nullptr);
      OffsetRgn(clip, -piece.left, -piece.top);
      SelectClipRgn(buffer, clip);
      DrawScene(buffer, scene, piece);
      // BeginPaint clipped the window DC to the damage: the copy presents only what changed.
      BitBlt(screen, piece.left, piece.top, width, height, buffer, piece.left, piece.top, SRCCOPY);
      SelectClipRgn(buffer, nullptr);
      SetViewportOrgEx(buffer, 0, 0, nullptr);
    }
  }
  DeleteObject(clip);
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
