// The monitors of the X screen and which of them is primary. As on Windows, where the
// primary monitor's corner is (0, 0) of the screen, positions of top-level windows the
// program and the runtime see are relative to the primary monitor's origin, wherever it
// lies in the root window.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {

// Every monitor in root coordinates: RandR's monitors, else Xinerama's heads, else the
// root window itself.
const std::vector<platform::PixelRect>& Monitors();
// In root coordinates: RandR's primary, else the monitor holding the root's origin.
const platform::PixelRect& PrimaryMonitor();

// A rectangle relative to an X parent, as the program sees it and as the server does:
// the two differ by the primary monitor's origin for a child of the root.
platform::PixelRect ToServer(const platform::PixelRect& rect, Window parent);
platform::PixelRect FromServer(const platform::PixelRect& rect, Window parent);

// Asks the server to report monitor changes (full-screen mode only: embedded, the
// saver selects nothing on windows that are not its own).
void WatchMonitors();
// Handles a RandR event; false for any other event. The layout is read again later.
bool NoteMonitorEvent(XEvent& event);
// Reads the layout again if an event said it changed; true when it did change.
bool ReloadMonitorsIfChanged();

}  // namespace x11
