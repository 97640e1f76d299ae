#include "forms/label.h"

#include "forms/surface.h"

namespace forms {

Label::Label(Surface& container, const LabelDesign& design)
    : caption_(design.caption),
      font_(design.font),
      foreColor_(design.foreColor),
      backColor_(design.backColor),
      backStyle_(design.backStyle),
      left_(design.left),
      top_(design.top),
      width_(design.width),
      height_(design.height),
      visible_(design.visible) {
  container.AddLabel(*this);
}

void Label::SetForeColor(Colour colour) {
  if (colour == foreColor_) return;
  foreColor_ = colour;
  Changed(true);
}

void Label::SetBackColor(Colour colour) {
  if (colour == backColor_) return;
  backColor_ = colour;
  Changed(backStyle_ != 0);
}

void Label::SetBackStyle(Integer style) {
  if (style == backStyle_) return;
  backStyle_ = style;
  Changed(true);
}

void Label::SetVisible(Boolean visible) {
  visible = visible ? True : False;
  if (visible == visible_) return;
  visible_ = visible;
  Changed(false);
}

}  // namespace forms
