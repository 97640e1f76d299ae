// The areas of a surface to repaint, clipped to it. Rectangles with the same left and
// right edges that overlap or touch vertically merge into one: a falling column of
// labels leaves one strip to repaint, not a rectangle for each label's old and new place.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/platform.h"

namespace forms {

class DamageList {
 public:
  void Reserve(std::size_t count) { rects_.reserve(count); }
  void SetBounds(std::int32_t width, std::int32_t height) {
    width_ = width;
    height_ = height;
  }

  void Add(const platform::PixelRect& rect) {
    const platform::PixelRect r{std::max(rect.left, 0), std::max(rect.top, 0),
                                std::min(rect.right, width_), std::min(rect.bottom, height_)};
    if (r.Empty()) return;
    Slot& slot = SlotFor(r.left);
    if (slot.generation == generation_ && slot.left == r.left && slot.right == r.right) {
      platform::PixelRect& last = rects_[slot.index];
      if (r.top <= last.bottom && r.bottom >= last.top) {
        last.top = std::min(last.top, r.top);
        last.bottom = std::max(last.bottom, r.bottom);
        return;
      }
    }
    slot = {r.left, r.right, static_cast<std::uint32_t>(rects_.size()), generation_};
    if (rects_.size() == rects_.capacity()) Grow();
    rects_.push_back(r);
  }

  bool Empty() const { return rects_.empty(); }
  std::span<const platform::PixelRect> Rects() const { return rects_; }
  void Clear() {
    rects_.clear();
    ++generation_;  // forgets every slot at once
  }

 private:
  struct Slot {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::uint32_t index = 0;
    std::uint32_t generation = 0;
  };

  // The slot remembering the latest rectangle with this left edge. Columns whose left
  // edges collide share a slot; the later one takes it over, which only costs a merge.
  Slot& SlotFor(std::int32_t left) {
    return slots_[static_cast<std::uint32_t>(left) & (kSlots - 1)];
  }

  // Kept out of line so the common path stays small.
  [[gnu::noinline]] void Grow() { rects_.reserve(2 * rects_.capacity() + 16); }

  static constexpr std::uint32_t kSlots = 1024;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::uint32_t generation_ = 1;
  std::array<Slot, kSlots> slots_{};
  std::vector<platform::PixelRect> rects_;
};

}  // namespace forms
