// GNOME: mutter's org.gnome.Mutter.IdleMonitor on the session bus. Its idle watch already
// pauses while gnome-session holds an idle inhibitor (a video playing).
#include <cstdint>

#include "idle/source.h"

namespace idle {
namespace {

constexpr const char* kService = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kPath = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* kInterface = "org.gnome.Mutter.IdleMonitor";

class MutterSource final : public Source {
 public:
  MutterSource(sd_bus* bus, Events events) : bus_(sd_bus_ref(bus)), events_(std::move(events)) {}
  ~MutterSource() override {
    sd_bus_slot_unref(fired_);
    sd_bus_slot_unref(gone_);
    sd_bus_unref(bus_);
  }
  const char* Name() const override { return "gnome"; }
  bool FollowsGnomeDelay() const override { return true; }

  bool Watch() {
    return sd_bus_match_signal(bus_, &fired_, kService, kPath, kInterface, "WatchFired", OnFired,
                               this) >= 0 &&
           sd_bus_match_signal(bus_, &gone_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "NameOwnerChanged", OnOwner, this) >= 0;
  }

  std::optional<std::uint64_t> Idletime() {
    sd_bus_message* reply = nullptr;
    std::uint64_t ms = 0;
    const int r =
        sd_bus_call_method(bus_, kService, kPath, kInterface, "GetIdletime", nullptr, &reply, "");
    const bool ok = r >= 0 && sd_bus_message_read(reply, "t", &ms) >= 0;
    sd_bus_message_unref(reply);
    return ok ? std::optional(ms) : std::nullopt;
  }

  bool Arm(Millis after) override {
    after_ = static_cast<std::uint64_t>(after.count());
    const auto now = Idletime();
    if (!now) return false;
    // Idle at now + after; the first input puts the watch back at `after`.
    return SetIdleWatch(*now + after_) && AddActiveWatch();
  }

 private:
  bool Call(const char* method, const char* types, std::uint32_t* id, auto... args) {
    sd_bus_message* reply = nullptr;
    const int r = sd_bus_call_method(bus_, kService, kPath, kInterface, method, nullptr, &reply,
                                     types, args...);
    const bool ok = r >= 0 && (id == nullptr || sd_bus_message_read(reply, "u", id) >= 0);
    sd_bus_message_unref(reply);
    return ok;
  }
  bool SetIdleWatch(std::uint64_t ms) {
    if (idleWatch_ != 0) Call("RemoveWatch", "u", nullptr, idleWatch_);
    idleWatch_ = 0, watchAt_ = ms;
    return Call("AddIdleWatch", "t", &idleWatch_, ms);
  }
  bool AddActiveWatch() {
    if (activeWatch_ != 0) Call("RemoveWatch", "u", nullptr, activeWatch_);
    activeWatch_ = 0;
    return Call("AddUserActiveWatch", "", &activeWatch_);
  }

  static int OnFired(sd_bus_message* message, void* data, sd_bus_error*) {
    auto* self = static_cast<MutterSource*>(data);
    std::uint32_t id = 0;
    if (sd_bus_message_read(message, "u", &id) < 0 || id == 0) return 0;
    if (id == self->idleWatch_) {
      self->AddActiveWatch();  // one-shot: one per idle stretch
      self->events_.idle();
    } else if (id == self->activeWatch_) {
      self->activeWatch_ = 0;
      if (self->watchAt_ != self->after_) self->SetIdleWatch(self->after_);
      self->events_.active();
    }
    return 0;
  }

  static int OnOwner(sd_bus_message* message, void* data, sd_bus_error*) {
    const char *name = nullptr, *old = nullptr, *now = nullptr;
    if (sd_bus_message_read(message, "sss", &name, &old, &now) >= 0 &&
        std::string_view(name) == kService && *now == '\0')
      static_cast<MutterSource*>(data)->events_.lost("mutter left the session bus");
    return 0;
  }

  sd_bus* bus_;
  Events events_;
  sd_bus_slot *fired_ = nullptr, *gone_ = nullptr;
  std::uint32_t idleWatch_ = 0, activeWatch_ = 0;
  std::uint64_t after_ = 0, watchAt_ = 0;
};

}  // namespace

SourcePtr OpenMutter(sd_event*, sd_bus* session, Source::Events events, std::string& missing) {
  if (session == nullptr) {
    missing = "no session bus for GNOME's idle monitor";
    return nullptr;
  }
  auto source = std::make_unique<MutterSource>(session, std::move(events));
  if (!source->Idletime()) {
    missing = "no org.gnome.Mutter.IdleMonitor on the session bus";
    return nullptr;
  }
  if (!source->Watch()) return nullptr;
  return source;
}

}  // namespace idle
