// GNOME's idle-delay, read by running gsettings as a child (no shell) whose answer comes
// through the loop: neither the start nor a reload waits for it.
#pragma once

#include <systemd/sd-event.h>

#include <functional>
#include <optional>
#include <string>

#include "idle/child.h"
#include "idle/settings.h"

namespace idle {

class GnomeDelayReader {
 public:
  using Done = std::function<void(std::optional<Millis> delay)>;
  GnomeDelayReader() = default;
  ~GnomeDelayReader() { Close(); }
  GnomeDelayReader(const GnomeDelayReader&) = delete;
  GnomeDelayReader& operator=(const GnomeDelayReader&) = delete;

  void Start(sd_event* loop, Done done);  // a read still under way is dropped

 private:
  static int OnReadable(sd_event_source* source, int fd, std::uint32_t revents, void* self);
  void Close();

  Child gsettings_;
  sd_event_source* io_ = nullptr;
  int fd_ = -1;
  std::string printed_;
  Done done_;
};

}  // namespace idle
