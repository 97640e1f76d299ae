// A frame: a child window of its form, drawn above every label of the form, with
// labels of its own painted on it.
#pragma once

#include "forms/surface.h"
#include "forms/types.h"

namespace forms {

class Form;

struct FrameDesign {
  Colour backColor = vbButtonFace;
  Integer borderStyle = 1;  // 0 none: neither border nor caption
  Single left = 0;
  Single top = 0;
  Single width = 0;
  Single height = 0;
  Boolean visible = True;
};

class Frame : public Surface {
 public:
  Frame(Form& form, const FrameDesign& design);
  ~Frame() override;

  Colour BackColor() const { return backColor_; }
  Integer BorderStyle() const { return borderStyle_; }
  Boolean Visible() const { return visible_; }
  void SetVisible(Boolean visible);
  Single Left() const { return left_; }
  void SetLeft(Single twips);
  Single Top() const { return top_; }
  void SetTop(Single twips);
  Single Width() const { return width_; }
  void SetWidth(Single twips);
  Single Height() const { return height_; }
  void SetHeight(Single twips);

  bool Contains(Single x, Single y) const {
    return x >= left_ && x < left_ + width_ && y >= top_ && y < top_ + height_;
  }
  platform::PixelRect PixelBounds() const { return ToPixels(left_, top_, width_, height_); }

 private:
  friend class Form;
  // Whether the platform made the window.
  bool CreateWindow();
  void WindowGone() { SetWindow(0); }
  void GeometryChanged(const platform::PixelRect& before);

  Form& form_;
  Colour backColor_;
  Integer borderStyle_;
  Single left_;
  Single top_;
  Single width_;
  Single height_;
  Boolean visible_;
};

}  // namespace forms
