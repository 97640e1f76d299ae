#include "idle/screensaver.h"

#include <cstring>

#include "idle/log.h"

namespace idle {
namespace {

constexpr const char* kName = "org.freedesktop.ScreenSaver";
constexpr const char* kBus = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";

std::string Named(const Inhibition& i) { return i.application + " (" + i.reason + ")"; }

}  // namespace

ScreenSaverService::ScreenSaverService(sd_bus* bus, Hooks hooks)
    : bus_(sd_bus_ref(bus)), hooks_(std::move(hooks)) {}

bool ScreenSaverService::Serve() {
  static const sd_bus_vtable vtable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_METHOD("Inhibit", "ss", "u", OnInhibit, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("UnInhibit", "u", "", OnUnInhibit, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("GetActive", "", "b", OnGetActive, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("SimulateUserActivity", "", "", OnSimulate, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("Lock", "", "", OnLock, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("GetActiveTime", "", "u", OnSeconds, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("GetSessionIdleTime", "", "u", OnSeconds, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_SIGNAL("ActiveChanged", "b", 0),
      SD_BUS_VTABLE_END};
  // Callers use either path.
  if (sd_bus_add_object_vtable(bus_, &slots_[0], "/org/freedesktop/ScreenSaver", kName, vtable,
                               this) < 0 ||
      sd_bus_add_object_vtable(bus_, &slots_[1], "/ScreenSaver", kName, vtable, this) < 0)
    return false;
  sd_bus_match_signal(bus_, &slots_[2], kBus, kBusPath, kBus, "NameAcquired", OnNameAcquired, this);
  sd_bus_match_signal(bus_, &slots_[3], kBus, kBusPath, kBus, "NameLost", OnNameLost, this);
  sd_bus_match_signal(bus_, &slots_[4], kBus, kBusPath, kBus, "NameOwnerChanged", OnOwnerChanged,
                      this);
  // A desktop's locker (KDE's on this name, GNOME's shield on its own) ends our saver.
  sd_bus_match_signal(bus_, &slots_[5], kName, nullptr, kName, "ActiveChanged", OnActiveChanged,
                      this);
  sd_bus_match_signal(bus_, &slots_[6], "org.gnome.ScreenSaver", "/org/gnome/ScreenSaver",
                      "org.gnome.ScreenSaver", "ActiveChanged", OnActiveChanged, this);
  // Queued behind a desktop that holds the name, and ready to give it up to one that comes.
  const int r = sd_bus_request_name(bus_, kName, SD_BUS_NAME_ALLOW_REPLACEMENT | SD_BUS_NAME_QUEUE);
  owner_ = r > 0;
  Log(owner_ ? std::string("serving ") + kName
             : std::string(kName) + " belongs to the desktop: following it");
  return true;
}

ScreenSaverService::~ScreenSaverService() {
  for (sd_bus_slot* slot : slots_) sd_bus_slot_unref(slot);
  sd_bus_unref(bus_);
}

std::string ScreenSaverService::Caller(sd_bus_message* call) {
  const char* sender = sd_bus_message_get_sender(call);
  return sender != nullptr ? sender : "";
}

int ScreenSaverService::OnInhibit(sd_bus_message* call, void* data, sd_bus_error* error) {
  auto* self = static_cast<ScreenSaverService*>(data);
  const char *application = nullptr, *reason = nullptr;
  const int r = sd_bus_message_read(call, "ss", &application, &reason);
  if (r < 0) return r;
  const auto cookie = self->inhibitors_.Add(self->Caller(call), application, reason);
  if (!cookie)
    return sd_bus_error_setf(error, SD_BUS_ERROR_LIMITS_EXCEEDED,
                             "one caller holds at most %zu inhibitors", Inhibitors::kPerCaller);
  const Inhibition& taken = self->inhibitors_.All().at(*cookie);
  Log("inhibited by " + Named(taken) + ", cookie " + std::to_string(*cookie));
  self->hooks_.changed();
  return sd_bus_reply_method_return(call, "u", *cookie);
}

int ScreenSaverService::OnUnInhibit(sd_bus_message* call, void* data, sd_bus_error* error) {
  auto* self = static_cast<ScreenSaverService*>(data);
  std::uint32_t cookie = 0;
  const int r = sd_bus_message_read(call, "u", &cookie);
  if (r < 0) return r;
  const auto released = self->inhibitors_.Release(cookie, self->Caller(call));
  if (!released)
    return sd_bus_error_set(error, SD_BUS_ERROR_INVALID_ARGS, "no such inhibitor of yours");
  self->Gone(*released, "released");
  return sd_bus_reply_method_return(call, "");
}

int ScreenSaverService::OnGetActive(sd_bus_message* call, void* data, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "b",
                                    static_cast<ScreenSaverService*>(data)->hooks_.running());
}

int ScreenSaverService::OnSimulate(sd_bus_message* call, void* data, sd_bus_error*) {
  auto* self = static_cast<ScreenSaverService*>(data);
  self->hooks_.activity(self->Caller(call));
  return sd_bus_reply_method_return(call, "");
}

int ScreenSaverService::OnLock(sd_bus_message* call, void* data, sd_bus_error*) {
  static_cast<ScreenSaverService*>(data)->hooks_.lock();
  return sd_bus_reply_method_return(call, "");
}

int ScreenSaverService::OnSeconds(sd_bus_message* call, void* data, sd_bus_error*) {
  const Hooks& hooks = static_cast<ScreenSaverService*>(data)->hooks_;
  const bool active = std::strcmp(sd_bus_message_get_member(call), "GetActiveTime") == 0;
  return sd_bus_reply_method_return(call, "u",
                                    active ? hooks.activeSeconds() : hooks.idleSeconds());
}

void ScreenSaverService::SaverActive(bool active) {
  if (owner_)
    sd_bus_emit_signal(bus_, "/org/freedesktop/ScreenSaver", kName, "ActiveChanged", "b", active);
}

int ScreenSaverService::OnNameAcquired(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* self = static_cast<ScreenSaverService*>(data);
  const char* name = nullptr;
  if (sd_bus_message_read(message, "s", &name) >= 0 && std::string_view(name) == kName &&
      !self->owner_) {
    self->owner_ = true;
    Log(std::string("serving ") + kName);
  }
  return 0;
}

int ScreenSaverService::OnNameLost(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* self = static_cast<ScreenSaverService*>(data);
  const char* name = nullptr;
  if (sd_bus_message_read(message, "s", &name) < 0 || std::string_view(name) != kName) return 0;
  self->owner_ = false;
  Log(std::string(kName) + " taken over by the desktop: following it");
  // New callers speak to the desktop; those who asked us before are still held to their word.
  for (const auto& [cookie, held] : self->inhibitors_.All())
    Log("inhibitor of " + Named(held) + " kept until its caller releases it or leaves the bus");
  return 0;
}

int ScreenSaverService::OnOwnerChanged(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* self = static_cast<ScreenSaverService*>(data);
  const char *name = nullptr, *old = nullptr, *now = nullptr;
  if (sd_bus_message_read(message, "sss", &name, &old, &now) < 0 || *now != '\0' || name[0] != ':')
    return 0;
  for (const Inhibition& gone : self->inhibitors_.Leave(name))
    self->Gone(gone, "dropped: its caller left the bus");
  return 0;
}

int ScreenSaverService::OnActiveChanged(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* self = static_cast<ScreenSaverService*>(data);
  int active = 0;
  if (!self->owner_ && sd_bus_message_read(message, "b", &active) >= 0)
    self->hooks_.desktopActive(active != 0);
  return 0;
}

void ScreenSaverService::Gone(const Inhibition& inhibition, const std::string& why) {
  Log("inhibitor of " + Named(inhibition) + " " + why);
  hooks_.changed();
  if (inhibitors_.Empty()) hooks_.released();
}

std::vector<Holder> ScreenSaverService::Holders() const {
  std::vector<Holder> holders;
  for (const auto& [cookie, held] : inhibitors_.All())
    holders.push_back({held.application, held.reason});
  return holders;
}

}  // namespace idle
