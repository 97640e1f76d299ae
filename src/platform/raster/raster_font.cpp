// Implements: faces opened from the shared fontconfig match and sized as the X11
// platform's (FreeType, light hinting, grey levels), glyphs inserted once into pixman's
// glyph cache, and the kept label layouts.
#include "platform/raster/raster_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
// fcfreetype.h needs fontconfig.h first.
// clang-format off
#include <fontconfig/fontconfig.h>
#include <fontconfig/fcfreetype.h>
// clang-format on

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/raster/font_match.h"

namespace raster {

struct CachedGlyph {
  GlyphMetrics metrics;
  const void* image = nullptr;  // in the glyph cache; null for a glyph without ink
};

struct Font {
  const forms::FontSpec* wanted = nullptr;
  int dpi = 0;
  FT_Face face = nullptr;
  int ascent = 0;
  int lineHeight = 0;
  std::array<CachedGlyph, 256> latin{};
  std::array<bool, 256> latinKnown{};
  std::unordered_map<char32_t, CachedGlyph> other;
};

namespace {

FT_Library library = nullptr;
pixman_glyph_cache_t* cache = nullptr;
std::vector<std::unique_ptr<Font>> fonts;
Font* lastFont = nullptr;
// pixman drops glyphs on its own past 16384; well below that we start afresh
// ourselves between passes, so that no layout ever points at a dropped glyph.
constexpr int kMaxGlyphs = 8192;
int glyphsInCache = 0;

FT_Face OpenFace(FcPattern* pattern, double& pixels) {
  FcPattern* match = MatchFace(pattern);
  if (match == nullptr) return nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  FT_Face face = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetDouble(match, FC_PIXEL_SIZE, 0, &pixels);
    if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) != 0) {
      face = nullptr;
    }
  }
  FcPatternDestroy(match);
  return face;
}

std::unique_ptr<Font> Open(const forms::FontSpec* wanted, int dpi) {
  auto font = std::make_unique<Font>();
  font->wanted = wanted;
  font->dpi = dpi;
  if (library == nullptr && FT_Init_FreeType(&library) != 0) return font;
  double pixels = PixelSize(wanted->points, dpi);
  FT_Face face = OpenFace(FontPattern(*wanted, pixels), pixels);
  if (face == nullptr) face = OpenFace(FallbackPattern(pixels), pixels);
  if (face == nullptr) return font;
  // The size in 26.6 units, truncated, as Xft sets it: both platforms get one glyph.
  const auto size = static_cast<FT_F26Dot6>(pixels * 64.0);
  if (FT_IS_SCALABLE(face)) {
    FT_Set_Char_Size(face, size, size, 0, 0);
  } else if (face->num_fixed_sizes > 0) {
    FT_Select_Size(face, 0);
  }
  font->face = face;
  font->ascent = static_cast<int>(face->size->metrics.ascender >> 6);
  font->lineHeight = font->ascent + static_cast<int>(-(face->size->metrics.descender >> 6));
  return font;
}

// The glyph cache's own copy of a rendered bitmap; a 1-bit bitmap is widened to 0 or 255.
const void* Insert(Font& font, unsigned index, const FT_GlyphSlot slot) {
  const FT_Bitmap& bitmap = slot->bitmap;
  const int width = static_cast<int>(bitmap.width);
  const int height = static_cast<int>(bitmap.rows);
  // Keys: the face, and the glyph index plus one (a key is never null).
  void* const fontKey = &font;
  void* const glyphKey = reinterpret_cast<void*>(static_cast<std::uintptr_t>(index) + 1);
  pixman_glyph_cache_freeze(cache);
  const void* image = pixman_glyph_cache_lookup(cache, fontKey, glyphKey);
  if (image == nullptr) {
    const int stride = (width + 3) & ~3;
    static std::vector<std::uint32_t> a8;
    a8.assign(static_cast<std::size_t>(stride / 4 * height), 0);
    auto* bytes = reinterpret_cast<unsigned char*>(a8.data());
    for (int y = 0; y < height; ++y) {
      const unsigned char* row = bitmap.buffer + y * bitmap.pitch;
      for (int x = 0; x < width; ++x) {
        bytes[y * stride + x] = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                    ? ((row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0)
                                    : row[x];
      }
    }
    pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8, width, height, a8.data(), stride);
    image = pixman_glyph_cache_insert(cache, fontKey, glyphKey, -slot->bitmap_left,
                                      slot->bitmap_top, source);
    pixman_image_unref(source);
    if (image != nullptr) ++glyphsInCache;
  }
  pixman_glyph_cache_thaw(cache);
  return image;
}

