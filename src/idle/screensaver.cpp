#include "idle/screensaver.h"

namespace idle {
namespace {

constexpr const char* kName = "org.freedesktop.ScreenSaver";
constexpr const char* kBus = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";

}  // namespace

ScreenSaverService::ScreenSaverService(sd_bus* bus, Log log, std::function<void()> released,
                                       std::function<void(bool)> active)
    : bus_(sd_bus_ref(bus)),
      log_(std::move(log)),
      released_(std::move(released)),
      active_(std::move(active)) {
  static const sd_bus_vtable vtable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_METHOD("Inhibit", "ss", "u", OnInhibit, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("UnInhibit", "u", "", OnUnInhibit, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("GetActive", "", "b", OnGetActive, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_VTABLE_END};
  // Callers use either path.
  sd_bus_add_object_vtable(bus_, &slots_[0], "/org/freedesktop/ScreenSaver", kName, vtable, this);
  sd_bus_add_object_vtable(bus_, &slots_[1], "/ScreenSaver", kName, vtable, this);
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
  log_(owner_ ? std::string("serving ") + kName
              : std::string(kName) + " belongs to the desktop: following it");
}

ScreenSaverService::~ScreenSaverService() {
  for (sd_bus_slot* slot : slots_) sd_bus_slot_unref(slot);
  sd_bus_unref(bus_);
}

int ScreenSaverService::OnInhibit(sd_bus_message* call, void* data, sd_bus_error*) {
  auto* self = static_cast<ScreenSaverService*>(data);
  const char *application = nullptr, *reason = nullptr;
  const int r = sd_bus_message_read(call, "ss", &application, &reason);
  if (r < 0) return r;
  const std::uint32_t cookie = self->next_++;
  const char* sender = sd_bus_message_get_sender(call);
  self->inhibits_[cookie] = {sender != nullptr ? sender : "", application, reason};
  self->log_("inhibited by " + std::string(application) + " (" + reason + "), cookie " +
             std::to_string(cookie));
  return sd_bus_reply_method_return(call, "u", cookie);
}

int ScreenSaverService::OnUnInhibit(sd_bus_message* call, void* data, sd_bus_error* error) {
  auto* self = static_cast<ScreenSaverService*>(data);
  std::uint32_t cookie = 0;
  const int r = sd_bus_message_read(call, "u", &cookie);
  if (r < 0) return r;
  const auto it = self->inhibits_.find(cookie);
  const char* sender = sd_bus_message_get_sender(call);
  if (it == self->inhibits_.end() || sender == nullptr || it->second.sender != sender)
    return sd_bus_error_set(error, SD_BUS_ERROR_INVALID_ARGS, "no such inhibitor of yours");
  self->Drop(it, "released");
  return sd_bus_reply_method_return(call, "");
}

int ScreenSaverService::OnGetActive(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "b", 0);
}

int ScreenSaverService::OnNameAcquired(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* self = static_cast<ScreenSaverService*>(data);
  const char* name = nullptr;
  if (sd_bus_message_read(message, "s", &name) >= 0 && std::string_view(name) == kName &&
      !self->owner_) {
    self->owner_ = true;
    self->log_(std::string("serving ") + kName);
  }
  return 0;
}

int ScreenSaverService::OnNameLost(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* self = static_cast<ScreenSaverService*>(data);
  const char* name = nullptr;
  if (sd_bus_message_read(message, "s", &name) < 0 || std::string_view(name) != kName) return 0;
  self->owner_ = false;
  self->log_(std::string(kName) + " taken over by the desktop: following it");
  // Callers now speak to the desktop; theirs are its inhibitors from here on.
  while (!self->inhibits_.empty()) self->Drop(self->inhibits_.begin(), "handed to the desktop");
  return 0;
}

int ScreenSaverService::OnOwnerChanged(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* self = static_cast<ScreenSaverService*>(data);
  const char *name = nullptr, *old = nullptr, *now = nullptr;
  if (sd_bus_message_read(message, "sss", &name, &old, &now) < 0 || *now != '\0' || name[0] != ':')
    return 0;
  for (auto it = self->inhibits_.begin(); it != self->inhibits_.end();) {
    const auto next = std::next(it);
    if (it->second.sender == name) self->Drop(it, "dropped: its caller left the bus");
    it = next;
  }
  return 0;
}

int ScreenSaverService::OnActiveChanged(sd_bus_message* message, void* data, sd_bus_error*) {
  auto* self = static_cast<ScreenSaverService*>(data);
  int active = 0;
  if (!self->owner_ && sd_bus_message_read(message, "b", &active) >= 0) self->active_(active != 0);
  return 0;
}

void ScreenSaverService::Drop(std::map<std::uint32_t, Inhibit>::iterator it,
                              const std::string& why) {
  log_("inhibitor of " + it->second.application + " (" + it->second.reason + ") " + why);
  inhibits_.erase(it);
  if (inhibits_.empty()) released_();
}

std::string ScreenSaverService::Inhibitor() {
  if (!inhibits_.empty()) {
    const Inhibit& first = inhibits_.begin()->second;
    return first.application + " (" + first.reason + ") through " + kName;
  }
  return owner_ ? std::string() : DesktopInhibitor();
}

bool ScreenSaverService::Ask(const char* service, const char* path, const char* interface,
                             const char* method, std::uint32_t flags) {
  sd_bus_message *call = nullptr, *reply = nullptr;
  int answer = 0;
  // Never start a service just to ask it.
  bool ok = sd_bus_message_new_method_call(bus_, &call, service, path, interface, method) >= 0 &&
            sd_bus_message_set_auto_start(call, 0) >= 0 &&
            sd_bus_message_append(call, "u", flags) >= 0 &&
            sd_bus_call(bus_, call, 1'000'000, nullptr, &reply) >= 0 &&
            sd_bus_message_read(reply, "b", &answer) >= 0;
  sd_bus_message_unref(call);
  sd_bus_message_unref(reply);
  return ok && answer != 0;
}

std::string ScreenSaverService::DesktopInhibitor() {
  if (Ask("org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
          "IsInhibited", 8))  // 8: idle
    return "an idle inhibitor of gnome-session";
  // Plasma hands what applications ask of its ScreenSaver to PowerDevil's policy agent, as
  // inhibitions of screen settings (4).
  if (Ask("org.kde.Solid.PowerManagement.PolicyAgent", "/org/kde/Solid/PowerManagement/PolicyAgent",
          "org.kde.Solid.PowerManagement.PolicyAgent", "HasInhibition", 4))
    return "an inhibition held by Plasma's power management";
  return {};
}

}  // namespace idle
