// The seat: the keyboard (through an xkb keymap), the pointer and touch, their events handed
// to the runtime as input on the form they belong to.
#pragma once

namespace wayland {

// The seat arrived: listen to its capabilities.
void WatchSeat();
// The cursor display count went from shown to hidden or back: the pointer follows.
void ApplyCursor();
// Releases the keyboard, the pointer and the keymap (before the connection goes).
void ReleaseSeat();

}  // namespace wayland
