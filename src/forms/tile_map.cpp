#include "forms/tile_map.h"

#include <algorithm>

namespace forms {

void TileMap::Reset(std::int32_t width, std::int32_t height) {
  columns_ = (std::max(width, 0) + (1 << kTileShift) - 1) >> kTileShift;
  rows_ = (std::max(height, 0) + (1 << kTileShift) - 1) >> kTileShift;
  tiles_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0);
}

bool TileMap::Clip(const platform::PixelRect& rect, int& x0, int& y0, int& x1, int& y1) const {
  if (rect.Empty()) return false;
  x0 = std::max(rect.left, 0) >> kTileShift;
  y0 = std::max(rect.top, 0) >> kTileShift;
  x1 = std::min((rect.right - 1) >> kTileShift, columns_ - 1);
  y1 = std::min((rect.bottom - 1) >> kTileShift, rows_ - 1);
  return x0 <= x1 && y0 <= y1 && rect.right > 0 && rect.bottom > 0;
}

void TileMap::Mark(const platform::PixelRect& rect) {
  int x0, y0, x1, y1;
  if (!Clip(rect, x0, y0, x1, y1)) return;
  for (int y = y0; y <= y1; ++y)
    std::fill_n(tiles_.begin() + y * columns_ + x0, x1 - x0 + 1, std::uint8_t{1});
}

bool TileMap::Touches(const platform::PixelRect& rect) const {
  int x0, y0, x1, y1;
  if (!Clip(rect, x0, y0, x1, y1)) return false;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (tiles_[static_cast<std::size_t>(y * columns_ + x)]) return true;
  return false;
}

}  // namespace forms
