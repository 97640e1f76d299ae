// Implements: the font cache (the shared fontconfig match, opened through Xft, pixel
// size from the display's DPI), glyphs rasterised with FreeType into one server-side
// glyph set per font, cached label layouts (the shared line breaking), and mask-less
// glyph batches.
#include "platform/x11/x11_font.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/raster/font_match.h"
#include "platform/raster/text_lines.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {

using raster::GlyphMetrics;

struct Font {
  XftFont* xft = nullptr;
  GlyphSet set = 0;
  int ascent = 0;
  int lineHeight = 0;
  std::array<GlyphMetrics, 256> latin{};
  std::array<bool, 256> latinKnown{};
  std::unordered_map<FcChar32, GlyphMetrics> other;
  std::vector<bool> uploaded;  // by glyph index
};

namespace {

std::unordered_map<const forms::FontSpec*, std::unique_ptr<Font>> fonts;
const forms::FontSpec* lastWanted = nullptr;
Font* lastFont = nullptr;

XftFont* Open(FcPattern* pattern) {
  FcResult result;
  FcPattern* match = XftFontMatch(X().display, X().screen, pattern, &result);
  FcPatternDestroy(pattern);
  // XftFontOpenPattern takes the matched pattern over.
  return match == nullptr ? nullptr : XftFontOpenPattern(X().display, match);
}

// Rasterises a glyph and sends it to the font's glyph set once.
GlyphMetrics Load(Font& font, FcChar32 codepoint) {
  GlyphMetrics glyph;
  glyph.index = XftCharIndex(X().display, font.xft, codepoint);
  FT_Face face = XftLockFace(font.xft);
  if (face == nullptr) return glyph;
  if (FT_Load_Glyph(face, glyph.index, FT_LOAD_TARGET_LIGHT) == 0 &&
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int width = static_cast<int>(bitmap.width);
    const int height = static_cast<int>(bitmap.rows);
    glyph.advance = static_cast<short>((slot->advance.x + 32) >> 6);
    glyph.inkLeft = static_cast<short>(slot->bitmap_left);
    glyph.inkTop = static_cast<short>(-slot->bitmap_top);
    glyph.inkRight = static_cast<short>(slot->bitmap_left + width);
    glyph.inkBottom = static_cast<short>(-slot->bitmap_top + height);

    if (font.uploaded.size() <= glyph.index) font.uploaded.resize(glyph.index + 1, false);
    if (!font.uploaded[glyph.index]) {
      // A8 rows are padded to 4 bytes; a 1-bit bitmap is widened to 0 or 255.
      const int stride = (width + 3) & ~3;
      std::vector<char> image(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height),
                              0);
      for (int y = 0; y < height; ++y) {
        const unsigned char* row = bitmap.buffer + y * bitmap.pitch;
        for (int x = 0; x < width; ++x) {
          const unsigned char value = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                          ? ((row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0)
                                          : row[x];
          image[static_cast<std::size_t>(y * stride + x)] = static_cast<char>(value);
        }
      }
      XGlyphInfo info{};
      info.width = static_cast<unsigned short>(width);
      info.height = static_cast<unsigned short>(height);
      info.x = static_cast<short>(-slot->bitmap_left);
      info.y = static_cast<short>(slot->bitmap_top);
      info.xOff = glyph.advance;
      info.yOff = 0;
      const ::Glyph id = glyph.index;
      XRenderAddGlyphs(X().display, font.set, &id, &info, 1, image.data(),
                       static_cast<int>(image.size()));
      font.uploaded[glyph.index] = true;
    }
  }
  XftUnlockFace(font.xft);
  return glyph;
}

GlyphMetrics GlyphOf(Font& font, FcChar32 codepoint) {
  if (codepoint < 256) {
    if (!font.latinKnown[codepoint]) {
      font.latin[codepoint] = Load(font, codepoint);
      font.latinKnown[codepoint] = true;
    }
    return font.latin[codepoint];
  }
  auto it = font.other.find(codepoint);
  if (it != font.other.end()) return it->second;
  return font.other[codepoint] = Load(font, codepoint);
}

}  // namespace

