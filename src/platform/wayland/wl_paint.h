// The paint pass: each surface with damage, once the compositor is ready for it, is
// drawn into a free buffer and committed.
#pragma once

namespace wayland {

// Paints every surface whose damage can be shown now; the others keep it for later.
// Never waits for the compositor.
void PaintPending();

}  // namespace wayland
