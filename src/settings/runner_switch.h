// Turning quelvo-idle on and off for this session and every later one: an XDG autostart
// entry, which GNOME, KDE Plasma, Xfce and systemd's autostart generator all read, and the
// runner started or stopped at once.
#pragma once

#include <string>

#include "settings/programs.h"

namespace settings {

std::string AutostartPath();  // $XDG_CONFIG_HOME/autostart/quelvo-idle.desktop
bool AutostartOn();

// Both empty on success, else what failed.
std::string TurnOn(const std::string& idleProgram, bool runnerPresent, Ended ended);
// `runnerPid` 0: none runs. The entry stays, marked hidden, so that an entry a package adds
// to the system's autostart folder later stays off too.
std::string TurnOff(unsigned runnerPid);

// Who started a process, as far as /proc tells: a systemd unit's name, else the parent's
// command name; empty when unknown.
std::string StartedBy(unsigned pid);

}  // namespace settings
