// Implements: the font cache (fontconfig matching through Xft, pixel size from the
// display's DPI) and label text layout with per-font glyph metrics kept client-side.
#include "platform/x11/x11_font.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {
namespace {

struct Glyph {
  FT_UInt index = 0;
  short advance = 0;
  // Ink box relative to the pen position on the baseline.
  short inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;
};

struct CachedFont {
  XftFont* font = nullptr;
  std::array<Glyph, 256> latin{};
  std::array<bool, 256> latinKnown{};
};

std::unordered_map<const forms::FontSpec*, std::unique_ptr<CachedFont>> fonts;
std::unordered_map<XftFont*, CachedFont*> byXft;

// An old bitmap face no Linux system has: ask for its TrueType successor, then the
// face with its metrics (fontconfig maps Arial to Liberation Sans), then any sans-serif.
std::vector<std::string> FamiliesFor(std::string_view family) {
  if (family == "MS Sans Serif") return {"Microsoft Sans Serif", "Arial", "sans-serif"};
  return {std::string(family)};
}

XftFont* Open(const std::vector<std::string>& families, double pixels, int weight) {
  FcPattern* pattern = FcPatternCreate();
  for (const std::string& family : families) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixels);
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcResult result;
  FcPattern* match = XftFontMatch(X().display, X().screen, pattern, &result);
  FcPatternDestroy(pattern);
  // XftFontOpenPattern takes the matched pattern over.
  return match == nullptr ? nullptr : XftFontOpenPattern(X().display, match);
}

Glyph MeasureGlyph(XftFont* font, FcChar32 codepoint) {
  Glyph glyph;
  glyph.index = XftCharIndex(X().display, font, codepoint);
  XGlyphInfo info;
  XftGlyphExtents(X().display, font, &glyph.index, 1, &info);
  glyph.advance = info.xOff;
  glyph.inkLeft = static_cast<short>(-info.x);
  glyph.inkTop = static_cast<short>(-info.y);
  glyph.inkRight = static_cast<short>(-info.x + info.width);
  glyph.inkBottom = static_cast<short>(-info.y + info.height);
  return glyph;
}

Glyph GlyphOf(CachedFont& cached, FcChar32 codepoint) {
  if (codepoint < 256) {
    if (!cached.latinKnown[codepoint]) {
      cached.latin[codepoint] = MeasureGlyph(cached.font, codepoint);
      cached.latinKnown[codepoint] = true;
    }
    return cached.latin[codepoint];
  }
  return MeasureGlyph(cached.font, codepoint);
}

// Captions are UTF-8; a byte that is not is taken as Latin-1.
std::vector<FcChar32> Decode(std::string_view text) {
  std::vector<FcChar32> out;
  out.reserve(text.size());
  const auto* bytes = reinterpret_cast<const FcChar8*>(text.data());
  int left = static_cast<int>(text.size());
  while (left > 0) {
    FcChar32 c = 0;
    int used = *bytes < 0x80 ? 0 : FcUtf8ToUcs4(bytes, &c, left);
    if (used <= 0) {
      c = *bytes;
      used = 1;
    }
    out.push_back(c);
    bytes += used;
    left -= used;
  }
  return out;
}

}  // namespace

XftFont* FontFor(const forms::FontSpec* spec) {
  if (spec == nullptr) spec = &forms::kDefaultFont;
  auto it = fonts.find(spec);
  if (it != fonts.end()) return it->second->font;

  const double pixels = spec->points * platform::Dpi() / 72.0;
  XftFont* font = Open(FamiliesFor(spec->family), pixels, spec->weight);
  if (font == nullptr) font = Open({"sans-serif"}, pixels, 400);
  auto cached = std::make_unique<CachedFont>();
  cached->font = font;
  byXft[font] = cached.get();
  fonts[spec] = std::move(cached);
  return font;
}

bool LayOutText(std::string_view text, XftFont* font, const platform::PixelRect& rect,
                std::vector<XftGlyphFontSpec>& out) {
  if (font == nullptr || text.empty()) return true;
  CachedFont& cached = *byXft.at(font);
  const std::vector<FcChar32> chars = Decode(text);
  std::vector<Glyph> glyphs;
  glyphs.reserve(chars.size());
  for (FcChar32 c : chars) glyphs.push_back(GlyphOf(cached, c));

  const int width = rect.Width();
  const int lineHeight = font->ascent + font->descent;
  bool inside = true;
  int line = 0;
  std::size_t i = 0;
  while (i < chars.size()) {
    // The line runs to an explicit break, or to the last space that still fits.
    std::size_t end = i;
    std::size_t lastSpace = std::string::npos;
    int pen = 0;
    while (end < chars.size() && chars[end] != '\n') {
      if (chars[end] == ' ') lastSpace = end;
      if (pen + glyphs[end].advance > width && chars[end] != ' ' &&
          lastSpace != std::string::npos && lastSpace > i) {
        end = lastSpace;
        break;
      }
      pen += glyphs[end].advance;
      ++end;
    }
    const int baseline = rect.top + font->ascent + line * lineHeight;
    int x = rect.left;
    for (std::size_t k = i; k < end; ++k) {
      const Glyph& g = glyphs[k];
      if (chars[k] != ' ' && chars[k] != '\r') {
        out.push_back({font, g.index, static_cast<short>(x), static_cast<short>(baseline)});
        if (g.inkRight > g.inkLeft &&
            (x + g.inkLeft < rect.left || x + g.inkRight > rect.right ||
             baseline + g.inkTop < rect.top || baseline + g.inkBottom > rect.bottom)) {
          inside = false;
        }
      }
      x += g.advance;
    }
    // Skip the break itself: one newline, or the spaces a wrap ended on.
    i = end;
    if (i < chars.size() && chars[i] == '\n') {
      ++i;
    } else {
      while (i < chars.size() && chars[i] == ' ') ++i;
    }
    ++line;
    if (rect.top + line * lineHeight >= rect.bottom) break;  // later lines are clipped away
  }
  return inside;
}

void CloseFonts() {
  for (auto& [spec, cached] : fonts) {
    if (cached->font != nullptr) XftFontClose(X().display, cached->font);
  }
  fonts.clear();
  byXft.clear();
}

}  // namespace x11
