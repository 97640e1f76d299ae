// GNOME's own blank delay (org.gnome.desktop.session idle-delay), read where its schema is
// installed and followed as it changes. The window only reads it: it is GNOME's setting.
#pragma once

#include <gio/gio.h>

#include <functional>

namespace settings {

class GnomeDelay {
 public:
  explicit GnomeDelay(std::function<void()> changed);
  ~GnomeDelay();
  GnomeDelay(const GnomeDelay&) = delete;
  GnomeDelay& operator=(const GnomeDelay&) = delete;

  // Seconds; 0 when GNOME never blanks, or this is not a GNOME session.
  unsigned Seconds() const;

 private:
  std::function<void()> changed_;
  GSettings* settings_ = nullptr;
};

}  // namespace settings
