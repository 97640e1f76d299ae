// The renderer's fonts: FreeType faces opened from the shared fontconfig match, their
// glyphs kept in pixman's glyph cache, and label layouts kept between calls.
#pragma once

#include <pixman.h>

#include <string_view>
#include <vector>

#include "forms/font.h"
#include "platform/raster/text_lines.h"

namespace raster {

struct Font;

// The face for a design's font at this many dots per inch, opened once per address
// and DPI (designs hold their fonts as constants). Null: the runtime's default font.
Font* FontFor(const forms::FontSpec* wanted, int dpi);

// A glyph of a laid-out text: pixman's cached image of it, and its pen position on
// the baseline relative to the label's top-left corner.
struct PlacedGlyph {
  const void* glyph;
  int x, y;
};

struct TextLayout {
  std::vector<PlacedGlyph> glyphs;
  InkBounds ink;
};

// The layout of text in a label of the given size, kept: labels keep their captions
// for many paints. Valid until the pass after the one that asked for it.
const TextLayout& LayOutText(std::string_view text, Font* font, int width, int height);
void BeginLayoutPass();

// The cache the placed glyphs live in, for pixman's compositing calls.
pixman_glyph_cache_t* GlyphCache();

// Frees every face, glyph and layout.
void CloseFonts();

}  // namespace raster