Font* FontFor(const forms::FontSpec* wanted) {
  if (wanted == nullptr) wanted = &forms::kDefaultFont;
  if (wanted == lastWanted) return lastFont;
  auto it = fonts.find(wanted);
  if (it == fonts.end()) {
    const double pixels = raster::PixelSize(wanted->points, platform::Dpi());
    XftFont* xft = Open(raster::FontPattern(*wanted, pixels));
    if (xft == nullptr) xft = Open(raster::FallbackPattern(pixels));
    auto font = std::make_unique<Font>();
    font->xft = xft;
    if (xft != nullptr) {
      font->ascent = xft->ascent;
      font->lineHeight = xft->ascent + xft->descent;
      font->set = XRenderCreateGlyphSet(X().display,
                                        XRenderFindStandardFormat(X().display, PictStandardA8));
    }
    it = fonts.emplace(wanted, std::move(font)).first;
  }
  lastWanted = wanted;
  lastFont = it->second.get();
  return lastFont;
}

void GlyphBatch::Clear() {
  glyphs_.clear();
  elements_.clear();
  penX_ = penY_ = 0;
}

void GlyphBatch::Add(GlyphSet set, unsigned glyph, int x, int y, int advance) {
  // The server moves the pen by each glyph's advance: a glyph that starts where the
  // last one ended continues its element.
  if (elements_.empty() || elements_.back().set != set || x != penX_ || y != penY_ ||
      elements_.back().count >= 252) {
    elements_.push_back({set, glyphs_.size(), 0, x - penX_, y - penY_});
  }
  glyphs_.push_back(glyph);
  ++elements_.back().count;
  penX_ = x + advance;
  penY_ = y;
}

void GlyphBatch::Draw(Picture source, Picture destination) {
  if (glyphs_.empty()) return;
  wire_.clear();
  for (const Element& e : elements_) {
    wire_.push_back({e.set, &glyphs_[e.first], e.count, e.dx, e.dy});
  }
  XRenderCompositeText32(X().display, PictOpOver, source, destination, nullptr, 0, 0, 0, 0,
                         wire_.data(), static_cast<int>(wire_.size()));
}

namespace {

void LayOut(std::string_view text, Font& font, int width, int height, TextLayout& out) {
  static std::vector<char32_t> chars;
  static std::vector<GlyphMetrics> glyphs;
  raster::DecodeUtf8(text, chars);
  glyphs.clear();
  for (char32_t c : chars) glyphs.push_back(GlyphOf(font, c));

  out.glyphs.clear();
  const raster::InkBounds ink =
      raster::PlaceText(chars, glyphs, font.ascent, font.lineHeight, width, height,
                        [&](std::size_t k, int x, int baseline) {
                          const GlyphMetrics& g = glyphs[k];
                          out.glyphs.push_back({font.set, g.index, x, baseline, g.advance});
                        });
  out.ink = ink.box;
  out.inside = ink.inside;
  out.largestGlyph = ink.largestGlyph;
}

struct CachedLayout {
  Font* font = nullptr;
  std::string text;
  int width = 0, height = 0;
  unsigned pass = 0;  // the last paint pass that used it
  TextLayout layout;
};

// Few distinct captions are on screen at once; past this many, entries no pass uses
// any more are reused.
constexpr std::size_t kCachedLayouts = 64;
std::vector<std::unique_ptr<CachedLayout>> layouts;
unsigned pass = 1;
std::size_t nextReused = 0;

CachedLayout& FreeEntry() {
  if (layouts.size() < kCachedLayouts) return *layouts.emplace_back(new CachedLayout);
  for (std::size_t tried = 0; tried < layouts.size(); ++tried) {
    CachedLayout& c = *layouts[nextReused];
    nextReused = (nextReused + 1) % layouts.size();
    if (c.pass != pass) return c;
  }
  // Every entry serves this pass: the pass keeps references to them.
  return *layouts.emplace_back(new CachedLayout);
}

}  // namespace

void BeginLayoutPass() { ++pass; }

const TextLayout& LayOutText(std::string_view text, Font* font, int width, int height) {
  static const TextLayout kNothing;
  if (font == nullptr || font->xft == nullptr || text.empty()) return kNothing;
  for (const std::unique_ptr<CachedLayout>& c : layouts) {
    if (c->font == font && c->width == width && c->height == height && c->text == text) {
      c->pass = pass;
      return c->layout;
    }
  }
  CachedLayout& entry = FreeEntry();
  entry.font = font;
  entry.text.assign(text);
  entry.width = width;
  entry.height = height;
  entry.pass = pass;
  LayOut(text, *font, width, height, entry.layout);
  return entry.layout;
}

void CloseFonts() {
  for (auto& [wanted, font] : fonts) {
    if (font->set != 0) XRenderFreeGlyphSet(X().display, font->set);
    if (font->xft != nullptr) XftFontClose(X().display, font->xft);
  }
  fonts.clear();
  layouts.clear();
  nextReused = 0;
  lastWanted = nullptr;
  lastFont = nullptr;
}

}  // namespace x11
