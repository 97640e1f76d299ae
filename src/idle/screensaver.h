// org.freedesktop.ScreenSaver on the session bus: owned where nobody owns it (sway,
// Hyprland, a bare X11 session), with an inhibitor per cookie that ends when its caller
// leaves the bus; where a desktop owns the name we stand back in the queue and ask the
// desktop's own services whether something inhibits.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace idle {

class ScreenSaverService {
 public:
  using Log = std::function<void(const std::string&)>;
  // released: the last inhibitor went away. active: a desktop's locker showed or hid.
  ScreenSaverService(sd_bus* bus, Log log, std::function<void()> released,
                     std::function<void(bool)> active);
  ~ScreenSaverService();
  ScreenSaverService(const ScreenSaverService&) = delete;
  ScreenSaverService& operator=(const ScreenSaverService&) = delete;

  // Who holds the saver off now, empty if nobody: our callers, or the desktop's sessions.
  std::string Inhibitor();

 private:
  struct Inhibit {
    std::string sender, application, reason;
  };
  static int OnInhibit(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnUnInhibit(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnGetActive(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnNameAcquired(sd_bus_message* message, void* self, sd_bus_error* error);
  static int OnNameLost(sd_bus_message* message, void* self, sd_bus_error* error);
  static int OnOwnerChanged(sd_bus_message* message, void* self, sd_bus_error* error);
  static int OnActiveChanged(sd_bus_message* message, void* self, sd_bus_error* error);
  void Drop(std::map<std::uint32_t, Inhibit>::iterator it, const std::string& why);
  std::string DesktopInhibitor();
  bool Ask(const char* service, const char* path, const char* interface, const char* method,
           std::uint32_t flags);

  sd_bus* bus_;
  Log log_;
  std::function<void()> released_;
  std::function<void(bool)> active_;
  sd_bus_slot* slots_[8] = {};
  bool owner_ = false;
  std::uint32_t next_ = 1;
  std::map<std::uint32_t, Inhibit> inhibits_;
};

}  // namespace idle
