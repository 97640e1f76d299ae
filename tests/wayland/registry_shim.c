// Preloaded into quelvo by the sway tests, to show it what these compositors cannot:
// - no layer-shell: globals named in QUELVO_SHIM_HIDE (comma-separated) are never announced;
// - a touch screen: the seat reports touch, quelvo's wl_touch stays on this side (sway
//   refuses one on a seat that never had touch), and once the file QUELVO_SHIM_TOUCH names
//   exists, a touch goes down and up where the pointer next enters, through quelvo's own
//   wl_touch listener: no compositor here sends touch, so this is the path just below the
//   protocol;
// - a keymap that cannot be read: with QUELVO_SHIM_NO_KEYMAP set, the keyboard's keymap
//   comes as "no keymap".
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
static int touched;

static int Hidden(const char* interface) {
  const char* list = getenv("QUELVO_SHIM_HIDE");
  const size_t length = strlen(interface);
  for (const char* at = list; at != NULL && *at != '\0'; at += strcspn(at, ",") + 1) {
    if (strncmp(at, interface, length) == 0 && (at[length] == ',' || at[length] == '\0')) return 1;
    if (at[strcspn(at, ",")] == '\0') break;
  }
  return 0;
}

static void Global(void* data, struct wl_registry* r, uint32_t name, const char* interface,
                   uint32_t version) {
  if (!Hidden(interface)) registry->global(data, r, name, interface, version);
}
static void GlobalRemove(void* data, struct wl_registry* r, uint32_t name) {
  registry->global_remove(data, r, name);
}
static const struct wl_registry_listener kRegistry = {Global, GlobalRemove};

static void Capabilities(void* data, struct wl_seat* s, uint32_t capabilities) {
  if (getenv("QUELVO_SHIM_TOUCH") != NULL) capabilities |= WL_SEAT_CAPABILITY_TOUCH;
  seat->capabilities(data, s, capabilities);
}
static void SeatName(void* data, struct wl_seat* s, const char* name) { seat->name(data, s, name); }
static const struct wl_seat_listener kSeat = {Capabilities, SeatName};

static struct wl_pointer_listener ownPointer;
static void Enter(void* data, struct wl_pointer* p, uint32_t serial, struct wl_surface* surface,
                  wl_fixed_t x, wl_fixed_t y) {
  pointer->enter(data, p, serial, surface, x, y);
  const char* file = getenv("QUELVO_SHIM_TOUCH");
  if (touched || touchListener == NULL || file == NULL || access(file, F_OK) != 0) return;
  touched = 1;
  touchListener->down(touchData, touch, serial + 1, 0, surface, 0, x, y);
  touchListener->frame(touchData, touch);
  if (touch == NULL) return;  // the touch ended the run
  touchListener->up(touchData, touch, serial + 2, 10, 0);
  touchListener->frame(touchData, touch);
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
  if (strcmp(class, "wl_registry") == 0) {
    registry = (const struct wl_registry_listener*)implementation;
    implementation = (Implementation*)&kRegistry;
  } else if (strcmp(class, "wl_seat") == 0) {
    seat = (const struct wl_seat_listener*)implementation;
    implementation = (Implementation*)&kSeat;
  } else if (strcmp(class, "wl_keyboard") == 0) {
    keyboard = (const struct wl_keyboard_listener*)implementation;
    ownKeyboard = *keyboard;
    ownKeyboard.keymap = Keymap;
    implementation = (Implementation*)&ownKeyboard;
  } else if (strcmp(class, "wl_pointer") == 0) {
    pointer = (const struct wl_pointer_listener*)implementation;
    ownPointer = *pointer;
    ownPointer.enter = Enter;
    implementation = (Implementation*)&ownPointer;
  }
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
  const struct wl_interface* is = *(const struct wl_interface* const*)proxy;
  const char* signature = is->methods[opcode].signature;
  va_list ap;
  va_start(ap, flags);
  int n = 0;
  for (const char* c = signature; *c != '\0'; ++c) {
    switch (*c) {
      case 'i':
      case 'h':
        args[n++].i = va_arg(ap, int32_t);
        break;
      case 'u':
        args[n++].u = va_arg(ap, uint32_t);
        break;
      case 'f':
        args[n++].f = va_arg(ap, wl_fixed_t);
        break;
      case 's':
        args[n++].s = va_arg(ap, const char*);
        break;
      case 'o':
      case 'n':
        args[n++].o = va_arg(ap, struct wl_object*);
        break;
      case 'a':
        args[n++].a = va_arg(ap, struct wl_array*);
        break;
      default:
        break;  // '?' and the version digits
    }
  }
  va_end(ap);
  return wl_proxy_marshal_array_flags(proxy, opcode, interface, version, flags, args);
}
