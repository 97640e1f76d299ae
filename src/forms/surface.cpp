#include "forms/surface.h"

#include <algorithm>

#include "forms/app.h"

namespace forms {

Surface::Surface(App& app) : app_(app), pixelsPerTwip_(1.0f / app.TwipsPerPixel()) {}

void Surface::AddLabel(Label& label) {
  labels_.push_back(&label);
  dirty_.reserve(labels_.size());
  // Two rectangles per label at most, plus room for whole-area repaints.
  damage_.Reserve(2 * labels_.size() + 8);
  items_.reserve(labels_.size());
  label.dirtyList_ = &dirty_;
  label.Changed(true);
}

void Surface::SetClientSize(std::int32_t width, std::int32_t height) {
  if (width == clientWidth_ && height == clientHeight_) return;
  clientWidth_ = width;
  clientHeight_ = height;
  damage_.SetBounds(width, height);
  InvalidateAll();
}

void Surface::InvalidateArea(const platform::PixelRect& area) { damage_.Add(area); }

void Surface::InvalidateAll() {
  damage_.Clear();
  damage_.Add({0, 0, clientWidth_, clientHeight_});
}

void Surface::FlushDamage() {
  for (Label* label : dirty_) {
    const platform::PixelRect now =
        label->Draws() ? ToPixels(label->left_, label->top_, label->width_, label->height_)
                       : platform::PixelRect{};
    const platform::PixelRect& was = label->painted_;
    if (now != was || (label->looksChanged_ && !now.Empty())) {
      // A label moving up or down by less than its height leaves one strip.
      if (now.left == was.left && now.right == was.right && now.top <= was.bottom &&
          was.top <= now.bottom) {
        damage_.Add(
            {now.left, std::min(now.top, was.top), now.right, std::max(now.bottom, was.bottom)});
      } else {
        damage_.Add(was);
        damage_.Add(now);
      }
      label->painted_ = now;
    }
    label->dirty_ = false;
    label->looksChanged_ = false;
  }
  dirty_.clear();
  if (damage_.Empty()) return;
  if (window_ != 0) platform::Invalidate(window_, damage_.Rects());
  damage_.Clear();
}

void Surface::ForgetPainted() {
  for (Label* label : labels_) label->painted_ = {};
  damage_.Clear();
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
