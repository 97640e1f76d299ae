// Implements: platform::Invalidate, damage merging, and the paint pass: each damaged
// area is composed in its own slot of the back buffer (background in one request for
// all, consecutive labels of one colour in one glyph request for all), then copied to
// its place in the window.
#include "platform/x11/x11_paint.h"

#include <algorithm>
#include <vector>

#include "forms/events.h"
#include "platform/x11/x11_back_buffer.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_font.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {
namespace {

using platform::PixelRect;

// Past this many separate areas, one bounding box is cheaper than the bookkeeping.
constexpr std::size_t kMaxAreas = 256;
// Ink may spill this far out of an area into the gap around its slot; text that
// spills further is clipped to the area.
constexpr int kMinGap = 8;
constexpr int kMaxGap = 64;

// Per-pass buffers, kept so that a pass allocates nothing once they have grown.
std::vector<PixelRect> areas;
std::vector<SlotOrigin> origins;
std::vector<std::size_t> byLeft;  // area indices, ordered by left edge
std::vector<const TextLayout*> texts;
std::vector<XRectangle> slotRects;
std::vector<WindowRecord*> windows;
GlyphBatch run;
GlyphBatch single;

// One solid source picture per text colour, made once.
std::vector<std::pair<platform::Colour, Picture>> solids;

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

PixelRect Offset(const PixelRect& r, int dx, int dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

XRectangle ToX(const PixelRect& r) {
  return {static_cast<short>(r.left), static_cast<short>(r.top),
          static_cast<unsigned short>(r.Width()), static_cast<unsigned short>(r.Height())};
}

Picture SolidOf(platform::Colour colour) {
  for (const auto& [c, picture] : solids) {
    if (c == colour) return picture;
  }
  const XRenderColor c = RenderColourOf(colour);
  return solids.emplace_back(colour, XRenderCreateSolidFill(X().display, &c)).second;
}

// Whether the visible frame windows of a form hide the area entirely.
bool HiddenByFrame(const WindowRecord& form, const PixelRect& area) {
  for (const WindowRecord* w : windows) {
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

// Takes the window's damage as this pass's areas, within its client area (the window
// may have shrunk since they were marked) and not under one of its frames.
void TakeAreas(WindowRecord& window) {
  areas.assign(window.damage.Rects().begin(), window.damage.Rects().end());
  ClearDamage(window);
  const PixelRect client{0, 0, window.clientWidth, window.clientHeight};
  for (PixelRect& a : areas) a = Intersection(a, client);
  std::erase_if(areas, [&](const PixelRect& a) {
    return a.Empty() || (!window.isFrame && HiddenByFrame(window, a));
  });
  // Many areas, or tall ones that would not fit as slots: their bounding box does.
  if (areas.size() > kMaxAreas || !SlotsFit(areas, kMaxGap)) {
    PixelRect all = areas.front();
    for (const PixelRect& a : areas) all = Union(all, a);
    areas.assign(1, all);
  }
}

class SlotPainter {
 public:
  SlotPainter(const BackBuffer& back, int gap) : back_(back), gap_(gap) {
    for (const PixelRect& a : areas) widest_ = std::max(widest_, a.Width());
  }

  // Draws one label into every slot whose area it meets, in painting order.
  void Draw(const forms::events::PaintItem& item, const TextLayout& text) {
    // Areas whose left edge lies past the label's right edge, or so far left of it
    // that even the widest area ends before it, cannot meet it.
    auto first = std::lower_bound(byLeft.begin(), byLeft.end(), item.rect.left - widest_,
                                  [](std::size_t i, int left) { return areas[i].left <= left; });
    for (auto it = first; it != byLeft.end() && areas[*it].left < item.rect.right; ++it) {
      const PixelRect& area = areas[*it];
      if (Intersection(area, item.rect).Empty()) continue;
      const int dx = origins[*it].x - area.left, dy = origins[*it].y - area.top;
      if (item.opaque) Fill(item, area, dx, dy);
      if (!text.glyphs.empty()) DrawText(item, text, area, dx, dy);
    }
  }

  void Finish() { FlushRun(); }

 private:
  void Fill(const forms::events::PaintItem& item, const PixelRect& area, int dx, int dy) {
    FlushRun();
    const XRectangle r = ToX(Offset(Intersection(item.rect, area), dx, dy));
    const XRenderColor fill = RenderColourOf(item.backColour);
    XRenderFillRectangles(X().display, PictOpSrc, back_.picture, &fill, &r, 1);
  }

  void DrawText(const forms::events::PaintItem& item, const TextLayout& text, const PixelRect& area,
                int dx, int dy) {
    const PixelRect ink = Offset(text.ink, item.rect.left, item.rect.top);
    const PixelRect shown = text.inside ? ink : Intersection(ink, item.rect);
    if (Intersection(shown, area).Empty()) return;
    const int x = item.rect.left + dx, y = item.rect.top + dy;
    const PixelRect reach{area.left - gap_, area.top - gap_, area.right + gap_, area.bottom + gap_};
    if (text.inside && Contains(reach, ink)) {
      if (!run.Empty() && runColour_ != item.foreColour) FlushRun();
      runColour_ = item.foreColour;
      for (const PlacedGlyph& g : text.glyphs) run.Add(g.set, g.glyph, x + g.x, y + g.y, g.advance);
      return;
    }
    // Ink that reaches past the gap, or out of its own label, is clipped on its own.
    FlushRun();
    const PixelRect clip = text.inside ? area : Intersection(item.rect, area);
    const XRectangle r = ToX(Offset(clip, dx, dy));
    Display* d = X().display;
    XRenderSetPictureClipRectangles(d, back_.picture, 0, 0, &r, 1);
    single.Clear();
    for (const PlacedGlyph& g : text.glyphs)
      single.Add(g.set, g.glyph, x + g.x, y + g.y, g.advance);
    single.Draw(SolidOf(item.foreColour), back_.picture);
    XRenderPictureAttributes none{};
    none.clip_mask = None;
    XRenderChangePicture(d, back_.picture, CPClipMask, &none);
  }

  void FlushRun() {
    if (run.Empty()) return;
    run.Draw(SolidOf(runColour_), back_.picture);
    run.Clear();
  }

  const BackBuffer& back_;
  const int gap_;
  int widest_ = 0;
  platform::Colour runColour_ = 0;
};

void Paint(WindowRecord& window) {
  TakeAreas(window);
  if (areas.empty()) return;
  const forms::events::PaintScene scene = forms::events::DescribePaint(window.handle, areas);

  // Every text first: the largest glyph on show decides the gap between slots.
  BeginLayoutPass();
  texts.clear();
  int gap = kMinGap;
  for (const forms::events::PaintItem& item : scene.items) {
    const TextLayout& text =
        LayOutText(item.text, FontFor(item.font), item.rect.Width(), item.rect.Height());
    texts.push_back(&text);
    gap = std::max(gap, std::min(text.largestGlyph, kMaxGap));
  }
  const BackBuffer& back = PackSlots(areas, gap, origins);

  Display* d = X().display;
  slotRects.clear();
  for (std::size_t i = 0; i < areas.size(); ++i) {
    slotRects.push_back(
        ToX(Offset(areas[i], origins[i].x - areas[i].left, origins[i].y - areas[i].top)));
  }
  const XRenderColor background = RenderColourOf(scene.background);
  XRenderFillRectangles(d, PictOpSrc, back.picture, &background, slotRects.data(),
                        static_cast<int>(slotRects.size()));

  byLeft.resize(areas.size());
  for (std::size_t i = 0; i < byLeft.size(); ++i) byLeft[i] = i;
  std::sort(byLeft.begin(), byLeft.end(),
            [](std::size_t a, std::size_t b) { return areas[a].left < areas[b].left; });
  SlotPainter painter(back, gap);
  for (std::size_t i = 0; i < scene.items.size(); ++i) painter.Draw(scene.items[i], *texts[i]);
  painter.Finish();

  for (std::size_t i = 0; i < areas.size(); ++i) {
    XCopyArea(d, back.pixmap, window.xid, back.gc, slotRects[i].x, slotRects[i].y,
              slotRects[i].width, slotRects[i].height, areas[i].left, areas[i].top);
  }
}

}  // namespace

void AddDamage(WindowRecord& window, const PixelRect& area) {
  if (!window.visible) return;
  window.damage.SetBounds(window.clientWidth, window.clientHeight);
  window.damage.Add(area);
}

void ClearDamage(WindowRecord& window) { window.damage.Clear(); }

bool HasPendingPaint() {
  ListWindows(windows);
  for (WindowRecord* w : windows) {
    if (!w->damage.Empty()) return true;
  }
  return false;
}

void PaintPending() {
  ListWindows(windows);
  for (WindowRecord* w : windows) {
    if (w->damage.Empty()) continue;
    if (!OnScreen(*w)) {
      // Mapping it later brings an Expose for everything.
      ClearDamage(*w);
      continue;
    }
    Paint(*w);
  }
}

void ReleasePaintResources() {
  Display* d = X().display;
  for (auto& [colour, picture] : solids) XRenderFreePicture(d, picture);
  solids.clear();
  ReleaseBackBuffer();
}

}  // namespace x11

namespace platform::on_x11 {

void Invalidate(WindowHandle window, std::span<const PixelRect> areas) {
  x11::WindowRecord* record = x11::FindWindow(window);
  if (record == nullptr) return;
  for (const PixelRect& area : areas) x11::AddDamage(*record, area);
}

}  // namespace platform::on_x11
