// Form_Load: the keep-on-top step, the rain laid out for the current screen, then the
// mode the command line selects. Runs at load and again at the end of the banner.
#include "forms/app.h"
#include "rain/frmScreenSaver.h"

namespace rain {

namespace {

constexpr forms::Colour kDepthColour[] = {65280, 49152, 32768, 16384};

Single Scaled(Single fraction, Single extent) {
  return static_cast<Single>(static_cast<Double>(fraction) * extent);
}

}  // namespace

void frmScreenSaver::KeepOnTop() {
  user32::SetWindowPos(hWnd(), user32::HWND_TOPMOST, 0, 0, 0, 0,
                       user32::SWP_NOMOVE | user32::SWP_NOSIZE);
}

void frmScreenSaver::Form_Load() {
  KeepOnTop();

  SetWidth(Screen.Width());
  SetHeight(Screen.Height());
  Frame2.SetWidth(Screen.Width());
  Frame2.SetHeight(Screen.Height());
  Frame2.SetLeft(0);
  Frame2.SetTop(0);
  SetTop(0);
  SetLeft(0);

  Label5.SetLeft(static_cast<Single>(Screen.Width() / 2.0 - Label5.Width() / 2.0));
  Label5.SetTop(static_cast<Single>(Screen.Height() / 2.0 - Label5.Height() / 2.0));

  for (int i = 0; i <= 20; ++i) {
    Label1(i).SetForeColor(kDepthColour[0]);
    Label2(i).SetForeColor(kDepthColour[0]);
  }
  for (int i = 21; i <= 83; ++i) Label1(i).SetForeColor(kDepthColour[i / 21]);
  for (int i = 1; i <= 20; ++i) Label1(i).SetCaption(HeadLetter(i));
  for (int i = 0; i <= 83; ++i) {
    Label1(i).SetBackStyle(0);
    Label1(i).SetTop(Scaled(Rnd(), Height()));
    Label1(i).SetLeft(Scaled(Rnd(), Width()));
  }

  for (int i = 1; i <= 20; ++i) Label2(i).SetCaption(HeadLetter(i));
  for (int i = 21; i <= 83; ++i) Label2(i).SetForeColor(kDepthColour[i / 21]);
  for (int i = 0; i <= 83; ++i) {
    Label2(i).SetLeft(Scaled(Rnd(), Width()));
    Label2(i).SetTop(Scaled(Rnd(), Height()));
    Label2(i).SetBackStyle(0);
  }

  SelectMode();
}

}  // namespace rain
