// The rain form: green letters falling in 42 columns behind a three-second banner.
// Its procedures live beside the part of the saver they serve: the design, set-up,
// rain step and banner here in rain/, the modes and dismissal in saver/.
#pragma once

#include <string_view>

#include "forms/form.h"
#include "forms/frame.h"
#include "forms/label.h"
#include "forms/label_array.h"
#include "forms/timer.h"
#include "platform/user32.h"

namespace about {
class Form1;
}

namespace rain {

using forms::Boolean;
using forms::Double;
using forms::Integer;
using forms::Long;
using forms::Single;

class frmScreenSaver : public forms::Form {
 public:
  frmScreenSaver(forms::App& app, about::Form1& aboutBox);

  // Controls, in the order of the design.
  forms::Timer Timer3;
  forms::Timer Timer1;
  forms::Frame Frame2;
  forms::Timer Timer4;
  forms::Label Label5;
  forms::LabelArray Label1;  // 0 to 85: 0 to 83 rain, 84 and 85 hidden spares
  forms::LabelArray Label2;  // 0 to 83
  about::Form1& Form1;

  // Procedures, in the order of the form's interface.
  void SetupPreviewMode();
  void SetupRegularMode();
  void Form_KeyPress(Integer KeyAscii) override;
  void Form_Click() override;
  void Form_KeyDown(Integer KeyCode, Integer Shift) override;
  void Form_Load() override;
  void Form_MouseDown(Integer Button, Integer Shift, Single X, Single Y) override;
  void Form_MouseMove(Integer Button, Integer Shift, Single X, Single Y) override;
  void Form_Unload(Integer& Cancel) override;
  void Timer1_Timer();
  void Timer3_Timer();
  void Timer4_Timer();

  // Instance variables.
  Boolean PreviewMode = forms::False;
  user32::HWND PreviewParent = 0;
  user32::RECT TargetRect;
  Long WindowStyle = 0;
  Single MouseStartX = 0;
  Single MouseStartY = 0;
  Integer BannerStep = 0;
  Integer BannerTicks = 0;
  // Whether the system's screen saver was active when full-screen mode first switched
  // it off: only then is it switched back on at unload.
  Boolean ScreenSaverWasActive = forms::False;
  Boolean ScreenSaverStateKnown = forms::False;
  // How many times full-screen set-up hid the cursor; unload shows it as often.
  Integer CursorHides = 0;

 private:
  friend struct frmScreenSaverProbe;  // lets the tests reach the private procedures

  static Long GetTrailingNumber(std::string_view text);
  void UpdateBanner();

  // Shared steps of the procedures above.
  void KeepOnTop();
  void SelectMode();
  void MoveHeads(forms::LabelArray& labels);
  void MoveTrails(forms::LabelArray& labels);
};

// The banner word spelled over heads 1 to 20: "O", "R", "V", "O", "K", four times.
std::string_view HeadLetter(int head);

}  // namespace rain
