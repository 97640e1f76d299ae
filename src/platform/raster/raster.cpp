// Implements: raster::Compose (background and opaque labels filled with pixman_fill,
// text composited glyph by glyph through pixman's glyph cache, each clipped to its
// label and the area), raster::Fill and raster::Shutdown.
#include "platform/raster/raster.h"

#include <pixman.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

#include "platform/raster/raster_font.h"

namespace raster {
namespace {

using platform::PixelRect;

// pixman's view of a caller's memory, kept for the few canvases a platform cycles
// through (two buffers per surface), so that a warm call creates no image.
struct CanvasImage {
  std::uint32_t* pixels = nullptr;
  std::int32_t width = 0, height = 0, stride = 0;
  pixman_image_t* image = nullptr;
};
std::array<CanvasImage, 8> canvases;
std::size_t nextCanvas = 0;

// One solid source per text colour, made once. A plain array, not a vector: a vector
// freed at exit would leave the images unreachable, which the leak checker reports.
struct Solid {
  platform::Colour colour = 0;
  pixman_image_t* image = nullptr;
};
std::array<Solid, 16> solids{};
std::size_t nextSolid = 0;
std::vector<pixman_glyph_t> placed;
std::vector<const TextLayout*> texts;

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

PixelRect Offset(const PixelRect& r, int dx, int dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

std::uint32_t PixelOf(platform::Colour colour) {
  return 0xFF000000u | (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

pixman_image_t* ImageOf(const Canvas& canvas) {
  for (const CanvasImage& c : canvases) {
    if (c.pixels == canvas.pixels && c.width == canvas.width && c.height == canvas.height &&
        c.stride == canvas.stride) {
      return c.image;
    }
  }
  CanvasImage& c = canvases[nextCanvas];
  nextCanvas = (nextCanvas + 1) % canvases.size();
  if (c.image != nullptr) pixman_image_unref(c.image);
  c = {canvas.pixels, canvas.width, canvas.height, canvas.stride,
       pixman_image_create_bits(PIXMAN_x8r8g8b8, canvas.width, canvas.height, canvas.pixels,
                                canvas.stride)};
  return c.image;
}

pixman_image_t* SolidOf(platform::Colour colour) {
  for (const Solid& s : solids) {
    if (s.image != nullptr && s.colour == colour) return s.image;
  }
  auto channel = [](std::uint32_t byte) { return static_cast<std::uint16_t>(byte * 0x101); };
  const pixman_color_t c{channel(colour & 0xFF), channel(colour >> 8 & 0xFF),
                         channel(colour >> 16 & 0xFF), 0xFFFF};
  // Past as many colours as the array holds, the oldest goes.
  Solid& s = solids[nextSolid];
  nextSolid = (nextSolid + 1) % solids.size();
  if (s.image != nullptr) pixman_image_unref(s.image);
  s = {colour, pixman_image_create_solid_fill(&c)};
  return s.image;
}

void FillRect(Canvas& canvas, const PixelRect& rect, std::uint32_t pixel) {
  const PixelRect r = Intersection(rect, {0, 0, canvas.width, canvas.height});
  if (r.Empty()) return;
  pixman_fill(canvas.pixels, canvas.stride / 4, 32, r.left, r.top, r.Width(), r.Height(), pixel);
}

}  // namespace

namespace {

// Labels wider than this are checked against every area; narrower ones are found by
// their left edge.
constexpr int kNarrow = 256;
std::vector<std::uint32_t> byLeft;  // narrow items, ordered by left edge
std::vector<std::uint32_t> wide;
std::vector<std::uint32_t> meeting;  // the items meeting one area, in painting order
int widestNarrow = 0;

void LayOutItems(const forms::events::PaintScene& scene, int dpi) {
  BeginLayoutPass();
  texts.clear();
  byLeft.clear();
  wide.clear();
  widestNarrow = 0;
  for (std::uint32_t i = 0; i < scene.items.size(); ++i) {
    const forms::events::PaintItem& item = scene.items[i];
    texts.push_back(
        &LayOutText(item.text, FontFor(item.font, dpi), item.rect.Width(), item.rect.Height()));
    if (item.rect.Width() > kNarrow) {
      wide.push_back(i);
    } else {
      byLeft.push_back(i);
      widestNarrow = std::max(widestNarrow, item.rect.Width());
    }
  }
  std::sort(byLeft.begin(), byLeft.end(), [&](std::uint32_t a, std::uint32_t b) {
    return scene.items[a].rect.left < scene.items[b].rect.left;
  });
}

// The items that meet an area (window pixels), in painting order.
void FindItems(const forms::events::PaintScene& scene, const PixelRect& area) {
  meeting.clear();
  for (std::uint32_t i : wide) {
    if (scene.items[i].rect.Intersects(area)) meeting.push_back(i);
  }
  auto first =
      std::lower_bound(byLeft.begin(), byLeft.end(), area.left - widestNarrow,
                       [&](std::uint32_t i, int left) { return scene.items[i].rect.left <= left; });
  for (auto it = first; it != byLeft.end() && scene.items[*it].rect.left < area.right; ++it) {
    if (scene.items[*it].rect.Intersects(area)) meeting.push_back(*it);
  }
  std::sort(meeting.begin(), meeting.end());
}

// Draws one label where it meets an area, both already moved into the canvas.
void DrawItem(Canvas& canvas, pixman_image_t* image, const forms::events::PaintItem& item,
              const TextLayout& text, const PixelRect& label, const PixelRect& area) {
  if (item.opaque) FillRect(canvas, Intersection(label, area), PixelOf(item.backColour));
  if (text.glyphs.empty()) return;
  const PixelRect clip =
      Intersection(Intersection(Offset(text.ink.box, label.left, label.top), label), area);
  if (clip.Empty()) return;
  placed.clear();
  for (const PlacedGlyph& g : text.glyphs) {
    placed.push_back({label.left + g.x, label.top + g.y, g.glyph});
  }
  pixman_region32_t region;
  pixman_region32_init_rect(&region, clip.left, clip.top, static_cast<unsigned>(clip.Width()),
                            static_cast<unsigned>(clip.Height()));
  pixman_image_set_clip_region32(image, &region);
  pixman_region32_fini(&region);
  pixman_composite_glyphs_no_mask(PIXMAN_OP_OVER, SolidOf(item.foreColour), image, 0, 0, 0, 0,
                                  GlyphCache(), static_cast<int>(placed.size()), placed.data());
}

}  // namespace

// Area by area, each composed whole: areas may overlap, and text composited twice
// over itself would come out bolder.
void Compose(Canvas& canvas, const forms::events::PaintScene& scene,
             std::span<const PixelRect> areas, int originX, int originY, int dpi) {
  if (canvas.pixels == nullptr || areas.empty()) return;
  LayOutItems(scene, dpi);
  pixman_image_t* const image = ImageOf(canvas);
  const PixelRect bounds{0, 0, canvas.width, canvas.height};
  const std::uint32_t background = PixelOf(scene.background);
  for (std::size_t a = 0; a < areas.size(); ++a) {
    const PixelRect area = Intersection(raster::Offset(areas[a], originX, originY), bounds);
    if (area.Empty()) continue;
    FillRect(canvas, area, background);
    FindItems(scene, areas[a]);
    for (std::uint32_t i : meeting) {
      DrawItem(canvas, image, scene.items[i], *texts[i],
               raster::Offset(scene.items[i].rect, originX, originY), area);
    }
  }
  pixman_image_set_clip_region32(image, nullptr);
}

void Fill(Canvas& canvas, std::span<const PixelRect> rects, platform::Colour colour) {
  if (canvas.pixels == nullptr) return;
  for (const PixelRect& r : rects) FillRect(canvas, r, PixelOf(colour));
}

void Shutdown() {
  for (CanvasImage& c : canvases) {
    if (c.image != nullptr) pixman_image_unref(c.image);
    c = {};
  }
  nextCanvas = 0;
  for (Solid& s : solids) {
    if (s.image != nullptr) pixman_image_unref(s.image);
    s = {};
  }
  nextSolid = 0;
  placed = {};
  texts = {};
  byLeft = {};
  wide = {};
  meeting = {};
  CloseFonts();
}

void MergeColumns(std::vector<platform::PixelRect>& rects) {
  std::sort(rects.begin(), rects.end(),
            [](const platform::PixelRect& a, const platform::PixelRect& b) {
              return std::tie(a.left, a.right, a.top) < std::tie(b.left, b.right, b.top);
            });
  std::size_t kept = 0;
  for (const platform::PixelRect& r : rects) {
    if (kept > 0) {
      platform::PixelRect& last = rects[kept - 1];
      if (last.left == r.left && last.right == r.right && r.top <= last.bottom) {
        last.bottom = std::max(last.bottom, r.bottom);
        continue;
      }
    }
    rects[kept++] = r;
  }
  rects.resize(kept);
}

}  // namespace raster
