// The message loop's set-up and tear-down, called by the process entry point.
#pragma once

namespace x11 {

// Gives back what the saver took (screen saver, grabs) and closes the display.
// Safe to call more than once.
void Shutdown();

}  // namespace x11
