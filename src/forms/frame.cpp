#include "forms/frame.h"

#include "forms/app.h"
#include "forms/form.h"

namespace forms {

Frame::Frame(Form& form, const FrameDesign& design)
    : Surface(form.app()),
      form_(form),
      backColor_(design.backColor),
      borderStyle_(design.borderStyle),
      left_(design.left),
      top_(design.top),
      width_(design.width),
      height_(design.height),
      visible_(design.visible ? True : False) {
  SetBackground(design.backColor);
  form.AddFrame(*this);
}

Frame::~Frame() {
  if (window() != 0) platform::DestroyWindow(window());
}

bool Frame::CreateWindow() {
  const platform::PixelRect bounds = PixelBounds();
  SetWindow(platform::CreateFrameWindow(form_.hWnd(), bounds, app().Resolve(backColor_),
                                        visible_ != False));
  SetClientSize(bounds.Width(), bounds.Height());
  InvalidateAll();
  return window() != 0;
}

void Frame::SetVisible(Boolean visible) {
  visible = visible ? True : False;
  if (visible == visible_) return;
  visible_ = visible;
  if (window() == 0) return;
  platform::SetWindowVisible(window(), visible_ != False);
  // The form's own labels under the frame come into view, or the frame's into view.
  if (visible_)
    InvalidateAll();
  else
    form_.InvalidateArea(PixelBounds());
}

void Frame::SetLeft(Single twips) {
  if (twips == left_) return;
  const platform::PixelRect before = PixelBounds();
  left_ = twips;
  GeometryChanged(before);
}

void Frame::SetTop(Single twips) {
  if (twips == top_) return;
  const platform::PixelRect before = PixelBounds();
  top_ = twips;
  GeometryChanged(before);
}

void Frame::SetWidth(Single twips) {
  if (twips == width_) return;
  const platform::PixelRect before = PixelBounds();
  width_ = twips;
  GeometryChanged(before);
}

void Frame::SetHeight(Single twips) {
  if (twips == height_) return;
  const platform::PixelRect before = PixelBounds();
  height_ = twips;
  GeometryChanged(before);
}

void Frame::GeometryChanged(const platform::PixelRect& before) {
  const platform::PixelRect after = PixelBounds();
  if (after == before) return;
  SetClientSize(after.Width(), after.Height());
  if (window() == 0) return;
  platform::SetWindowRect(window(), after);
  if (visible_) form_.InvalidateArea(before);
}

}  // namespace forms
