// Implements: platform::Invalidate, damage merging, and the paint pass: the damaged
// areas are cleared in one request, labels of one colour drawn in one glyph request,
// all into a shared back pixmap, then presented with one clipped XCopyArea.
#include "platform/x11/x11_paint.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "forms/events.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_font.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {
namespace {

using platform::PixelRect;

// Past this many separate areas, one bounding box is cheaper than the bookkeeping.
constexpr std::size_t kMaxAreas = 256;

struct BackBuffer {
  Pixmap pixmap = None;
  XftDraw* draw = nullptr;
  GC gc = nullptr;
  int width = 0;
  int height = 0;
} back;

std::vector<XRectangle> areaRects;
std::vector<XRectangle> clipRects;
std::vector<XftGlyphFontSpec> run;
std::vector<XftGlyphFontSpec> scratch;

long long Area(const PixelRect& r) { return static_cast<long long>(r.Width()) * r.Height(); }

PixelRect Union(const PixelRect& a, const PixelRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

bool Contains(const PixelRect& outer, const PixelRect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

XRectangle ToX(const PixelRect& r) {
  return {static_cast<short>(r.left), static_cast<short>(r.top),
          static_cast<unsigned short>(r.Width()), static_cast<unsigned short>(r.Height())};
}

void EnsureBackBuffer(int width, int height) {
  if (width <= back.width && height <= back.height) return;
  Display* d = X().display;
  const int w = std::max(width, back.width);
  const int h = std::max(height, back.height);
  const Pixmap pixmap = XCreatePixmap(d, X().root, static_cast<unsigned>(w),
                                      static_cast<unsigned>(h), static_cast<unsigned>(X().depth));
  if (back.draw == nullptr) {
    back.draw = XftDrawCreate(d, pixmap, X().visual, X().colormap);
    XGCValues values{};
    values.graphics_exposures = False;  // copies from a pixmap never need NoExpose events
    back.gc = XCreateGC(d, pixmap, GCGraphicsExposures, &values);
  } else {
    XftDrawChange(back.draw, pixmap);
    XFreePixmap(d, back.pixmap);
  }
  back.pixmap = pixmap;
  back.width = w;
  back.height = h;
}

// Whether the visible frame windows of a form hide the area entirely.
bool HiddenByFrame(const WindowRecord& form, const PixelRect& area,
                   const std::vector<WindowRecord*>& all) {
  for (const WindowRecord* w : all) {
    if (w->isFrame && w->ownerForm == form.handle && w->visible && Contains(w->rect, area)) {
      return true;
    }
  }
  return false;
}

bool OnScreen(const WindowRecord& window) {
  if (!window.visible || !window.viewable) return false;
  if (!window.isFrame) return true;
  const WindowRecord* form = FindWindow(window.ownerForm);
  return form != nullptr && form->visible && form->viewable;
}

XftColor XftColourOf(platform::Colour colour) {
  XftColor c;
  c.pixel = PixelOf(colour);
  c.color = RenderColourOf(colour);
  return c;
}

void FlushRun(platform::Colour colour) {
  if (run.empty()) return;
  const XftColor c = XftColourOf(colour);
  XftDrawGlyphFontSpec(back.draw, &c, run.data(), static_cast<int>(run.size()));
  run.clear();
}

void SetClip(const std::vector<XRectangle>& rects) {
  XftDrawSetClipRectangles(back.draw, 0, 0, rects.data(), static_cast<int>(rects.size()));
}

void Paint(WindowRecord& window, const std::vector<WindowRecord*>& all) {
  std::vector<PixelRect> areas;
  areas.swap(window.damage);
  if (!window.isFrame) {
    std::erase_if(areas, [&](const PixelRect& a) { return HiddenByFrame(window, a, all); });
  }
  if (areas.empty()) return;

  Display* d = X().display;
  EnsureBackBuffer(window.clientWidth, window.clientHeight);
  const forms::events::PaintScene scene = forms::events::DescribePaint(window.handle, areas);

  areaRects.clear();
  PixelRect bounds = areas.front();
  for (const PixelRect& a : areas) {
    areaRects.push_back(ToX(a));
    bounds = Union(bounds, a);
  }
  SetClip(areaRects);
  const XRenderColor background = RenderColourOf(scene.background);
  Picture picture = XftDrawPicture(back.draw);
  XRenderFillRectangles(d, PictOpSrc, picture, &background, areaRects.data(),
                        static_cast<int>(areaRects.size()));

  // Consecutive labels of one colour share a glyph request; painting order is kept.
  platform::Colour runColour = 0;
  for (const forms::events::PaintItem& item : scene.items) {
    if (item.opaque) {
      FlushRun(runColour);
      const XRenderColor fill = RenderColourOf(item.backColour);
      XRenderFillRectangle(d, PictOpSrc, picture, &fill, item.rect.left, item.rect.top,
                           static_cast<unsigned>(std::max(0, item.rect.Width())),
                           static_cast<unsigned>(std::max(0, item.rect.Height())));
    }
    if (item.text.empty()) continue;
    scratch.clear();
    const bool inside = LayOutText(item.text, FontFor(item.font), item.rect, scratch);
    if (scratch.empty()) continue;
    if (inside) {
      if (!run.empty() && runColour != item.foreColour) FlushRun(runColour);
      runColour = item.foreColour;
      run.insert(run.end(), scratch.begin(), scratch.end());
      continue;
    }
    // Text that spills out of its label is clipped to it on its own.
    FlushRun(runColour);
    clipRects.clear();
    for (const PixelRect& a : areas) {
      const PixelRect cut = Intersection(a, item.rect);
      if (!cut.Empty()) clipRects.push_back(ToX(cut));
    }
    if (clipRects.empty()) continue;
    SetClip(clipRects);
    const XftColor c = XftColourOf(item.foreColour);
    XftDrawGlyphFontSpec(back.draw, &c, scratch.data(), static_cast<int>(scratch.size()));
    SetClip(areaRects);
  }
  FlushRun(runColour);

  XSetClipRectangles(d, back.gc, 0, 0, areaRects.data(), static_cast<int>(areaRects.size()),
                     Unsorted);
  XCopyArea(d, back.pixmap, window.xid, back.gc, bounds.left, bounds.top,
            static_cast<unsigned>(bounds.Width()), static_cast<unsigned>(bounds.Height()),
            bounds.left, bounds.top);
}

}  // namespace

void AddDamage(WindowRecord& window, const PixelRect& area) {
  PixelRect r = Intersection(area, {0, 0, window.clientWidth, window.clientHeight});
  if (r.Empty() || !window.visible) return;
  auto& damage = window.damage;
  for (std::size_t i = 0; i < damage.size();) {
    if (Contains(damage[i], r)) return;
    const PixelRect merged = Union(damage[i], r);
    if (Area(merged) <= Area(damage[i]) + Area(r)) {
      r = merged;
      damage[i] = damage.back();
      damage.pop_back();
      i = 0;  // the grown area may now swallow others
      continue;
    }
    ++i;
  }
  damage.push_back(r);
  if (damage.size() > kMaxAreas) {
    PixelRect all = damage.front();
    for (const PixelRect& a : damage) all = Union(all, a);
    damage.assign(1, all);
  }
}

bool HasPendingPaint() {
  for (WindowRecord* w : AllWindows()) {
    if (!w->damage.empty()) return true;
  }
  return false;
}

void PaintPending() {
  const std::vector<WindowRecord*> all = AllWindows();
  for (WindowRecord* w : all) {
    if (w->damage.empty()) continue;
    if (!OnScreen(*w)) {
      // Mapping it later brings an Expose for everything.
      w->damage.clear();
      continue;
    }
    Paint(*w, all);
  }
}

void ReleasePaintResources() {
  Display* d = X().display;
  if (back.draw != nullptr) XftDrawDestroy(back.draw);
  if (back.gc != nullptr) XFreeGC(d, back.gc);
  if (back.pixmap != None) XFreePixmap(d, back.pixmap);
  back = BackBuffer{};
}

}  // namespace x11

namespace platform {

void Invalidate(WindowHandle window, std::span<const PixelRect> areas) {
  x11::WindowRecord* record = x11::FindWindow(window);
  if (record == nullptr) return;
  for (const PixelRect& area : areas) x11::AddDamage(*record, area);
}

}  // namespace platform
