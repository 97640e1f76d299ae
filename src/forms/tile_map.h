// A coarse map of damaged tiles, so finding the labels that touch a paint's areas
// costs one pass over the areas and one over the labels.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/platform.h"

namespace forms {

class TileMap {
 public:
  void Reset(std::int32_t width, std::int32_t height);
  void Mark(const platform::PixelRect& rect);
  bool Touches(const platform::PixelRect& rect) const;

 private:
  static constexpr int kTileShift = 5;  // 32 x 32 pixel tiles
  bool Clip(const platform::PixelRect& rect, int& x0, int& y0, int& x1, int& y1) const;

  std::int32_t columns_ = 0;
  std::int32_t rows_ = 0;
  std::vector<std::uint8_t> tiles_;
};

}  // namespace forms
