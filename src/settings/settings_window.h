// The settings window: the preview, the switch that turns the runner on, its times, and
// the runner's status, one AdwPreferencesPage.
#pragma once

#include <adwaita.h>

namespace settings {

GtkWindow* NewSettingsWindow(AdwApplication* app);

}  // namespace settings
