// Preloaded into quelvo by the sway tests, to show it what these compositors cannot:
// - no layer-shell: the global QUELVO_SHIM_HIDE names is never announced;
// - a touch screen (no compositor here sends touch: this is the path just below the
//   protocol): the seat reports touch, quelvo's wl_touch stays on this side (sway refuses
//   one on a seat that never had touch), and once the file QUELVO_SHIM_TOUCH exists, a
//   finger goes down and up where the pointer next enters, and the file goes;
// - no keymap, with QUELVO_SHIM_NO_KEYMAP set.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <wayland-client.h>

typedef void (*Implementation)(void);

static const struct wl_registry_listener* registry;
static const struct wl_seat_listener* seat;
static const struct wl_pointer_listener* pointer;
static struct wl_touch* touch;
static const struct wl_touch_listener* touchListener;
static void* touchData;

static struct wl_registry_listener ownRegistry;
static void Global(void* data, struct wl_registry* r, uint32_t name, const char* interface,
                   uint32_t version) {
  const char* hidden = getenv("QUELVO_SHIM_HIDE");
  if (hidden == NULL || strcmp(interface, hidden) != 0)
    registry->global(data, r, name, interface, version);
}

static struct wl_seat_listener ownSeat;
static void Capabilities(void* data, struct wl_seat* s, uint32_t capabilities) {
  if (getenv("QUELVO_SHIM_TOUCH") != NULL) capabilities |= WL_SEAT_CAPABILITY_TOUCH;
  seat->capabilities(data, s, capabilities);
}

static struct wl_pointer_listener ownPointer;
static void Enter(void* data, struct wl_pointer* p, uint32_t serial, struct wl_surface* surface,
                  wl_fixed_t x, wl_fixed_t y) {
  pointer->enter(data, p, serial, surface, x, y);
  const char* file = getenv("QUELVO_SHIM_TOUCH");
  if (touchListener == NULL || file == NULL || unlink(file) != 0) return;  // once per file
  touchListener->down(touchData, touch, serial + 1, 0, surface, 0, x, y);
  touchListener->up(touchData, touch, serial + 2, 10, 0);
}

static const struct wl_keyboard_listener* keyboard;
static struct wl_keyboard_listener ownKeyboard;
static void Keymap(void* data, struct wl_keyboard* k, uint32_t format, int32_t fd, uint32_t size) {
  if (getenv("QUELVO_SHIM_NO_KEYMAP") != NULL) format = WL_KEYBOARD_KEYMAP_FORMAT_NO_KEYMAP;
  keyboard->keymap(data, k, format, fd, size);
}

int wl_proxy_add_listener(struct wl_proxy* proxy, Implementation* implementation, void* data) {
  static int (*real)(struct wl_proxy*, Implementation*, void*);
  if (real == NULL)
    real = (int (*)(struct wl_proxy*, Implementation*, void*))dlsym(RTLD_NEXT, __func__);
  const char* class = wl_proxy_get_class(proxy);
  if (proxy == (struct wl_proxy*)touch) {  // ours, a wrapper of the seat: it never reaches sway
    touchListener = (const struct wl_touch_listener*)implementation;
    touchData = data;
    return 0;
  }
  // Quelvo's listener goes on as a copy of it with one event ours; the original is kept.
#define OURS(name, original, copy, event, ours)                                  \
  if (strcmp(class, name) == 0)                                                  \
    original = (const void*)implementation, copy = *original, copy.event = ours, \
    implementation = (Implementation*)&copy;
  OURS("wl_registry", registry, ownRegistry, global, Global)
  OURS("wl_seat", seat, ownSeat, capabilities, Capabilities)
  OURS("wl_keyboard", keyboard, ownKeyboard, keymap, Keymap)
  OURS("wl_pointer", pointer, ownPointer, enter, Enter)
  return real(proxy, implementation, data);
}

// Requests go on as libwayland's own marshalling reads them, but get_touch and the touch's
// release, which stay here.
struct wl_proxy* wl_proxy_marshal_flags(struct wl_proxy* proxy, uint32_t opcode,
                                        const struct wl_interface* interface, uint32_t version,
                                        uint32_t flags, ...) {
  if (proxy == (struct wl_proxy*)touch) {
    if (flags & WL_MARSHAL_FLAG_DESTROY) wl_proxy_wrapper_destroy(proxy), touch = NULL;
    return NULL;
  }
  if (strcmp(wl_proxy_get_class(proxy), "wl_seat") == 0 && opcode == WL_SEAT_GET_TOUCH) {
    touch = (struct wl_touch*)wl_proxy_create_wrapper(proxy);
    return (struct wl_proxy*)touch;
  }
  union wl_argument args[20];  // libwayland's most
  // A proxy starts with its wl_object, whose first member is the interface.
  const char* signature = (*(const struct wl_interface**)proxy)->methods[opcode].signature;
  va_list ap;
  va_start(ap, flags);
  int n = 0;  // the signature's version digits and '?' name no argument
  for (const char* c = signature; *c != '\0'; ++c) {
    if (strchr("iuhf", *c)) args[n++].i = va_arg(ap, int32_t);
    if (strchr("sona", *c)) args[n++].o = va_arg(ap, struct wl_object*);
  }
  va_end(ap);
  return wl_proxy_marshal_array_flags(proxy, opcode, interface, version, flags, args);
}
