// What the saver changes on the user's behalf: the cursor's display count and whether
// the compositor may go idle (the screen-saver activation).
#pragma once

namespace wayland {

// ShowCursor: raises or lowers the display count and returns the new count.
int ChangeCursorCount(bool show);
bool CursorHidden();

void SetScreenSaverEnabled(bool active);
bool ScreenSaverEnabled();

}  // namespace wayland
