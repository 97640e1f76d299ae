// Full-screen mode: a topmost window over the whole desktop, the cursor hidden and the
// system's screen saver switched off while it runs.
#include "rain/frmScreenSaver.h"

namespace rain {

void frmScreenSaver::SetupRegularMode() {
  PreviewMode = forms::False;
  user32::GetWindowRect(user32::GetDesktopWindow(), &TargetRect);
  // Remember the user's setting once: the restart runs this again after we switched it.
  if (!ScreenSaverStateKnown) {
    user32::BOOL active = 0;
    // A setting we cannot read counts as on: switching it back on at the end is the
    // lesser harm than leaving the user's screen saver off for good.
    if (!user32::SystemParametersInfoA(user32::SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) active = 1;
    ScreenSaverWasActive = active ? forms::True : forms::False;
    ScreenSaverStateKnown = forms::True;
  }
  user32::SystemParametersInfoA(user32::SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0);
  user32::SetWindowPos(hWnd(), user32::HWND_TOPMOST, 0, 0, TargetRect.right, TargetRect.bottom,
                       user32::SWP_SHOWWINDOW);
  user32::ShowCursor(0);
  ++CursorHides;
}

}  // namespace rain
