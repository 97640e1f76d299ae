#include "about/Form1.h"

namespace about {

namespace {

constexpr forms::FontSpec kMakerFont{"MS Sans Serif", 9.75f, 700};

constexpr forms::FormDesign kForm{.backColor = forms::vbButtonFace,
                                  .borderStyle = 2,
                                  .caption = "",
                                  .hasIcon = true,
                                  .clientWidth = 4290,
                                  .clientHeight = 1755};

constexpr forms::LabelDesign Line(std::string_view caption, forms::Single left, forms::Single top,
                                  forms::Single width, forms::Single height) {
  return {.caption = caption,
          .backStyle = 0,
          .left = left,
          .top = top,
          .width = width,
          .height = height};
}

forms::LabelDesign MakerLine() {
  forms::LabelDesign design = Line("SUVANI", 1680, 1080, 1095, 375);
  design.font = &kMakerFont;
  design.foreColor = 16711680;  // blue
  return design;
}

}  // namespace

Form1::Form1(forms::App& app)
    : Form(app, kForm),
      Label1(*this, Line("Created", 1800, 600, 855, 255)),
      Label2(*this, Line("By", 1965, 840, 375, 375)),
      Label3(*this, MakerLine()),
      Label4(*this, Line("suvani.example/software.html", 1080, 1320, 2535, 375)) {}

void Form1::Form_Click() { Unload(*this); }

void Form1::Form_Load() {}

void Form1::Form_Unload(forms::Integer& Cancel) {
  (void)Cancel;
  End();
}

}  // namespace about
