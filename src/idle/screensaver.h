// org.freedesktop.ScreenSaver on the session bus: owned where nobody owns it (sway,
// Hyprland, a bare X11 session), with an inhibitor per cookie that ends when its caller
// releases it or leaves the bus; where a desktop owns the name we stand back in the queue
// (the runner then asks the desktop's own services whether something inhibits), and the
// inhibitors taken before the name moved are still honoured.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "idle/inhibitors.h"
#include "idle/runner_service.h"

namespace idle {

class ScreenSaverService {
 public:
  struct Hooks {
    std::function<void()> released;                    // the last inhibitor went away
    std::function<void()> changed;                     // an inhibitor came or went
    std::function<void(bool)> desktopActive;           // a desktop's locker showed or hid
    std::function<void(const std::string&)> activity;  // SimulateUserActivity, by whom
    std::function<void()> lock;                        // Lock
    std::function<bool()> running;                     // the saver is up
    std::function<std::uint32_t()> activeSeconds, idleSeconds;
  };
  ScreenSaverService(sd_bus* bus, Hooks hooks);
  ~ScreenSaverService();
  ScreenSaverService(const ScreenSaverService&) = delete;
  ScreenSaverService& operator=(const ScreenSaverService&) = delete;

  bool Serve();  // false: the object could not be served
  bool Owner() const { return owner_; }
  // Our callers' inhibitors, the one named in the log first.
  std::vector<Holder> Holders() const;
  // The saver started or ended: ActiveChanged, where the name is ours.
  void SaverActive(bool active);

 private:
  static int OnInhibit(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnUnInhibit(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnGetActive(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnSimulate(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnLock(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnSeconds(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnNameAcquired(sd_bus_message* message, void* self, sd_bus_error* error);
  static int OnNameLost(sd_bus_message* message, void* self, sd_bus_error* error);
  static int OnOwnerChanged(sd_bus_message* message, void* self, sd_bus_error* error);
  static int OnActiveChanged(sd_bus_message* message, void* self, sd_bus_error* error);
  void Gone(const Inhibition& inhibition, const std::string& why);
  std::string Caller(sd_bus_message* call);

  sd_bus* bus_;
  Hooks hooks_;
  sd_bus_slot* slots_[8] = {};
  bool owner_ = false;
  Inhibitors inhibitors_;
};

}  // namespace idle
