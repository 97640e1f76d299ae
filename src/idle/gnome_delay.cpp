#include "idle/gnome_delay.h"

#include <cstdio>

namespace idle {

std::string FitGnomeDelay(Settings& settings, Millis delay) {
  if (delay.count() <= 0 || settings.after < delay) return {};
  const std::string blanks = "GNOME blanks the screen after " + FormatTime(delay);
  if (settings.afterChosen)
    return blanks + " (idle-delay), before the saver's " + FormatTime(settings.after) +
           ": the saver will not be seen";
  const Millis minute = std::chrono::minutes(1);
  settings.after = delay > minute ? delay - minute : delay / 2;
  return blanks + " (idle-delay): the saver starts after " + FormatTime(settings.after);
}

std::optional<Millis> ParseGnomeDelay(const std::string& printed) {
  unsigned seconds = 0;
  char end = 0;
  if (std::sscanf(printed.c_str(), "uint32 %u%c", &seconds, &end) < 1) return std::nullopt;
  if (end != 0 && end != '\n') return std::nullopt;
  return Millis(seconds * 1000LL);
}

}  // namespace idle
