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

std::optional<Millis> ReadGnomeDelay() {
  std::FILE* pipe = popen("gsettings get org.gnome.desktop.session idle-delay 2>/dev/null", "re");
  if (pipe == nullptr) return std::nullopt;
  unsigned seconds = 0;
  const bool read = std::fscanf(pipe, "uint32 %u", &seconds) == 1;
  const bool ok = pclose(pipe) == 0 && read;
  return ok ? std::optional(Millis(seconds * 1000LL)) : std::nullopt;
}

}  // namespace idle
