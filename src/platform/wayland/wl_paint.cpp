// Implements: the paint pass on shared-memory buffers: a surface is drawn only into a
// buffer the compositor released and only after its last frame was shown; the buffer
// is first brought up to date from the one shown last (the areas drawn since it was
// shown), then the damaged areas are composed (the form's labels, then its frames
// above them) at the surface's scale, and only they are damaged and committed.
#include "platform/wayland/wl_paint.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

void CopyAreas(const Buffer& from, Buffer& to, std::span<const PixelRect> rects) {
  for (const PixelRect& r : rects) {
    const std::size_t bytes = static_cast<std::size_t>(r.Width()) * 4;
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
      const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(to.stride) / 4 +
                             static_cast<std::size_t>(r.left);
      std::memcpy(to.pixels + at, from.pixels + at, bytes);
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
  const PixelRect size = ToBuffer(s, whole);
  Buffer* b = TakeBuffer(s, size.Width(), size.Height());
  if (b == nullptr) return;  // both on screen still: the damage waits

  const bool follows = s.front != nullptr && s.front != b && s.front->width == b->width &&
                       s.front->height == b->height;
  areas.assign(s.damage.Rects().begin(), s.damage.Rects().end());
  s.damage.Clear();
  if (follows) {
    CopyAreas(*s.front, *b, b->stale.Rects());
  } else if (s.front != b) {
    areas.assign(1, whole);  // nothing to take over: all of it
  }
  b->stale.Clear();
  drawn.clear();
  for (PixelRect& a : areas) {
    a = Intersection(a, whole);
    drawn.push_back(ToBuffer(s, a));
  }

  raster::Canvas canvas{b->pixels, b->width, b->height, b->stride};
  if (WindowRecord* form = FindWindow(s.form)) {
    const forms::events::PaintScene scene = forms::events::DescribePaint(form->handle, areas);
    Compose(canvas, scene, drawn, 0, 0, ScaleOf(s));
    DrawFrames(canvas, s, *form);
  } else {
    raster::Fill(canvas, drawn, 0);
  }

  if (s.viewport != nullptr) {
    wp_viewport_set_destination(s.viewport, s.width, s.height);
  } else {
    wl_surface_set_buffer_scale(s.surface, static_cast<std::int32_t>(s.scale120 / 120));
  }
  wl_surface_attach(s.surface, b->buffer, 0, 0);
  for (const PixelRect& d : drawn) {
    wl_surface_damage_buffer(s.surface, d.left, d.top, d.Width(), d.Height());
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
  if (other.buffer != nullptr) {
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
