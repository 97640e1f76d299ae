// Implements: the screen-saver activation, which on Wayland is only kept: no system saver
// could start over ours, and an idle inhibitor would hold off what the user's idle tool
// runs after the saver (a lock, the screens off).
#include "platform/wayland/wl_session.h"

namespace wayland {
namespace {

bool screenSaverActive = true;

}  // namespace

void SetScreenSaverEnabled(bool active) { screenSaverActive = active; }

bool ScreenSaverEnabled() { return screenSaverActive; }

}  // namespace wayland
