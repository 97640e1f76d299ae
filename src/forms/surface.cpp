#include "forms/surface.h"

#include <algorithm>

#include "forms/app.h"

namespace forms {

Surface::Surface(App& app) : app_(app), pixelsPerTwip_(1.0f / app.TwipsPerPixel()) {}

void Surface::AddLabel(Label& label) {
  labels_.push_back(&label);
  dirty_.reserve(labels_.size());
  // Two rectangles per label at most, plus room for whole-area repaints.
  damage_.reserve(2 * labels_.size() + 8);
  items_.reserve(labels_.size());
  LabelChanged(label);
}

void Surface::LabelChanged(Label& label) {
  if (label.dirty_) return;
  label.dirty_ = true;
  dirty_.push_back(&label);
}

void Surface::SetClientSize(std::int32_t width, std::int32_t height) {
  if (width == clientWidth_ && height == clientHeight_) return;
  clientWidth_ = width;
  clientHeight_ = height;
  InvalidateAll();
}

void Surface::InvalidateArea(const platform::PixelRect& area) { AddClipped(area); }

void Surface::InvalidateAll() {
  damage_.clear();
  AddClipped({0, 0, clientWidth_, clientHeight_});
}

void Surface::AddClipped(const platform::PixelRect& rect) {
  const platform::PixelRect clipped{std::max(rect.left, 0), std::max(rect.top, 0),
                                    std::min(rect.right, clientWidth_),
                                    std::min(rect.bottom, clientHeight_)};
  if (!clipped.Empty()) damage_.push_back(clipped);
}

// A label that moved along one axis by less than its size leaves one strip to
// repaint, not two rectangles.
void Surface::AddDamage(const platform::PixelRect& before, const platform::PixelRect& after) {
  const bool sameColumn = before.left == after.left && before.right == after.right;
  const bool sameRow = before.top == after.top && before.bottom == after.bottom;
  if (!before.Empty() && !after.Empty() && (sameColumn || sameRow) && before.Intersects(after)) {
    AddClipped({std::min(before.left, after.left), std::min(before.top, after.top),
                std::max(before.right, after.right), std::max(before.bottom, after.bottom)});
    return;
  }
  if (!before.Empty()) AddClipped(before);
  if (!after.Empty()) AddClipped(after);
}

void Surface::FlushDamage() {
  for (Label* label : dirty_) {
    const platform::PixelRect now =
        label->Draws() ? ToPixels(label->left_, label->top_, label->width_, label->height_)
                       : platform::PixelRect{};
    if (now != label->painted_ || (label->looksChanged_ && !now.Empty())) {
      AddDamage(label->painted_, now);
      label->painted_ = now;
    }
    label->dirty_ = false;
    label->looksChanged_ = false;
  }
  dirty_.clear();
  if (damage_.empty()) return;
  if (window_ != 0) platform::Invalidate(window_, damage_);
  damage_.clear();
}

void Surface::ForgetPainted() {
  for (Label* label : labels_) label->painted_ = {};
  damage_.clear();
}

events::PaintScene Surface::Describe(std::span<const platform::PixelRect> areas) {
  items_.clear();
  tiles_.Reset(clientWidth_, clientHeight_);
  for (const platform::PixelRect& area : areas) tiles_.Mark(area);
  for (const Label* label : labels_) {
    if (!label->Draws()) continue;
    // Painting follows a flush, so what was last handed on is where the label is.
    const platform::PixelRect rect =
        label->dirty_ ? ToPixels(label->left_, label->top_, label->width_, label->height_)
                      : label->painted_;
    if (!tiles_.Touches(rect)) continue;
    items_.push_back({rect, label->caption_, label->font_, app_.Resolve(label->foreColor_),
                      app_.Resolve(label->backColor_), label->backStyle_ != 0});
  }
  return {app_.Resolve(backColour_), items_};
}

Label* Surface::LabelAt(Single x, Single y) const {
  for (auto it = labels_.rbegin(); it != labels_.rend(); ++it)
    if ((*it)->visible_ && (*it)->Contains(x, y)) return *it;
  return nullptr;
}

}  // namespace forms
