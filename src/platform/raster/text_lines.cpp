// Implements: UTF-8 decoding of captions and the line breaks of a fixed-size label.
#include "platform/raster/text_lines.h"

#include <fontconfig/fontconfig.h>

namespace raster {

void DecodeUtf8(std::string_view text, std::vector<char32_t>& out) {
  out.clear();
  const auto* bytes = reinterpret_cast<const FcChar8*>(text.data());
  int left = static_cast<int>(text.size());
  while (left > 0) {
    FcChar32 c = *bytes;
    int used = *bytes < 0x80 ? 1 : FcUtf8ToUcs4(bytes, &c, left);
    if (used <= 0) {
      c = *bytes;
      used = 1;
    }
    out.push_back(c);
    bytes += used;
    left -= used;
  }
}

std::size_t LineEnd(std::span<const char32_t> chars, std::span<const GlyphMetrics> glyphs,
                    std::size_t begin, int width) {
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t end = begin;
  std::size_t lastSpace = kNone;
  int pen = 0;
  while (end < chars.size() && chars[end] != '\n') {
    if (chars[end] == ' ') lastSpace = end;
    if (pen + glyphs[end].advance > width && chars[end] != ' ' && lastSpace != kNone &&
        lastSpace > begin) {
      return lastSpace;
    }
    pen += glyphs[end].advance;
    ++end;
  }
  return end;
}

std::size_t NextLineStart(std::span<const char32_t> chars, std::size_t end) {
  if (end < chars.size() && chars[end] == '\n') return end + 1;
  while (end < chars.size() && chars[end] == ' ') ++end;
  return end;
}

}  // namespace raster
