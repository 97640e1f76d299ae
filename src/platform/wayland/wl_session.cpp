// Implements: the screen-saver activation, which on Wayland is an idle inhibitor on the
// full-screen surface while the activation is off.
#include "platform/wayland/wl_session.h"

#include "platform/wayland/wl_windows.h"

namespace wayland {
namespace {

bool screenSaverActive = true;

}  // namespace

void SetScreenSaverEnabled(bool active) {
  if (active == screenSaverActive) return;
  screenSaverActive = active;
  if (WindowRecord* full = FullScreenForm()) ApplyIdleInhibit(*full->surface, !active);
}

bool ScreenSaverEnabled() { return screenSaverActive; }

}  // namespace wayland
