// At idle time, who else holds the saver off: logind's idle locks (systemd-inhibit), and
// where a desktop owns org.freedesktop.ScreenSaver, gnome-session's and Plasma's own
// inhibitors. Every call is asynchronous, so the loop keeps serving while they answer, and
// a service that gives no answer in time is named in the log.
#pragma once

#include <systemd/sd-bus.h>

#include <functional>
#include <vector>

#include "idle/runner_service.h"

namespace idle {

class HeldOffCheck {
 public:
  using Done = std::function<void(const std::vector<Holder>& holders)>;
  HeldOffCheck(sd_bus* session, sd_bus* system) : session_(session), system_(system) {}
  ~HeldOffCheck() { Cancel(); }
  HeldOffCheck(const HeldOffCheck&) = delete;
  HeldOffCheck& operator=(const HeldOffCheck&) = delete;

  // Asks, and calls `done` once all have answered or timed out; replaces a check in flight.
  void Start(bool askDesktop, Done done);
  void Cancel();
  bool Pending() const { return pending_ > 0; }

 private:
  enum Kind { kLogind, kGnome, kPlasma };
  struct Call {
    HeldOffCheck* check = nullptr;
    Kind kind = kLogind;
    sd_bus_slot* slot = nullptr;
  };
  void Ask(Kind kind);
  static int OnReply(sd_bus_message* reply, void* call, sd_bus_error* error);
  void Read(Kind kind, sd_bus_message* reply);
  void Settle();  // one answer fewer to wait for

  sd_bus *session_, *system_;
  Call calls_[3];
  int pending_ = 0;
  std::vector<Holder> holders_;
  Done done_;
};

}  // namespace idle
