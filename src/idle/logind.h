// systemd-logind on the system bus: the session's lock (Lock, LockedHint) and the machine
// going to sleep. Its idle inhibitor locks are asked at idle time (held_off_check.h).
#pragma once

#include <systemd/sd-bus.h>

#include <functional>
#include <string>

namespace idle {

class Logind {
 public:
  // locked: the session locked (true) or unlocked; sleep: the machine is about to sleep.
  Logind(sd_bus* system, std::function<void(bool)> locked, std::function<void()> sleep);
  ~Logind();
  Logind(const Logind&) = delete;
  Logind& operator=(const Logind&) = delete;

  bool Locked();  // the session's LockedHint now

 private:
  static int OnLock(sd_bus_message* message, void* self, sd_bus_error* error);
  static int OnUnlock(sd_bus_message* message, void* self, sd_bus_error* error);
  static int OnProperties(sd_bus_message* message, void* self, sd_bus_error* error);
  static int OnSleep(sd_bus_message* message, void* self, sd_bus_error* error);

  sd_bus* bus_;
  std::string session_;  // its object path
  std::function<void(bool)> locked_;
  std::function<void()> sleep_;
  sd_bus_slot* slots_[4] = {};
};

}  // namespace idle
