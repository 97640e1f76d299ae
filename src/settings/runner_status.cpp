#include "settings/runner_status.h"

#include <glib/gi18n.h>

namespace settings {
namespace {

constexpr const char* kName = "org.quelvo.Quelvo.Idle";
constexpr const char* kPath = "/org/quelvo/Quelvo/Idle";

std::string Printf(const char* format, auto... args) {
  gchar* text = g_strdup_printf(format, args...);
  std::string out = text;
  g_free(text);
  return out;
}

std::string Wait(guint64 ms) {
  if (ms % 60'000 == 0) {
    const guint64 minutes = ms / 60'000;
    return Printf(ngettext("Starts after %lu minute idle", "Starts after %lu minutes idle",
                           static_cast<unsigned long>(minutes)),
                  static_cast<unsigned long>(minutes));
  }
  const guint64 seconds = (ms + 999) / 1000;
  return Printf(ngettext("Starts after %lu second idle", "Starts after %lu seconds idle",
                         static_cast<unsigned long>(seconds)),
                static_cast<unsigned long>(seconds));
}

}  // namespace

std::string StatusLine(const RunnerState& s) {
  if (!s.present) return _("Off");
  if (!s.heldOffBy.empty()) {
    const auto& [who, why] = s.heldOffBy.front();
    if (why.empty()) return Printf(_("Held off by %s"), who.c_str());
    return Printf(_("Held off by %s: %s"), who.c_str(), why.c_str());
  }
  if (s.state == "running") return _("Running now");
  if (s.state == "locked") return _("The session is locked");
  if (s.state == "resting")
    return _("The saver failed to start; it tries again after the next idle time");
  if (s.state == "waiting") return Wait(s.afterMs);
  return _("Starting");
}

RunnerStatus::RunnerStatus(std::function<void()> changed) : changed_(std::move(changed)) {
  g_dbus_proxy_new_for_bus(G_BUS_TYPE_SESSION, G_DBUS_PROXY_FLAGS_DO_NOT_AUTO_START, nullptr, kName,
                           kPath, kName, cancel_, &RunnerStatus::OnProxy, this);
}

RunnerStatus::~RunnerStatus() {
  g_cancellable_cancel(cancel_);
  g_object_unref(cancel_);
  if (proxy_ != nullptr) {
    g_signal_handlers_disconnect_by_data(proxy_, this);
    g_object_unref(proxy_);
  }
}

void RunnerStatus::OnProxy(GObject*, GAsyncResult* result, gpointer data) {
  GError* error = nullptr;
  GDBusProxy* proxy = g_dbus_proxy_new_for_bus_finish(result, &error);
  if (proxy == nullptr) {  // no session bus, or the window is closing
    if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED))
      g_warning("quelvo-settings: no session bus: %s", error->message);
    g_error_free(error);
    return;
  }
  auto* self = static_cast<RunnerStatus*>(data);
  self->proxy_ = proxy;
  g_signal_connect(proxy, "g-properties-changed", G_CALLBACK(&RunnerStatus::OnChange), self);
  g_signal_connect(proxy, "notify::g-name-owner", G_CALLBACK(&RunnerStatus::OnOwner), self);
  self->Refresh();
}

void RunnerStatus::OnChange(GDBusProxy*, GVariant*, GStrv, gpointer self) {
  static_cast<RunnerStatus*>(self)->Refresh();
}

void RunnerStatus::OnOwner(GObject*, GParamSpec*, gpointer self) {
  static_cast<RunnerStatus*>(self)->Refresh();
}

void RunnerStatus::Refresh() {
  RunnerState next;
  gchar* owner = g_dbus_proxy_get_name_owner(proxy_);
  next.present = owner != nullptr;
  g_free(owner);
  if (next.present) {
    const auto property = [&](const char* name, const char* type) -> GVariant* {
      GVariant* value = g_dbus_proxy_get_cached_property(proxy_, name);
      if (value != nullptr && !g_variant_is_of_type(value, G_VARIANT_TYPE(type)))
        g_variant_unref(value), value = nullptr;
      return value;
    };
    if (GVariant* v = property("State", "s")) {
      next.state = g_variant_get_string(v, nullptr);
      g_variant_unref(v);
    }
    if (GVariant* v = property("After", "t")) {
      next.afterMs = g_variant_get_uint64(v);
      g_variant_unref(v);
    }
    if (GVariant* v = property("HeldOffBy", "a(ss)")) {
      GVariantIter iter;
      const gchar *who, *why;
      g_variant_iter_init(&iter, v);
      while (g_variant_iter_next(&iter, "(&s&s)", &who, &why))
        next.heldOffBy.emplace_back(who, why);
      g_variant_unref(v);
    }
    if (GVariant* v = property("SettingsProblems", "as")) {
      GVariantIter iter;
      const gchar* line;
      g_variant_iter_init(&iter, v);
      while (g_variant_iter_next(&iter, "&s", &line)) next.settingsProblems.emplace_back(line);
      g_variant_unref(v);
    }
  }
  state_ = std::move(next);
  changed_();
}

void RunnerStatus::Reload(std::function<void(std::string)> done) {
  if (proxy_ == nullptr || !state_.present) return done({});
  auto* callback = new std::function<void(std::string)>(std::move(done));
  g_dbus_proxy_call(
      proxy_, "Reload", nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000, cancel_,
      [](GObject* proxy, GAsyncResult* result, gpointer data) {
        auto* done = static_cast<std::function<void(std::string)>*>(data);
        GError* error = nullptr;
        GVariant* reply = g_dbus_proxy_call_finish(G_DBUS_PROXY(proxy), result, &error);
        std::string message;
        if (reply != nullptr) g_variant_unref(reply);
        if (error != nullptr) {
          if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
            g_dbus_error_strip_remote_error(error);
            message = error->message;
          }
          g_error_free(error);
          if (message.empty()) return delete done;  // the window closed first
        }
        (*done)(message);
        delete done;
      },
      callback);
}

unsigned RunnerStatus::OwnerPid() const {
  if (proxy_ == nullptr) return 0;
  gchar* owner = g_dbus_proxy_get_name_owner(proxy_);
  if (owner == nullptr) return 0;
  GVariant* reply = g_dbus_connection_call_sync(
      g_dbus_proxy_get_connection(proxy_), "org.freedesktop.DBus", "/org/freedesktop/DBus",
      "org.freedesktop.DBus", "GetConnectionUnixProcessID", g_variant_new("(s)", owner),
      G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, nullptr);
  g_free(owner);
  if (reply == nullptr) return 0;
  guint32 pid = 0;
  g_variant_get(reply, "(u)", &pid);
  g_variant_unref(reply);
  return pid;
}

}  // namespace settings
