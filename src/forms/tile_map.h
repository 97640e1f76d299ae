// A coarse map of damaged tiles, one bit per tile and a 64-bit word per row of tiles,
// so finding the labels that touch a paint's areas costs a few instructions for each
// area and each label.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace forms {

class TileMap {
 public:
  // Tiles of at least 32 pixels, wider where needed to fit a row in 64 tiles.
  void Reset(std::int32_t width, std::int32_t height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    shift_ = 5;
    while ((width_ >> shift_) >= 64) ++shift_;
    rows_.assign(static_cast<std::size_t>((height_ >> shift_) + 1), 0);
  }

  void Mark(const platform::PixelRect& rect) {
    std::uint64_t mask;
    int y0, y1;
    if (!Span(rect, mask, y0, y1)) return;
    for (int y = y0; y <= y1; ++y) rows_[static_cast<std::size_t>(y)] |= mask;
  }

  bool Touches(const platform::PixelRect& rect) const {
    std::uint64_t mask;
    int y0, y1;
    if (!Span(rect, mask, y0, y1)) return false;
    for (int y = y0; y <= y1; ++y)
      if (rows_[static_cast<std::size_t>(y)] & mask) return true;
    return false;
  }

 private:
  // The tile columns a rectangle covers as a mask, and its first and last tile row.
  bool Span(const platform::PixelRect& rect, std::uint64_t& mask, int& y0, int& y1) const {
    const int left = std::max(rect.left, 0), right = std::min(rect.right, width_);
    const int top = std::max(rect.top, 0), bottom = std::min(rect.bottom, height_);
    if (left >= right || top >= bottom) return false;
    const int x0 = left >> shift_, x1 = (right - 1) >> shift_;
    mask = (~std::uint64_t{0} >> (63 - (x1 - x0))) << x0;
    y0 = top >> shift_;
    y1 = (bottom - 1) >> shift_;
    return true;
  }

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  int shift_ = 5;
  std::vector<std::uint64_t> rows_;
};

}  // namespace forms
