// A surface that windowless labels are painted on: a form's client area or a frame.
// It turns label changes into the smallest damage it can (each changed label's old
// and new rectangles) and answers the platform's questions about what to paint.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "forms/damage_list.h"
#include "forms/events.h"
#include "forms/label.h"
#include "forms/tile_map.h"
#include "forms/types.h"

namespace forms {

class App;

class Surface {
 public:
  explicit Surface(App& app);
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  virtual ~Surface() = default;

  App& app() const { return app_; }
  platform::WindowHandle window() const { return window_; }

  // Labels register in design order, which is their painting order.
  void AddLabel(Label& label);
  // Repaint an area of the surface (pixels), e.g. where a frame was hidden.
  void InvalidateArea(const platform::PixelRect& area);
  void InvalidateAll();
  // Hands the damage gathered since the last flush to the platform.
  void FlushDamage();
  // The window is gone: nothing of the labels is on screen any more.
  void ForgetPainted();

  events::PaintScene Describe(std::span<const platform::PixelRect> areas);
  // The topmost visible label at a point in twips, or null.
  Label* LabelAt(Single x, Single y) const;

  platform::PixelRect ToPixels(Single left, Single top, Single width, Single height) const {
    return {ToPixel(left), ToPixel(top), ToPixel(left + width), ToPixel(top + height)};
  }

 protected:
  void SetWindow(platform::WindowHandle window) { window_ = window; }
  void SetClientSize(std::int32_t width, std::int32_t height);
  void SetBackground(Colour colour) { backColour_ = colour; }
  std::int32_t clientWidth() const { return clientWidth_; }
  std::int32_t clientHeight() const { return clientHeight_; }

 private:
  // Nearest pixel, halves up. Truncation then a step down for negatives: floorf is a
  // library call on the baseline x86-64 target, and this runs for every label painted.
  std::int32_t ToPixel(Single twips) const {
    const Single v = twips * pixelsPerTwip_ + 0.5f;
    const auto truncated = static_cast<std::int32_t>(v);
    return static_cast<Single>(truncated) > v ? truncated - 1 : truncated;
  }

  App& app_;
  Single pixelsPerTwip_;
  platform::WindowHandle window_ = 0;
  std::int32_t clientWidth_ = 0;
  std::int32_t clientHeight_ = 0;
  Colour backColour_ = 0;
  std::vector<Label*> labels_;
  std::vector<Label*> dirty_;
  DamageList damage_;
  std::vector<events::PaintItem> items_;
  TileMap tiles_;
};

}  // namespace forms
