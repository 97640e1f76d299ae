// Implements: raster::Compose (background and opaque labels filled with pixman_fill,
// text composited glyph by glyph through pixman's glyph cache, each clipped to its
// label and the area), raster::Fill and raster::Shutdown.
#include "platform/raster/raster.h"

#include <pixman.h>

#include <algorithm>
#include <array>
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

// One solid source per text colour, made once.
std::vector<std::pair<platform::Colour, pixman_image_t*>> solids;
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
  for (const auto& [c, image] : solids) {
    if (c == colour) return image;
  }
  auto channel = [](std::uint32_t byte) { return static_cast<std::uint16_t>(byte * 0x101); };
  const pixman_color_t c{channel(colour & 0xFF), channel(colour >> 8 & 0xFF),
                         channel(colour >> 16 & 0xFF), 0xFFFF};
  return solids.emplace_back(colour, pixman_image_create_solid_fill(&c)).second;
}

void FillRect(Canvas& canvas, const PixelRect& rect, std::uint32_t pixel) {
  const PixelRect r = Intersection(rect, {0, 0, canvas.width, canvas.height});
  if (r.Empty()) return;
  pixman_fill(canvas.pixels, canvas.stride / 4, 32, r.left, r.top, r.Width(), r.Height(), pixel);
}

}  // namespace

void Compose(Canvas& canvas, const forms::events::PaintScene& scene,
             std::span<const PixelRect> areas, int originX, int originY, int dpi) {
  if (canvas.pixels == nullptr || areas.empty()) return;
  BeginLayoutPass();
  texts.clear();
  for (const forms::events::PaintItem& item : scene.items) {
    texts.push_back(
        &LayOutText(item.text, FontFor(item.font, dpi), item.rect.Width(), item.rect.Height()));
  }
  pixman_image_t* const image = ImageOf(canvas);
  const PixelRect bounds{0, 0, canvas.width, canvas.height};
  const std::uint32_t background = PixelOf(scene.background);
  // Area by area, each composed whole: areas may overlap, and text composited twice
  // over itself would come out bolder.
  for (const PixelRect& a : areas) {
    const PixelRect area = Intersection(Offset(a, originX, originY), bounds);
    if (area.Empty()) continue;
    FillRect(canvas, area, background);
    for (std::size_t i = 0; i < scene.items.size(); ++i) {
      const forms::events::PaintItem& item = scene.items[i];
      const PixelRect label = Offset(item.rect, originX, originY);
      if (!label.Intersects(area)) continue;
      if (item.opaque) FillRect(canvas, Intersection(label, area), PixelOf(item.backColour));
      const TextLayout& text = *texts[i];
      if (text.glyphs.empty()) continue;
      const PixelRect clip =
          Intersection(Intersection(Offset(text.ink.box, label.left, label.top), label), area);
      if (clip.Empty()) continue;
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
  for (auto& [colour, image] : solids) pixman_image_unref(image);
  solids.clear();
  placed = {};
  texts = {};
  CloseFonts();
}

}  // namespace raster
