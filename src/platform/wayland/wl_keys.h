// Key codes as the key procedures expect them: the virtual-key code of an xkb keysym.
#pragma once

#include <xkbcommon/xkbcommon.h>

namespace wayland {

// The virtual-key code of the key's unshifted symbol; 0xFF for a key without one.
int VirtualKeyOf(xkb_keysym_t unshifted);

}  // namespace wayland
