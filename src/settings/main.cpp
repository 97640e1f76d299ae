// quelvo-settings: the window that turns the idle runner on, sets its times and shows the
// saver's preview.
#include <adwaita.h>
#include <glib/gi18n.h>
#include <locale.h>

#include <cstdio>

#include "settings/settings_window.h"

int main(int argc, char** argv) {
  setlocale(LC_ALL, "");
  bindtextdomain(GETTEXT_PACKAGE, QUELVO_LOCALEDIR);
  bind_textdomain_codeset(GETTEXT_PACKAGE, "UTF-8");
  textdomain(GETTEXT_PACKAGE);
  g_set_application_name(_("Screen Saver"));

  AdwApplication* app = adw_application_new("org.quelvo.Quelvo", G_APPLICATION_DEFAULT_FLAGS);
  // Answered here, before any window or bus name, as quelvo and quelvo-idle answer it.
  g_application_add_main_option(G_APPLICATION(app), "version", 0, G_OPTION_FLAG_NONE,
                                G_OPTION_ARG_NONE, _("Print the version and quit"), nullptr);
  g_signal_connect(app, "handle-local-options",
                   G_CALLBACK(+[](GApplication*, GVariantDict* options) -> gint {
                     if (!g_variant_dict_contains(options, "version")) return -1;
                     std::printf("quelvo-settings %s\n", QUELVO_VERSION);
                     return 0;
                   }),
                   nullptr);
  g_signal_connect(app, "activate", G_CALLBACK(+[](GApplication* a) {
                     GtkWindow* window = gtk_application_get_active_window(GTK_APPLICATION(a));
                     if (window == nullptr)
                       window = settings::NewSettingsWindow(ADW_APPLICATION(a));
                     gtk_window_present(window);
                   }),
                   nullptr);
  const int status = g_application_run(G_APPLICATION(app), argc, argv);
  g_object_unref(app);
  return status;
}
