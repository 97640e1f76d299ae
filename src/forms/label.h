// A windowless label: painted by its container (a form or a frame) in design order.
// Every setter that changes what the label looks like reports it to the container,
// and only when the value really changes, so repaints stay as small as the change.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "forms/font.h"
#include "forms/types.h"
#include "platform/platform.h"

namespace forms {

class Surface;

struct LabelDesign {
  std::string_view caption;
  const FontSpec* font = &kDefaultFont;
  Colour foreColor = vbButtonText;
  Colour backColor = vbButtonFace;
  Integer backStyle = 1;  // 1 opaque, 0 transparent
  Single left = 0;
  Single top = 0;
  Single width = 0;
  Single height = 0;
  Boolean visible = True;
};

class Label {
 public:
  Label(Surface& container, const LabelDesign& design);
  Label(const Label&) = delete;
  Label& operator=(const Label&) = delete;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption) {
    if (SameText(caption, caption_)) return;
    caption_.assign(caption);
    Changed(true);
  }
  const FontSpec& Font() const { return *font_; }
  Colour ForeColor() const { return foreColor_; }
  void SetForeColor(Colour colour);
  Colour BackColor() const { return backColor_; }
  void SetBackColor(Colour colour);
  Integer BackStyle() const { return backStyle_; }
  void SetBackStyle(Integer style);
  Single Left() const { return left_; }
  void SetLeft(Single twips) {
    if (twips == left_) return;
    left_ = twips;
    Changed(false);
  }
  Single Top() const { return top_; }
  void SetTop(Single twips) {
    if (twips == top_) return;
    top_ = twips;
    Changed(false);
  }
  Single Width() const { return width_; }
  void SetWidth(Single twips) {
    if (twips == width_) return;
    width_ = twips;
    Changed(false);
  }
  Single Height() const { return height_; }
  void SetHeight(Single twips) {
    if (twips == height_) return;
    height_ = twips;
    Changed(false);
  }
  Boolean Visible() const { return visible_; }
  void SetVisible(Boolean visible);

  // Whether the label puts any pixel on its container.
  bool Draws() const { return visible_ && (backStyle_ != 0 || !caption_.empty()); }
  bool Contains(Single x, Single y) const {
    return x >= left_ && x < left_ + width_ && y >= top_ && y < top_ + height_;
  }

 private:
  friend class Surface;
  // Captions are a letter or two: compared in line rather than through memcmp.
  static bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i]) return false;
    return true;
  }
  void Changed(bool looks) {
    looksChanged_ = looksChanged_ || looks;
    if (dirty_) return;
    dirty_ = true;
    dirtyList_->push_back(this);  // room for every label is reserved: no allocation
  }

  std::string caption_;
  const FontSpec* font_;
  Colour foreColor_;
  Colour backColor_;
  Integer backStyle_;
  Single left_;
  Single top_;
  Single width_;
  Single height_;
  Boolean visible_;

  // What the container last put on screen for this label, and whether that may be stale.
  platform::PixelRect painted_;
  std::vector<Label*>* dirtyList_ = nullptr;  // the container's labels to repaint
  bool dirty_ = false;
  bool looksChanged_ = false;
};

}  // namespace forms
