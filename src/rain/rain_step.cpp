// Timer1_Timer: one step of the rain. Heads fall at their column's speed and wrap to
// the top at a random Left; trail labels line up 220 twips apart above their head.
#include <cmath>

#include "rain/frmScreenSaver.h"

namespace rain {

namespace {

constexpr Double kSpeedUnit = 255.0 / 20;  // twips per tick of column 0
constexpr Single kTrailSpacing = 220;

}  // namespace

void frmScreenSaver::Timer1_Timer() {
  KeepOnTop();
  MoveHeads(Label1);
  MoveTrails(Label1);
  MoveHeads(Label2);
  MoveTrails(Label2);
}

void frmScreenSaver::MoveHeads(forms::LabelArray& labels) {
  for (int c = 0; c <= 20; ++c) {
    forms::Label& head = labels(c);
    head.SetTop(static_cast<Single>(head.Top() + (c + 1) * kSpeedUnit));
    if (head.Top() > Height()) {
      head.SetTop(0);
      for (int n = 1; n <= 20; ++n) labels(n).SetCaption(HeadLetter(n));
      const Double W = Width();
      head.SetLeft(static_cast<Single>(std::floor(static_cast<Double>(Rnd()) * W)));
    }
  }
}

void frmScreenSaver::MoveTrails(forms::LabelArray& labels) {
  for (int i = 21; i <= 83; ++i) {
    const forms::Label& above = labels(i - 21);
    forms::Label& trail = labels(i);
    trail.SetTop(above.Top() - kTrailSpacing);
    trail.SetLeft(above.Left());
    trail.SetCaption(above.Caption());
    trail.SetHeight(above.Height());
    trail.SetWidth(above.Width());
  }
}

}  // namespace rain
