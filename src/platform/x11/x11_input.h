// Translation of X input to what the runtime expects: Windows virtual-key codes,
// the shift-state bits and the button bits.
#pragma once

#include "platform/x11/x11_xlib.h"

namespace x11 {

// The virtual-key code of the key an X key event names (0xFF when it has none).
int VirtualKeyOf(XKeyEvent& event);
// The character the key produces, or 0.
int CharacterOf(XKeyEvent& event);
// 1 Shift, 2 Ctrl, 4 Alt.
int ShiftStateOf(unsigned state);
// 1 left, 2 right, 4 middle; 0 for the wheel and extra buttons.
int ButtonOf(unsigned xButton);
int ButtonsHeld(unsigned state);

}  // namespace x11
