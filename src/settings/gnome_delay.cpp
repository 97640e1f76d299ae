#include "settings/gnome_delay.h"

#include <cstring>

namespace settings {

GnomeDelay::GnomeDelay(std::function<void()> changed) : changed_(std::move(changed)) {
  // The schema is installed on most desktops; only GNOME's own session blanks by it.
  const char* desktop = g_getenv("XDG_CURRENT_DESKTOP");
  if (desktop == nullptr || std::strstr(desktop, "GNOME") == nullptr) return;
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  // g_settings_new aborts on a schema that is not there: look first.
  GSettingsSchema* schema =
      source != nullptr ? g_settings_schema_source_lookup(source, "org.gnome.desktop.session", TRUE)
                        : nullptr;
  if (schema == nullptr) return;
  const bool known = g_settings_schema_has_key(schema, "idle-delay");
  g_settings_schema_unref(schema);
  if (!known) return;
  settings_ = g_settings_new("org.gnome.desktop.session");
  g_signal_connect_swapped(settings_, "changed::idle-delay",
                           G_CALLBACK(+[](GnomeDelay* self) { self->changed_(); }), this);
}

GnomeDelay::~GnomeDelay() {
  if (settings_ != nullptr) g_object_unref(settings_);
}

unsigned GnomeDelay::Seconds() const {
  return settings_ != nullptr ? g_settings_get_uint(settings_, "idle-delay") : 0;
}

}  // namespace settings
