// The seat: the keyboard (through an xkb keymap) and the pointer, their events handed
// to the runtime as input on the form they belong to.
#pragma once

namespace wayland {

struct Surface;

// The seat arrived: listen to its capabilities.
void WatchSeat();
// The cursor display count went from shown to hidden or back: the pointer follows.
void ApplyCursor();
// A surface is about to go: forget it as the keyboard's or the pointer's.
void ForgetFocus(const Surface& surface);
// Releases the keyboard, the pointer and the keymap (before the connection goes).
void ReleaseSeat();

}  // namespace wayland
