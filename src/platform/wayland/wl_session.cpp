// Implements: the cursor's display count (the cursor hidden on our surfaces while it
// is below 0) and the screen-saver activation, which on Wayland is an idle inhibitor
// on the full-screen surface while the activation is off.
#include "platform/wayland/wl_session.h"

#include <vector>

#include "platform/wayland/wl_input.h"
#include "platform/wayland/wl_windows.h"

namespace wayland {
namespace {

int cursorCount = 0;
bool screenSaverActive = true;

}  // namespace

int ChangeCursorCount(bool show) {
  cursorCount += show ? 1 : -1;
  ApplyCursor();
  return cursorCount;
}

bool CursorHidden() { return cursorCount < 0; }

void SetScreenSaverEnabled(bool active) {
  if (active == screenSaverActive) return;
  screenSaverActive = active;
  if (WindowRecord* full = FullScreenForm()) ApplyIdleInhibit(*full->surface, !active);
}

bool ScreenSaverEnabled() { return screenSaverActive; }

}  // namespace wayland
