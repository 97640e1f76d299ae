// Native fonts for the runtime's FontSpecs, the layout of a label's text, and batches
// of glyphs drawn with one request.
#pragma once

#include <string_view>
#include <vector>

#include "platform/x11/x11_xlib.h"

namespace x11 {

struct Font;

// The font for a design's font, opened once per address (designs hold them as
// constants). Null: the runtime's default font.
Font* FontFor(const forms::FontSpec* wanted);

// Glyphs at absolute positions, sent as one XRenderCompositeText request without a
// mask: with a mask the server would clear a scratch picture as large as the
// bounding box of all the glyphs, which for labels spread over a screen is the
// whole screen.
class GlyphBatch {
 public:
  void Clear();
  bool Empty() const { return glyphs_.empty(); }
  void Add(GlyphSet set, unsigned glyph, int x, int y, int advance);
  void Draw(Picture source, Picture destination);

 private:
  struct Element {
    GlyphSet set;
    std::size_t first;
    int count;
    int dx, dy;
  };
  std::vector<unsigned> glyphs_;
  std::vector<Element> elements_;
  std::vector<XGlyphElt32> wire_;
  int penX_ = 0, penY_ = 0;
};

// A glyph of a laid-out text, its pen position on the baseline relative to the
// top-left corner of the label.
struct PlacedGlyph {
  GlyphSet set;
  unsigned glyph;
  int x, y;
  int advance;
};

// A label's text laid out left-aligned from the top-left corner of its rectangle,
// wrapping at spaces like a fixed-size label. Positions are relative to that corner.
struct TextLayout {
  std::vector<PlacedGlyph> glyphs;
  platform::PixelRect ink;  // bounding box of every glyph's ink
  bool inside = true;       // the ink stays inside the label (no clipping needed)
  int largestGlyph = 0;     // the widest or tallest ink box of one glyph
};

// The layout of text in a label of the given size, kept: labels keep their captions
// for many paints. Valid until the pass after the one that asked for it.
const TextLayout& LayOutText(std::string_view text, Font* font, int width, int height);
void BeginLayoutPass();

// Frees every font and glyph set (before the display goes).
void CloseFonts();

}  // namespace x11
