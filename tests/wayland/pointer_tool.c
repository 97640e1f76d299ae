// A pointer for tests on compositors with virtual pointers. Reads commands on stdin, one a
// line, each sent as one input frame: "move X Y W H" to (X, Y) of the layout, which is
// W x H; "click" the left button.
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <string.h>
#include <wayland-client.h>

#include "virtual-pointer-client.h"

static struct zwlr_virtual_pointer_manager_v1* manager;

static void Global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
  (void)data, (void)version;
  if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}
static void Removed(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data, (void)registry, (void)name;
}

int main(void) {
  static const struct wl_registry_listener listener = {Global, Removed};
  struct wl_display* display = wl_display_connect(NULL);
  if (display == NULL) return 2;
  wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
  if (wl_display_roundtrip(display) < 0 || manager == NULL) return 3;
  struct zwlr_virtual_pointer_v1* p =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, NULL);
  char line[64];
  unsigned x, y, w, h, time = 0;
  while (fgets(line, sizeof line, stdin) != NULL) {
    time += 10;
    if (sscanf(line, "move %u %u %u %u", &x, &y, &w, &h) == 4)
      zwlr_virtual_pointer_v1_motion_absolute(p, time, x, y, w, h);
    for (int pressed = 1; strncmp(line, "click", 5) == 0 && pressed >= 0; --pressed)
      zwlr_virtual_pointer_v1_button(p, time, BTN_LEFT, pressed);
    zwlr_virtual_pointer_v1_frame(p);
    if (wl_display_roundtrip(display) < 0) return 1;
  }
  return 0;
}
