#include "idle/logind.h"

#include <unistd.h>

#include <cstring>

namespace idle {
namespace {

constexpr const char* kLogin = "org.freedesktop.login1";
constexpr const char* kManagerPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";
constexpr const char* kSession = "org.freedesktop.login1.Session";

}  // namespace

Logind::Logind(sd_bus* system, std::function<void(bool)> locked, std::function<void()> sleep)
    : bus_(sd_bus_ref(system)), locked_(std::move(locked)), sleep_(std::move(sleep)) {
  // "auto": our own session, or, for a user service outside any, the user's graphical one.
  sd_bus_message* reply = nullptr;
  const char* path = nullptr;
  if (sd_bus_call_method(bus_, kLogin, kManagerPath, kManager, "GetSession", nullptr, &reply, "s",
                         "auto") >= 0 &&
      sd_bus_message_read(reply, "o", &path) >= 0)
    session_ = path;
  sd_bus_message_unref(reply);
  if (!session_.empty()) {
    const char* p = session_.c_str();
    sd_bus_match_signal(bus_, &slots_[0], kLogin, p, kSession, "Lock", OnLock, this);
    sd_bus_match_signal(bus_, &slots_[1], kLogin, p, kSession, "Unlock", OnUnlock, this);
    sd_bus_match_signal(bus_, &slots_[2], kLogin, p, "org.freedesktop.DBus.Properties",
                        "PropertiesChanged", OnProperties, this);
  }
  sd_bus_match_signal(bus_, &slots_[3], kLogin, kManagerPath, kManager, "PrepareForSleep", OnSleep,
                      this);
}

Logind::~Logind() {
  for (sd_bus_slot* slot : slots_) sd_bus_slot_unref(slot);
  sd_bus_unref(bus_);
}

bool Logind::Locked() {
  int locked = 0;
  return !session_.empty() &&
         sd_bus_get_property_trivial(bus_, kLogin, session_.c_str(), kSession, "LockedHint",
                                     nullptr, 'b', &locked) >= 0 &&
         locked != 0;
}

int Logind::OnLock(sd_bus_message*, void* self, sd_bus_error*) {
  static_cast<Logind*>(self)->locked_(true);
  return 0;
}

int Logind::OnUnlock(sd_bus_message*, void* self, sd_bus_error*) {
  static_cast<Logind*>(self)->locked_(false);
  return 0;
}

int Logind::OnProperties(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* self = static_cast<Logind*>(data);
  const char* interface = nullptr;
  if (sd_bus_message_read(message, "s", &interface) < 0 || std::strcmp(interface, kSession) != 0 ||
      sd_bus_message_enter_container(message, 'a', "{sv}") <= 0)
    return 0;
  while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
    const char* name = nullptr;
    int locked = 0;
    if (sd_bus_message_read(message, "s", &name) < 0) return 0;
    if (std::strcmp(name, "LockedHint") == 0 &&
        sd_bus_message_read(message, "v", "b", &locked) >= 0)
      self->locked_(locked != 0);
    else if (sd_bus_message_skip(message, "v") < 0)
      return 0;
    sd_bus_message_exit_container(message);
  }
  return 0;
}

int Logind::OnSleep(sd_bus_message* message, void* self, sd_bus_error*) {
  int going = 0;
  if (sd_bus_message_read(message, "b", &going) >= 0 && going != 0)
    static_cast<Logind*>(self)->sleep_();
  return 0;
}

}  // namespace idle
