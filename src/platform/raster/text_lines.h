// A label's text laid out as a fixed-size label does: left-aligned from the top-left
// corner of its rectangle, wrapping at spaces, lines dropped once they start below it.
// Shared by every platform that draws its own text, so that all of them wrap alike.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace raster {

// A glyph as the layout needs it: its index in the face, its advance, and its ink box
// relative to the pen position on the baseline.
struct GlyphMetrics {
  unsigned index = 0;
  short advance = 0;
  short inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;
};

// Where the ink of a laid-out text lies, relative to the label's top-left corner.
struct InkBounds {
  platform::PixelRect box;  // bounding box of every glyph's ink
  bool inside = true;       // the ink stays inside the label (no clipping needed)
  int largestGlyph = 0;     // the widest or tallest ink box of one glyph
};

// Captions are UTF-8; a byte that is not is taken as Latin-1.
void DecodeUtf8(std::string_view text, std::vector<char32_t>& out);

// The end of the line that starts at `begin`: an explicit break, or the last space
// that still fits in `width`.
std::size_t LineEnd(std::span<const char32_t> chars, std::span<const GlyphMetrics> glyphs,
                    std::size_t begin, int width);
// Where the next line starts after a line ending at `end`: past one newline, or past
// the spaces a wrap ended on.
std::size_t NextLineStart(std::span<const char32_t> chars, std::size_t end);

// Lays out chars (with their glyphs) in a label of width x height whose font has this
// ascent and line height: calls place(k, x, baseline) for every char k whose glyph has
// ink, in order, and returns where the ink lies.
template <class Place>
InkBounds PlaceText(std::span<const char32_t> chars, std::span<const GlyphMetrics> glyphs,
                    int ascent, int lineHeight, int width, int height, Place&& place) {
  InkBounds out;
  bool any = false;
  int line = 0;
  std::size_t i = 0;
  while (i < chars.size()) {
    const std::size_t end = LineEnd(chars, glyphs, i, width);
    const int baseline = ascent + line * lineHeight;
    int x = 0;
    for (std::size_t k = i; k < end; ++k) {
      const GlyphMetrics& g = glyphs[k];
      if (g.inkRight > g.inkLeft) {
        place(k, x, baseline);
        const platform::PixelRect ink{x + g.inkLeft, baseline + g.inkTop, x + g.inkRight,
                                      baseline + g.inkBottom};
        out.box = !any ? ink
                       : platform::PixelRect{std::min(out.box.left, ink.left),
                                             std::min(out.box.top, ink.top),
                                             std::max(out.box.right, ink.right),
                                             std::max(out.box.bottom, ink.bottom)};
        any = true;
        out.largestGlyph = std::max({out.largestGlyph, ink.Width(), ink.Height()});
      }
      x += g.advance;
    }
    i = NextLineStart(chars, end);
    ++line;
    if (line * lineHeight >= height) break;  // clipped away below
  }
  out.inside = !any || (out.box.left >= 0 && out.box.top >= 0 && out.box.right <= width &&
                        out.box.bottom <= height);
  return out;
}

}  // namespace raster
