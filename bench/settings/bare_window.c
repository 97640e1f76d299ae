/* GTK alone, the floor under the settings window: an empty GtkWindow or AdwApplicationWindow
 * (its start), or an AdwApplicationWindow whose drawing area of the preview's size is filled
 * black and redrawn on every frame of the frame clock (the toolkit's share of a preview).
 *   bare_window gtk|adw|frames */
#include <adwaita.h>
#include <string.h>

static const char* mode = "gtk";

static void fill(GtkDrawingArea* area, cairo_t* cr, int width, int height, gpointer data) {
  (void)area, (void)width, (void)height, (void)data;
  cairo_paint(cr);
}

static gboolean tick(GtkWidget* area, GdkFrameClock* clock, gpointer data) {
  (void)clock, (void)data;
  gtk_widget_queue_draw(area);
  return G_SOURCE_CONTINUE;
}

static void activate(GtkApplication* app) {
  GtkWidget* window = strcmp(mode, "gtk") == 0 ? gtk_application_window_new(app)
                                               : adw_application_window_new(app);
  gtk_window_set_default_size(GTK_WINDOW(window), 640, 760);
  if (strcmp(mode, "frames") == 0) {
    GtkWidget* area = gtk_drawing_area_new();
    gtk_widget_set_size_request(area, 568, 180);
    gtk_widget_set_valign(area, GTK_ALIGN_START);
    gtk_widget_set_halign(area, GTK_ALIGN_CENTER);
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(area), fill, NULL, NULL);
    gtk_widget_add_tick_callback(area, tick, NULL, NULL);
    adw_application_window_set_content(ADW_APPLICATION_WINDOW(window), area);
  }
  gtk_window_present(GTK_WINDOW(window));
}

int main(int argc, char** argv) {
  if (argc > 1) mode = argv[1];
  GtkApplication* app = strcmp(mode, "gtk") == 0
                            ? gtk_application_new("org.quelvo.Bench", 0)
                            : GTK_APPLICATION(adw_application_new("org.quelvo.Bench", 0));
  g_signal_connect(app, "activate", G_CALLBACK(activate), NULL);
  return g_application_run(G_APPLICATION(app), 1, argv);
}
