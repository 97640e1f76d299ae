// The registry: the connection opened and closed, the globals bound as the compositor
// announces them, and outputs and the seat handed to their own files.
#pragma once

namespace wayland {

// Connects to $WAYLAND_DISPLAY and learns the globals and the outputs; false (and
// nothing left open) when no usable compositor answers.
bool Connect();
// Releases the seat, the outputs and the globals, and closes the connection.
void Disconnect();

}  // namespace wayland
