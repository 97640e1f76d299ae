// Wayland: ext_idle_notifier_v1 where offered (it honours the compositor's idle inhibitors),
// else KDE's older org_kde_kwin_idle (sway 1.7, older KWin).
#include <wayland-client.h>

#include <cstdlib>
#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"
#include "idle/source.h"

namespace idle {
namespace {

class WaylandSource final : public Source {
 public:
  WaylandSource(wl_display* display, Events events)
      : display_(display), events_(std::move(events)) {}
  ~WaylandSource() override {
    sd_event_source_unref(io_);
    Release();
    if (ext_ != nullptr) ext_idle_notifier_v1_destroy(ext_);
    if (kde_ != nullptr) org_kde_kwin_idle_destroy(kde_);
    if (seat_ != nullptr) wl_seat_destroy(seat_);
    if (registry_ != nullptr) wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
  }
  const char* Name() const override { return ext_ != nullptr ? "ext-idle-notify" : "kde-idle"; }

  // Binds what the compositor offers; says what is missing when it offers neither wanted.
  bool Bind(const std::string& kind, std::string& missing) {
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &kRegistry, this);
    if (wl_display_roundtrip(display_) < 0) return (missing = "the compositor hung up"), false;
    if (kind == "kde-idle" && ext_ != nullptr) ext_idle_notifier_v1_destroy(ext_), ext_ = nullptr;
    if (kind == "ext-idle-notify" && kde_ != nullptr)
      org_kde_kwin_idle_destroy(kde_), kde_ = nullptr;
    const char* wanted = kind == "kde-idle"          ? "org_kde_kwin_idle"
                         : kind == "ext-idle-notify" ? "ext_idle_notifier_v1"
                                                     : "ext_idle_notifier_v1 nor org_kde_kwin_idle";
    if (ext_ == nullptr && kde_ == nullptr)
      return (missing = std::string("the compositor offers no ") + wanted), false;
    if (seat_ == nullptr) return (missing = "the compositor offers no seat"), false;
    return true;
  }

  bool Attach(sd_event* loop) {
    return sd_event_add_io(loop, &io_, wl_display_get_fd(display_), EPOLLIN, OnReadable, this) >= 0;
  }

  bool Arm(Millis after) override {
    Release();  // a new notification counts from now
    const auto ms = static_cast<std::uint32_t>(after.count());
    if (ext_ != nullptr) {
      extNote_ = ext_idle_notifier_v1_get_idle_notification(ext_, ms, seat_);
      ext_idle_notification_v1_add_listener(extNote_, &kExtNote, this);
    } else {
      kdeNote_ = org_kde_kwin_idle_get_idle_timeout(kde_, seat_, ms);
      org_kde_kwin_idle_timeout_add_listener(kdeNote_, &kKdeNote, this);
    }
    return wl_display_flush(display_) >= 0;
  }

 private:
  void Release() {
    if (extNote_ != nullptr) ext_idle_notification_v1_destroy(extNote_), extNote_ = nullptr;
    if (kdeNote_ != nullptr) org_kde_kwin_idle_timeout_release(kdeNote_), kdeNote_ = nullptr;
  }

  static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t) {
    auto* self = static_cast<WaylandSource*>(data);
    const auto bind = [&](const wl_interface* type) {
      return wl_registry_bind(registry, name, type, 1);
    };
    if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0)
      self->ext_ = static_cast<ext_idle_notifier_v1*>(bind(&ext_idle_notifier_v1_interface));
    else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0)
      self->kde_ = static_cast<org_kde_kwin_idle*>(bind(&org_kde_kwin_idle_interface));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->seat_ == nullptr)
      self->seat_ = static_cast<wl_seat*>(bind(&wl_seat_interface));
  }
  static void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
  static constexpr wl_registry_listener kRegistry = {Global, GlobalRemove};

  static void Idled(void* data, auto*) { static_cast<WaylandSource*>(data)->events_.idle(); }
  static void Resumed(void* data, auto*) { static_cast<WaylandSource*>(data)->events_.active(); }
  static constexpr ext_idle_notification_v1_listener kExtNote = {Idled, Resumed};
  static constexpr org_kde_kwin_idle_timeout_listener kKdeNote = {Idled, Resumed};

  static int OnReadable(sd_event_source*, int, std::uint32_t revents, void* self) {
    return static_cast<WaylandSource*>(self)->Read(revents);
  }
  int Read(std::uint32_t revents) {
    if ((revents & (EPOLLHUP | EPOLLERR)) != 0 || wl_display_dispatch(display_) < 0) {
      sd_event_source_set_enabled(io_, SD_EVENT_OFF);
      events_.lost("lost the Wayland compositor");
      return 0;
    }
    wl_display_flush(display_);
    return 0;
  }

  wl_display* display_;
  Events events_;
  sd_event_source* io_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  ext_idle_notifier_v1* ext_ = nullptr;
  org_kde_kwin_idle* kde_ = nullptr;
  ext_idle_notification_v1* extNote_ = nullptr;
  org_kde_kwin_idle_timeout* kdeNote_ = nullptr;
};

}  // namespace

SourcePtr OpenWayland(sd_event* loop, const std::string& kind, Source::Events events,
                      std::string& missing) {
  // Only where the session names one: a user service started outside Wayland has none.
  const bool named = std::getenv("WAYLAND_DISPLAY") != nullptr || std::getenv("WAYLAND_SOCKET");
  wl_display* display = named ? wl_display_connect(nullptr) : nullptr;
  if (display == nullptr) {
    missing = "no Wayland compositor";
    return nullptr;
  }
  auto source = std::make_unique<WaylandSource>(display, std::move(events));
  if (!source->Bind(kind, missing) || !source->Attach(loop)) return nullptr;
  return source;
}

}  // namespace idle
