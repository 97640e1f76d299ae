// Implements: platform::Invalidate, damage merging, and the paint pass: the damaged
// areas are cleared in one request, consecutive labels of one colour drawn in one
// glyph request, all into a shared back pixmap, then presented with one clipped
// XCopyArea.
#include "platform/x11/x11_paint.h"

#include <algorithm>
#include <climits>
#include <unordered_map>
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
  Picture picture = None;
  GC gc = nullptr;
  int width = 0;
  int height = 0;
} back;

// One solid source picture per text colour, made once.
std::unordered_map<platform::Colour, Picture> solids;

std::vector<XRectangle> areaRects;
std::vector<PlacedGlyph> placed;
GlyphBatch run;
GlyphBatch single;

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
  if (back.picture != None) XRenderFreePicture(d, back.picture);
  if (back.pixmap != None) XFreePixmap(d, back.pixmap);
  back.pixmap = XCreatePixmap(d, X().root, static_cast<unsigned>(w), static_cast<unsigned>(h),
                              static_cast<unsigned>(X().depth));
  back.picture =
      XRenderCreatePicture(d, back.pixmap, XRenderFindVisualFormat(d, X().visual), 0, nullptr);
  if (back.gc == nullptr) {
    XGCValues values{};
    values.graphics_exposures = False;  // copies from a pixmap never need NoExpose events
    back.gc = XCreateGC(d, back.pixmap, GCGraphicsExposures, &values);
  }
  back.width = w;
  back.height = h;
}

Picture SolidOf(platform::Colour colour) {
  auto it = solids.find(colour);
  if (it != solids.end()) return it->second;
  const XRenderColor c = RenderColourOf(colour);
  return solids[colour] = XRenderCreateSolidFill(X().display, &c);
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

void FlushRun(platform::Colour colour) {
  if (run.Empty()) return;
  run.Draw(SolidOf(colour), back.picture);
  run.Clear();
}

void ClipTo(const PixelRect& rect) {
  const XRectangle r = ToX(rect);
  XRenderSetPictureClipRectangles(X().display, back.picture, 0, 0, &r, 1);
}

void Unclip() {
  XRenderPictureAttributes none{};
  none.clip_mask = None;
  XRenderChangePicture(X().display, back.picture, CPClipMask, &none);
}

void Paint(WindowRecord& window, const std::vector<WindowRecord*>& all) {
  std::vector<PixelRect> areas;
  areas.swap(window.damage);
  window.damageColumns.clear();
  // The window may have shrunk since the areas were marked.
  const PixelRect client{0, 0, window.clientWidth, window.clientHeight};
  for (PixelRect& a : areas) a = Intersection(a, client);
  std::erase_if(areas, [&](const PixelRect& a) {
    return a.Empty() || (!window.isFrame && HiddenByFrame(window, a, all));
  });
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
  // Drawing needs no clip: only the damaged areas of the back buffer are copied to the
  // window, and a clip of many rectangles costs the server on every glyph.
  const XRenderColor background = RenderColourOf(scene.background);
  XRenderFillRectangles(d, PictOpSrc, back.picture, &background, areaRects.data(),
                        static_cast<int>(areaRects.size()));

  // Consecutive labels of one colour share a glyph request; painting order is kept.
  platform::Colour runColour = 0;
  for (const forms::events::PaintItem& item : scene.items) {
    if (item.opaque) {
      FlushRun(runColour);
      const XRenderColor fill = RenderColourOf(item.backColour);
      XRenderFillRectangle(d, PictOpSrc, back.picture, &fill, item.rect.left, item.rect.top,
                           static_cast<unsigned>(std::max(0, item.rect.Width())),
                           static_cast<unsigned>(std::max(0, item.rect.Height())));
    }
    if (item.text.empty()) continue;
    placed.clear();
    const bool inside = LayOutText(item.text, FontFor(item.font), item.rect, placed);
    if (placed.empty()) continue;
    if (inside) {
      if (!run.Empty() && runColour != item.foreColour) FlushRun(runColour);
      runColour = item.foreColour;
      for (const PlacedGlyph& g : placed) run.Add(g.set, g.glyph, g.x, g.y, g.advance);
      continue;
    }
    // Text that spills out of its label is clipped to it on its own.
    FlushRun(runColour);
    ClipTo(item.rect);
    single.Clear();
    for (const PlacedGlyph& g : placed) single.Add(g.set, g.glyph, g.x, g.y, g.advance);
    single.Draw(SolidOf(item.foreColour), back.picture);
    Unclip();
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
  if (damage.size() == 1 && Contains(damage.front(), r)) return;
  // The labels of a rain column share their left and right edges: a strip that
  // touches the last area with the same edges joins it, at no overdraw.
  const std::uint64_t edges =
      (static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.left)) << 32) |
      static_cast<std::uint32_t>(r.right);
  auto [column, fresh] = window.damageColumns.try_emplace(edges, damage.size());
  if (!fresh) {
    PixelRect& last = damage[column->second];
    if (r.top <= last.bottom && last.top <= r.bottom) {
      last = Union(last, r);
      return;
    }
    column->second = damage.size();
  }
  damage.push_back(r);
  if (damage.size() > kMaxAreas) {
    PixelRect all = damage.front();
    for (const PixelRect& a : damage) all = Union(all, a);
    ClearDamage(window);
    damage.push_back(all);
  }
}

void ClearDamage(WindowRecord& window) {
  window.damage.clear();
  window.damageColumns.clear();
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
      ClearDamage(*w);
      continue;
    }
    Paint(*w, all);
  }
}

void ReleasePaintResources() {
  Display* d = X().display;
  for (auto& [colour, picture] : solids) XRenderFreePicture(d, picture);
  solids.clear();
  if (back.picture != None) XRenderFreePicture(d, back.picture);
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
