// What the saver changes on the user's behalf: whether the compositor may go idle (the
// screen-saver activation). The cursor's display count is linux_user32's.
#pragma once

namespace wayland {

void SetScreenSaverEnabled(bool active);
bool ScreenSaverEnabled();

}  // namespace wayland
