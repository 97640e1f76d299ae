// Implements: the paint pass on shared-memory buffers: a surface is drawn only into a
// buffer the compositor released and only after its last frame was shown; the buffer
// is first brought up to date from the one shown last (the areas drawn since it was
// shown), then the damaged areas are composed (the form's labels, then its frames
// above them) at the surface's scale, and only they are damaged and committed.
#include "platform/wayland/wl_paint.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

#include "forms/events.h"
#include "platform/raster/raster.h"
#include "platform/wayland/wl_windows.h"

namespace wayland {
namespace {

using platform::PixelRect;

// Kept between passes, so that a pass allocates nothing once they have grown.
std::vector<Surface*> surfaces;
std::vector<PixelRect> areas;       // logical, in the surface
std::vector<PixelRect> drawn;       // the same in buffer pixels
std::vector<PixelRect> frameAreas;  // logical, in a frame
std::vector<PixelRect> frameDrawn;  // buffer pixels, relative to the frame's corner
std::vector<forms::events::PaintItem> scaled;
std::vector<WindowRecord*> frames;

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

std::int32_t Scaled(std::int32_t v, double k) {
  return static_cast<std::int32_t>(std::lround(v * k));
}

// The scene in buffer pixels, its text at the matching resolution.
void Compose(raster::Canvas& canvas, const forms::events::PaintScene& scene,
             std::span<const PixelRect> bufferAreas, int originX, int originY, double k) {
  if (k == 1.0) {
    raster::Compose(canvas, scene, bufferAreas, originX, originY, 96);
    return;
  }
  scaled.assign(scene.items.begin(), scene.items.end());
  for (forms::events::PaintItem& item : scaled) {
    const PixelRect& r = item.rect;
    item.rect = {Scaled(r.left, k), Scaled(r.top, k), Scaled(r.right, k), Scaled(r.bottom, k)};
  }
  const forms::events::PaintScene atScale{scene.background, scaled};
  raster::Compose(canvas, atScale, bufferAreas, originX, originY,
                  static_cast<int>(std::lround(96 * k)));
}

// What of a lagging area this pass draws anyway needs no copy: a falling column's
// strip of the last frame mostly lies inside this frame's strip of the same column.
PixelRect NotRedrawn(PixelRect r) {
  for (const PixelRect& d : drawn) {
    if (d.left > r.left || d.right < r.right) continue;
    if (d.top <= r.top && d.bottom > r.top) r.top = d.bottom;
    if (d.bottom >= r.bottom && d.top < r.bottom) r.bottom = d.top;
    if (r.Empty()) break;
  }
  return r;
}

void CopyAreas(const Buffer& from, Buffer& to, std::span<const PixelRect> rects) {
  const std::size_t pitch = static_cast<std::size_t>(to.stride) / 4;
  for (const PixelRect& lagging : rects) {
    const PixelRect r = NotRedrawn(lagging);
    if (r.Empty()) continue;
    // Rows of a column are short: a plain loop beats a library call per row.
    const std::size_t width = static_cast<std::size_t>(r.Width());
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
      const std::size_t at = static_cast<std::size_t>(y) * pitch + static_cast<std::size_t>(r.left);
      const std::uint32_t* source = from.pixels + at;
      std::uint32_t* target = to.pixels + at;
      for (std::size_t x = 0; x < width; ++x) target[x] = source[x];
    }
  }
}

void DrawFrames(raster::Canvas& canvas, Surface& s, const WindowRecord& form) {
  FramesOf(form, frames);
  const double k = ScaleOf(s);
  for (const WindowRecord* frame : frames) {
    frameAreas.clear();
    frameDrawn.clear();
    const PixelRect inBuffer = ToBuffer(s, frame->rect);
    for (const PixelRect& a : areas) {
      const PixelRect meet = Intersection(a, frame->rect);
      if (meet.Empty()) continue;
      frameAreas.push_back({meet.left - frame->rect.left, meet.top - frame->rect.top,
                            meet.right - frame->rect.left, meet.bottom - frame->rect.top});
      const PixelRect b = ToBuffer(s, meet);
      frameDrawn.push_back({b.left - inBuffer.left, b.top - inBuffer.top, b.right - inBuffer.left,
                            b.bottom - inBuffer.top});
    }
    if (frameAreas.empty()) continue;
    const forms::events::PaintScene scene = forms::events::DescribePaint(frame->handle, frameAreas);
    Compose(canvas, scene, frameDrawn, inBuffer.left, inBuffer.top, k);
  }
}

void Paint(Surface& s) {
  if (!s.configured || s.closed || s.frame != nullptr || s.damage.Empty()) return;
  const platform::PixelRect whole{0, 0, s.width, s.height};
  // The nearest whole size: the viewport then maps it onto the surface one to one.
  const double k = ScaleOf(s);
  Buffer* b = TakeBuffer(s, static_cast<std::int32_t>(std::lround(s.width * k)),
                         static_cast<std::int32_t>(std::lround(s.height * k)));
  if (b == nullptr) return;  // both on screen still: the damage waits

  const bool follows = s.front != nullptr && s.front != b && s.front->width == b->width &&
                       s.front->height == b->height;
  areas.assign(s.damage.Rects().begin(), s.damage.Rects().end());
  s.damage.Clear();
  if (!follows && s.front != b) areas.assign(1, whole);  // nothing to take over: all of it
  raster::MergeColumns(areas);
  drawn.clear();
  for (PixelRect& a : areas) {
    a = Intersection(a, whole);
    drawn.push_back(ToBuffer(s, a));
  }
  if (follows) CopyAreas(*s.front, *b, b->stale.Rects());
  b->stale.Clear();

  raster::Canvas canvas{b->pixels, b->width, b->height, b->stride};
  if (WindowRecord* form = FindWindow(s.form)) {
    const forms::events::PaintScene scene = forms::events::DescribePaint(form->handle, areas);
    Compose(canvas, scene, drawn, 0, 0, k);
    DrawFrames(canvas, s, *form);
  }

  // Said once per change of size or scale, not on every frame.
  if (s.shownWidth != s.width || s.shownHeight != s.height || s.shownScale120 != s.scale120) {
    if (s.viewport != nullptr) {
      wp_viewport_set_destination(s.viewport, s.width, s.height);
    } else {
      wl_surface_set_buffer_scale(s.surface, static_cast<std::int32_t>(s.scale120 / 120));
    }
    s.shownWidth = s.width;
    s.shownHeight = s.height;
    s.shownScale120 = s.scale120;
  }
  wl_surface_attach(s.surface, b->buffer, 0, 0);
  // damage_buffer came with version 4; before it, damage in surface coordinates.
  const bool inBuffer = wl_surface_get_version(s.surface) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION;
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    const PixelRect& d = inBuffer ? drawn[i] : areas[i];
    (inBuffer ? wl_surface_damage_buffer : wl_surface_damage)(s.surface, d.left, d.top, d.Width(),
                                                              d.Height());
  }
  s.frame = wl_surface_frame(s.surface);
  static const wl_callback_listener kFrameListener = {
      .done = [](void* data, wl_callback* callback, std::uint32_t) {
        wl_callback_destroy(callback);
        static_cast<Surface*>(data)->frame = nullptr;
      }};
  wl_callback_add_listener(s.frame, &kFrameListener, &s);
  wl_surface_commit(s.surface);
  b->busy = true;

  Buffer& other = s.buffers[b == &s.buffers[0] ? 1 : 0];
  if (other.buffer != nullptr && !other.retired) {
    for (const PixelRect& d : drawn) other.stale.Add(d);
  }
  s.front = b;
}

}  // namespace

void PaintPending() {
  ListSurfaces(surfaces);
  for (Surface* s : surfaces) Paint(*s);
}

}  // namespace wayland
