// Composes the runtime's paint scenes into 32-bit pixels in client memory: FreeType
// glyphs and fills through pixman. The drawing of the platforms that present memory
// they filled themselves (Wayland's shared buffers, X11's shared-memory images).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "forms/events.h"
#include "platform/platform.h"

namespace raster {

// Pixels in pixman's x8r8g8b8 layout (0xXXRRGGBB per pixel, native byte order), rows
// `stride` bytes apart. The memory is the caller's.
struct Canvas {
  std::uint32_t* pixels = nullptr;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t stride = 0;
};

// Draws a window's scene where it meets the areas: the background, then every item in
// order. Areas and scene are in the window's pixels and land in the canvas moved by
// (originX, originY), clipped to the canvas. Text is set at `dpi` dots per inch.
// Allocates nothing once its fonts and glyphs are cached.
void Compose(Canvas& canvas, const forms::events::PaintScene& scene,
             std::span<const platform::PixelRect> areas, int originX, int originY, int dpi);

// Fills rectangles of the canvas (canvas pixels) with one colour (0x00BBGGRR).
void Fill(Canvas& canvas, std::span<const platform::PixelRect> rects, platform::Colour colour);

// Damage comes in the order labels changed, so a falling column's old and new places
// alternate and overlap: merges each run of them into one strip, so that each pixel is
// composed (and sent) once. Reorders the rectangles; allocates nothing.
void MergeColumns(std::vector<platform::PixelRect>& rects);

// Frees every font and cached glyph.
void Shutdown();

}  // namespace raster
