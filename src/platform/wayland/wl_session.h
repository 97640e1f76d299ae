// What the saver changes on the user's behalf: the screen-saver activation, kept and
// nothing else. The cursor's display count is linux_user32's.
#pragma once

namespace wayland {

void SetScreenSaverEnabled(bool active);
bool ScreenSaverEnabled();

}  // namespace wayland
