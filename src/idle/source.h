// Where quelvo-idle learns that the user is idle: one source per kind of desktop, each
// reading its connection inside the one event loop.
#pragma once

#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>

#include <functional>
#include <memory>
#include <string>

#include "idle/settings.h"

namespace idle {

class Source {
 public:
  struct Events {
    std::function<void()> idle, active;
    std::function<void(const std::string&)> lost;  // the connection broke: the session ended
  };
  virtual ~Source() = default;
  virtual const char* Name() const = 0;
  // GNOME blanks at its own delay, which the saver's time has to come before.
  virtual bool FollowsGnomeDelay() const { return false; }
  // Counts `after` without input from now: idle once reached, then active at the next input,
  // and so on for every idle stretch of that length.
  virtual bool Arm(Millis after) = 0;
};

using SourcePtr = std::unique_ptr<Source>;

// Each returns nothing, and says in `missing` what it lacks, where it cannot work here.
SourcePtr OpenWayland(sd_event* loop, const std::string& kind, Source::Events events,
                      std::string& missing);  // kind: auto, ext-idle-notify or kde-idle
SourcePtr OpenMutter(sd_event* loop, sd_bus* session, Source::Events events, std::string& missing);
SourcePtr OpenXSync(sd_event* loop, Source::Events events, std::string& missing);

// The backend named, or on auto the first that works: Wayland's idle protocols, GNOME's
// idle monitor, XSync. Fails with one line naming what is missing.
SourcePtr OpenSource(sd_event* loop, sd_bus* session, const std::string& backend,
                     const Source::Events& events, std::string& missing);

}  // namespace idle
