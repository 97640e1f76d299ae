// Dismissal: any key, a mouse button or a real move of the mouse over the bare form
// unloads it; in preview mode only a key down or a completed click does.
#include "rain/frmScreenSaver.h"

namespace rain {

void frmScreenSaver::Form_KeyPress(Integer KeyAscii) {
  (void)KeyAscii;
  if (!PreviewMode) Unload(*this);
}

void frmScreenSaver::Form_Click() { Unload(*this); }

void frmScreenSaver::Form_KeyDown(Integer KeyCode, Integer Shift) {
  (void)KeyCode, (void)Shift;
  Unload(*this);
}

void frmScreenSaver::Form_MouseDown(Integer Button, Integer Shift, Single X, Single Y) {
  (void)Button, (void)Shift, (void)X, (void)Y;
  if (!PreviewMode) Unload(*this);
}

// The first move only records where the pointer is (a window appearing under it
// reports a move); any later move elsewhere dismisses.
void frmScreenSaver::Form_MouseMove(Integer Button, Integer Shift, Single X, Single Y) {
  (void)Button, (void)Shift;
  if (PreviewMode) return;
  if (MouseStartX == 0 && MouseStartY == 0) {
    MouseStartX = X;
    MouseStartY = Y;
  } else if (X != MouseStartX || Y != MouseStartY) {
    Unload(*this);
  }
}

void frmScreenSaver::Form_Unload(Integer& Cancel) {
  (void)Cancel;
  // Only the hiding this run did is undone: a preview shares its host's cursor count.
  for (; CursorHides > 0; --CursorHides) user32::ShowCursor(-1);
  // Only what full-screen mode switched off is switched back on.
  if (ScreenSaverWasActive)
    user32::SystemParametersInfoA(user32::SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
}

}  // namespace rain
