// What the saver changes on the user's behalf and must give back: the cursor's
// display count, the server's screen saver, and the keyboard and pointer grabs.
#pragma once

#include "platform/x11/x11_xlib.h"

namespace x11 {

// The cursor display count (linux_user32) went from shown to hidden or back: every
// window of ours and the pointer grab follow it.
void FollowCursorCount();
// Gives a window of ours the cursor the count calls for.
void ApplyCursor(Window window);
// The invisible cursor, for windows that never show one.
Cursor HiddenCursor();

void SetScreenSaverEnabled(bool active);
bool ScreenSaverEnabled();

// Grabs keyboard and pointer while a borderless top-level window of ours is on
// screen (nothing else routes keys to it without a window manager), releases them
// otherwise. Cheap when nothing changed; a failed grab is retried a little later.
void UpdateGrabs();
// A window was unmapped or destroyed: the server dropped any grab it held.
void NoteGrabWindowGone(Window window);

// Puts the server's screen saver and the grabs back as they were before we ran.
void RestoreSession();

}  // namespace x11