CachedGlyph Load(Font& font, char32_t codepoint) {
  CachedGlyph glyph;
  if (font.face == nullptr) return glyph;
  glyph.metrics.index = FcFreeTypeCharIndex(font.face, codepoint);
  if (FT_Load_Glyph(font.face, glyph.metrics.index, FT_LOAD_TARGET_LIGHT) != 0 ||
      FT_Render_Glyph(font.face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
    return glyph;
  }
  const FT_GlyphSlot slot = font.face->glyph;
  const int width = static_cast<int>(slot->bitmap.width);
  const int height = static_cast<int>(slot->bitmap.rows);
  GlyphMetrics& m = glyph.metrics;
  m.advance = static_cast<short>((slot->advance.x + 32) >> 6);
  m.inkLeft = static_cast<short>(slot->bitmap_left);
  m.inkTop = static_cast<short>(-slot->bitmap_top);
  m.inkRight = static_cast<short>(slot->bitmap_left + width);
  m.inkBottom = static_cast<short>(-slot->bitmap_top + height);
  if (width > 0 && height > 0) glyph.image = Insert(font, m.index, slot);
  return glyph;
}

const CachedGlyph& GlyphOf(Font& font, char32_t codepoint) {
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

struct CachedLayout {
  Font* font = nullptr;
  std::string text;
  int width = 0, height = 0;
  std::size_t hash = 0;
  unsigned pass = 0;  // the last call that used it
  TextLayout layout;
};

// Few distinct captions are on screen at once (the rain's letters); past this many,
// entries no call uses any more are reused.
constexpr std::size_t kCachedLayouts = 256;
std::vector<std::unique_ptr<CachedLayout>> layouts;
// Open addressing over the entries (index + 1; 0 empty), at most half full.
std::vector<std::uint32_t> slots;
unsigned pass = 1;
std::size_t nextReused = 0;

std::size_t HashOf(std::string_view text, const Font* font, int width, int height) {
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
  for (char c : text) mix(static_cast<unsigned char>(c));
  mix(reinterpret_cast<std::uintptr_t>(font));
  mix(static_cast<std::uint32_t>(width));
  mix(static_cast<std::uint32_t>(height));
  return static_cast<std::size_t>(h ^ (h >> 29));
}

void IndexEntries() {
  std::size_t size = 64;
  while (size < 2 * layouts.size()) size *= 2;
  slots.assign(size, 0);
  for (std::size_t i = 0; i < layouts.size(); ++i) {
    if (layouts[i]->font == nullptr) continue;
    std::size_t s = layouts[i]->hash & (size - 1);
    while (slots[s] != 0) s = (s + 1) & (size - 1);
    slots[s] = static_cast<std::uint32_t>(i + 1);
  }
}

CachedLayout* Find(std::string_view text, const Font* font, int width, int height,
                   std::size_t hash) {
  if (slots.empty()) return nullptr;
  for (std::size_t s = hash & (slots.size() - 1); slots[s] != 0; s = (s + 1) & (slots.size() - 1)) {
    CachedLayout& c = *layouts[slots[s] - 1];
    if (c.hash == hash && c.font == font && c.width == width && c.height == height &&
        c.text == text) {
      return &c;
    }
  }
  return nullptr;
}

CachedLayout& FreeEntry() {
  if (layouts.size() < kCachedLayouts) return *layouts.emplace_back(new CachedLayout);
  for (std::size_t tried = 0; tried < layouts.size(); ++tried) {
    CachedLayout& c = *layouts[nextReused];
    nextReused = (nextReused + 1) % layouts.size();
    if (c.pass != pass) return c;
  }
  // Every entry serves this call: the call keeps references to them.
  return *layouts.emplace_back(new CachedLayout);
}

void LayOut(std::string_view text, Font& font, int width, int height, TextLayout& out) {
  static std::vector<char32_t> chars;
  static std::vector<GlyphMetrics> metrics;
  static std::vector<const void*> images;
  DecodeUtf8(text, chars);
  metrics.clear();
  images.clear();
  for (char32_t c : chars) {
    const CachedGlyph& g = GlyphOf(font, c);
    metrics.push_back(g.metrics);
    images.push_back(g.image);
  }
  out.glyphs.clear();
  out.ink = PlaceText(chars, metrics, font.ascent, font.lineHeight, width, height,
                      [&](std::size_t k, int x, int baseline) {
                        if (images[k] != nullptr) out.glyphs.push_back({images[k], x, baseline});
                      });
}

// Drops every glyph (and so every layout pointing at one) and starts afresh.
void ForgetGlyphs() {
  if (cache != nullptr) pixman_glyph_cache_destroy(cache);
  cache = pixman_glyph_cache_create();
  glyphsInCache = 0;
  for (auto& font : fonts) {
    font->latinKnown.fill(false);
    font->other.clear();
  }
  for (auto& entry : layouts) entry->font = nullptr;
  IndexEntries();
}

}  // namespace

Font* FontFor(const forms::FontSpec* wanted, int dpi) {
  if (wanted == nullptr) wanted = &forms::kDefaultFont;
  if (lastFont != nullptr && lastFont->wanted == wanted && lastFont->dpi == dpi) return lastFont;
  if (cache == nullptr) cache = pixman_glyph_cache_create();
  for (auto& font : fonts) {
    if (font->wanted == wanted && font->dpi == dpi) return lastFont = font.get();
  }
  return lastFont = fonts.emplace_back(Open(wanted, dpi)).get();
}

void BeginLayoutPass() {
  ++pass;
  // Between passes no layout is in use: the time to start the glyph cache afresh.
  if (glyphsInCache > kMaxGlyphs) ForgetGlyphs();
}

const TextLayout& LayOutText(std::string_view text, Font* font, int width, int height) {
  static const TextLayout kNothing;
  if (font == nullptr || font->face == nullptr || text.empty()) return kNothing;
  const std::size_t hash = HashOf(text, font, width, height);
  if (CachedLayout* c = Find(text, font, width, height, hash)) {
    c->pass = pass;
    return c->layout;
  }
  CachedLayout& entry = FreeEntry();
  LayOut(text, *font, width, height, entry.layout);
  entry.font = font;
  entry.text.assign(text);
  entry.width = width;
  entry.height = height;
  entry.hash = hash;
  entry.pass = pass;
  IndexEntries();
  return entry.layout;
}

pixman_glyph_cache_t* GlyphCache() { return cache; }

void CloseFonts() {
  layouts.clear();
  slots.clear();
  nextReused = 0;
  for (auto& font : fonts) {
    if (font->face != nullptr) FT_Done_Face(font->face);
  }
  fonts.clear();
  lastFont = nullptr;
  if (cache != nullptr) pixman_glyph_cache_destroy(cache);
  cache = nullptr;
  glyphsInCache = 0;
  if (library != nullptr) FT_Done_FreeType(library);
  library = nullptr;
}

}  // namespace raster
