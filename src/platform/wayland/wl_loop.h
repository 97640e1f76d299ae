// The message loop's set-up and tear-down, called through the backend's table.
#pragma once

namespace wayland {

// Gives back every surface and object and closes the connection; safe to call twice.
void Shutdown();

}  // namespace wayland
