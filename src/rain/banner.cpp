// The banner intro and the keep-on-top timers. Timer4 counts 30 ticks while Frame2
// shows, re-captions the banner, then restarts the rain once with a fresh layout.
#include "rain/frmScreenSaver.h"

namespace rain {

void frmScreenSaver::Timer3_Timer() { KeepOnTop(); }

void frmScreenSaver::Timer4_Timer() {
  KeepOnTop();
  if (!Frame2.Visible()) return;
  BannerStep = static_cast<Integer>(BannerStep + 1);
  UpdateBanner();
  if (BannerStep == 6) BannerStep = 1;
  BannerTicks = static_cast<Integer>(BannerTicks + 1);
  if (BannerTicks != 30) return;

  for (int i = 0; i <= 83; ++i) {
    Label1(i).SetCaption("");
    Label2(i).SetCaption("");
  }
  Frame2.SetVisible(forms::False);
  Form_Load();
}

void frmScreenSaver::UpdateBanner() {
  if (BannerStep >= 2 && BannerStep <= 5) Label5.SetCaption("Your Company Name");
}

}  // namespace rain
