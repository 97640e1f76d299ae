// The live preview: the saver's preview run drawn into a GtkDrawingArea on the window's
// frame clock. A hidden or minimised window has no frame clock ticks, so the run costs
// nothing then. A click or key ends the run, as in a host's preview, and a new one starts.
#pragma once

#include <gtk/gtk.h>

namespace settings {

// A drawing area that owns its run; it lives as long as the widget.
GtkWidget* NewPreviewArea();

}  // namespace settings
