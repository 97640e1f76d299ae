#include "settings/preview_area.h"

#include <glib/gi18n.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/preview/preview_host.h"

namespace settings {
namespace {

struct Preview {
  GtkWidget* area = nullptr;
  std::unique_ptr<preview::Host> host;
  std::vector<std::uint32_t> pixels;
  cairo_surface_t* surface = nullptr;
  int width = 0, height = 0, scale = 1;
  bool shown = false;  // the area has been drawn once

  ~Preview() {
    if (surface != nullptr) cairo_surface_destroy(surface);
  }

  // The canvas and the cairo surface share one block: x8r8g8b8 is cairo's RGB24.
  void Fit(int w, int h, int s) {
    if (w == width && h == height && s == scale && surface != nullptr) return;
    width = w, height = h, scale = s;
    if (surface != nullptr) cairo_surface_destroy(surface), surface = nullptr;
    if (w <= 0 || h <= 0) return host.reset();
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, w * s);
    pixels.assign(static_cast<std::size_t>(stride / 4) * h * s, 0);
    surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                                  CAIRO_FORMAT_RGB24, w * s, h * s, stride);
    cairo_surface_set_device_scale(surface, s, s);
    if (host) host->Resize(w, h, s);
  }

  raster::Canvas Canvas() {
    return {pixels.data(), width * scale, height * scale, cairo_image_surface_get_stride(surface)};
  }

  void Tick(std::int64_t micros) {
    if (surface == nullptr) return;
    if (host && host->Ended()) host.reset();
    // The first run starts once the window has shown its first frame: its fonts load then.
    if (!shown) return;
    if (!host) host = std::make_unique<preview::Host>(width, height, scale);  // a fresh "/p"
    host->AdvanceTo(micros);
    raster::Canvas canvas = Canvas();
    cairo_surface_flush(surface);
    if (host->Draw(canvas)) {
      cairo_surface_mark_dirty(surface);
      gtk_widget_queue_draw(area);
    }
  }
};

// The saver's KeyCode for a key: letters and digits as their upper-case character, a few
// named keys, else the key's own number; any key ends a preview.
int KeyCode(guint keyval) {
  const guint32 c = gdk_keyval_to_unicode(gdk_keyval_to_upper(keyval));
  if (c >= ' ' && c < 0x7f) return static_cast<int>(c);
  switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
      return 13;
    case GDK_KEY_Escape:
      return 27;
    case GDK_KEY_BackSpace:
      return 8;
    default:
      return static_cast<int>(keyval & 0xff);
  }
}

Preview* Of(gpointer data) { return static_cast<Preview*>(data); }

}  // namespace

GtkWidget* NewPreviewArea() {
  auto* preview = new Preview;
  GtkWidget* area = preview->area = gtk_drawing_area_new();
  g_object_set_data_full(G_OBJECT(area), "quelvo-preview", preview,
                         [](gpointer p) { delete Of(p); });
  gtk_widget_set_hexpand(area, TRUE);
  gtk_widget_set_size_request(area, -1, 180);
  gtk_widget_set_focusable(area, TRUE);
  gtk_widget_set_overflow(area, GTK_OVERFLOW_HIDDEN);
  gtk_widget_add_css_class(area, "card");
  gtk_accessible_update_property(GTK_ACCESSIBLE(area), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 _("Preview of the screen saver"),
                                 GTK_ACCESSIBLE_PROPERTY_DESCRIPTION,
                                 _("A click or a key ends the preview, and it starts again"), -1);

  gtk_drawing_area_set_draw_func(
      GTK_DRAWING_AREA(area),
      [](GtkDrawingArea*, cairo_t* cr, int, int, gpointer data) {
        Preview* p = Of(data);
        if (p->surface == nullptr) return;
        p->shown = true;
        cairo_set_source_surface(cr, p->surface, 0, 0);
        cairo_paint(cr);
      },
      preview, nullptr);
  g_signal_connect(area, "resize",
                   G_CALLBACK(+[](GtkWidget* w, int width, int height, gpointer data) {
                     Of(data)->Fit(width, height, gtk_widget_get_scale_factor(w));
                   }),
                   preview);
  g_signal_connect(area, "notify::scale-factor",
                   G_CALLBACK(+[](GtkWidget* w, GParamSpec*, gpointer data) {
                     Preview* p = Of(data);
                     p->Fit(p->width, p->height, gtk_widget_get_scale_factor(w));
                   }),
                   preview);
  gtk_widget_add_tick_callback(
      area,
      [](GtkWidget*, GdkFrameClock* clock, gpointer data) -> gboolean {
        Of(data)->Tick(gdk_frame_clock_get_frame_time(clock));
        return G_SOURCE_CONTINUE;
      },
      preview, nullptr);

  GtkGesture* click = gtk_gesture_click_new();
  g_signal_connect(click, "released",
                   G_CALLBACK(+[](GtkGestureClick*, int, double x, double y, gpointer data) {
                     Preview* p = Of(data);
                     if (p->host) p->host->Click(static_cast<int>(x), static_cast<int>(y));
                   }),
                   preview);
  gtk_widget_add_controller(area, GTK_EVENT_CONTROLLER(click));

  GtkEventController* keys = gtk_event_controller_key_new();
  g_signal_connect(keys, "key-pressed",
                   G_CALLBACK(+[](GtkEventControllerKey*, guint keyval, guint, GdkModifierType,
                                  gpointer data) -> gboolean {
                     // Tab moves on: the preview must not trap the keyboard.
                     if (keyval == GDK_KEY_Tab || keyval == GDK_KEY_ISO_Left_Tab) return FALSE;
                     Preview* p = Of(data);
                     if (p->host) p->host->Key(KeyCode(keyval));
                     return TRUE;
                   }),
                   preview);
  gtk_widget_add_controller(area, keys);
  return area;
}

}  // namespace settings
