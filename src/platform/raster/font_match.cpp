// Implements: the fontconfig patterns for a design's font and its fallback.
#include "platform/raster/font_match.h"

#include <string>

namespace raster {
namespace {

FcPattern* Pattern(std::initializer_list<std::string_view> families, double pixels, int weight) {
  FcPattern* pattern = FcPatternCreate();
  for (std::string_view family : families) {
    const std::string name(family);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  }
  FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixels);
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  return pattern;
}

}  // namespace

double PixelSize(float points, int dpi) { return points * dpi / 72.0; }

FcPattern* FontPattern(const forms::FontSpec& wanted, double pixels) {
  // An old bitmap face no Linux system has: ask for its TrueType successor, then the
  // face with its metrics (fontconfig maps Arial to Liberation Sans), then any sans-serif.
  if (wanted.family == "MS Sans Serif") {
    return Pattern({"Microsoft Sans Serif", "Arial", "sans-serif"}, pixels, wanted.weight);
  }
  return Pattern({wanted.family}, pixels, wanted.weight);
}

FcPattern* FallbackPattern(double pixels) { return Pattern({"sans-serif"}, pixels, 400); }

FcPattern* MatchFace(FcPattern* pattern) {
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  return match;
}

}  // namespace raster
