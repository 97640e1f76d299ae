// GNOME blanks and locks at its own idle delay (org.gnome.desktop.session idle-delay); a
// saver due later would never be seen.
#pragma once

#include <optional>
#include <string>

#include "idle/settings.h"

namespace idle {

// Moves a default `after` to a minute before the delay; returns the line to log, if any.
std::string FitGnomeDelay(Settings& settings, Millis delay);
// The delay as gsettings reports it (0 is never), or nothing where it cannot be read.
std::optional<Millis> ReadGnomeDelay();

}  // namespace idle
