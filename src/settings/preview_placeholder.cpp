// Stands in for the preview until the preview platform is part of the build.
#include <glib/gi18n.h>

#include "settings/preview_area.h"

namespace settings {

GtkWidget* NewPreviewArea() { return gtk_label_new(_("No preview in this build")); }

}  // namespace settings
