// The rain form as designed: what the runtime creates before any procedure runs.
#include "rain/frmScreenSaver.h"

namespace rain {

namespace {

constexpr forms::FontSpec kRainFont{"Arial", 12.0f, 700};
constexpr forms::FontSpec kBannerFont{"Arial", 21.75f, 700};

constexpr forms::FormDesign kForm{.backColor = 0, .borderStyle = 0, .caption = "", .hasIcon = true};

constexpr forms::FrameDesign kFrame2{.backColor = 0,
                                     .borderStyle = 0,
                                     .left = 0,
                                     .top = 0,
                                     .width = 6135,
                                     .height = 1335,
                                     .visible = forms::True};

constexpr forms::LabelDesign kLabel5{.caption = "ORVOK Computer Centers",
                                     .font = &kBannerFont,
                                     .foreColor = 65280,
                                     .backColor = 0,
                                     .backStyle = 0,
                                     .left = 120,
                                     .top = 180,
                                     .width = 5895,
                                     .height = 975};

// Every rain label starts as an opaque green "X" on black; the set-up recolours it.
constexpr forms::LabelDesign kRainLabel{.caption = "X",
                                        .font = &kRainFont,
                                        .foreColor = 65280,
                                        .backColor = 0,
                                        .backStyle = 1,
                                        .width = 255,
                                        .height = 255};

// Design positions: a grid, one row per depth; the set-up scatters the rain anyway.
void PlaceInGrid(forms::LabelArray& labels, Single top) {
  for (int i = 0; i < labels.Count(); ++i) {
    labels(i).SetLeft(static_cast<Single>(120 + (i % 21) * 360));
    labels(i).SetTop(top + static_cast<Single>((i / 21) * 360));
  }
}

}  // namespace

frmScreenSaver::frmScreenSaver(forms::App& app, about::Form1& aboutBox)
    : Form(app, kForm),
      Timer3(*this, 20, forms::True, [this] { Timer3_Timer(); }),
      Timer1(*this, 1, forms::True, [this] { Timer1_Timer(); }),
      Frame2(*this, kFrame2),
      Timer4(*this, 100, forms::True, [this] { Timer4_Timer(); }),
      Label5(Frame2, kLabel5),
      Label1(*this, 86, kRainLabel),
      Label2(*this, 84, kRainLabel),
      Form1(aboutBox) {
  PlaceInGrid(Label1, 120);
  PlaceInGrid(Label2, 1920);
  Label1(2).SetWidth(375);
  Label1(84).SetVisible(forms::False);
  Label1(85).SetVisible(forms::False);
  // A few members were drawn in other colours.
  Label1(21).SetForeColor(0xFFFFFF);
  Label2(63).SetForeColor(0x00FFFF);
}

std::string_view HeadLetter(int head) {
  static constexpr std::string_view kWord[] = {"O", "R", "V", "O", "K"};
  return kWord[(head - 1) % 5];
}

}  // namespace rain
