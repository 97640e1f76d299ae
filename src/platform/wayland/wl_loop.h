// The message loop's set-up and tear-down, called through the backend's table.
#pragma once

namespace wayland {

// SIGTERM, SIGINT and SIGHUP end the run through the loop (the entry blocked them
// already, so none is lost in between).
void InstallSignalHandling();
// Gives back every surface and object and closes the connection; safe to call twice.
void Shutdown();

}  // namespace wayland
