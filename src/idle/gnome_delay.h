// GNOME blanks and locks at its own idle delay (org.gnome.desktop.session idle-delay); a
// saver due later would never be seen.
#pragma once

#include <optional>
#include <string>

#include "idle/settings.h"

namespace idle {

// Moves a default `after` to a minute before the delay; returns the line to log, if any.
std::string FitGnomeDelay(Settings& settings, Millis delay);
// The delay from what `gsettings get org.gnome.desktop.session idle-delay` prints
// ("uint32 300"; 0 is never), or nothing where that is not it.
std::optional<Millis> ParseGnomeDelay(const std::string& printed);

}  // namespace idle
