// Preloaded into quelvo by the sway tests, to show it what these compositors cannot:
// - no layer-shell: globals named in QUELVO_SHIM_HIDE (comma-separated) are never announced;
// - a touch screen: the seat reports touch, and once the file QUELVO_SHIM_TOUCH names exists,
//   a touch goes down and up where the pointer last entered, through quelvo's own wl_touch
//   listener (no compositor here sends touch, so this is the path just below the protocol).
#define _GNU_SOURCE
#include <dlfcn.h>
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
static struct wl_surface* entered;
static wl_fixed_t enteredX, enteredY;
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
  entered = surface, enteredX = x, enteredY = y;
  pointer->enter(data, p, serial, surface, x, y);
}

int wl_proxy_add_listener(struct wl_proxy* proxy, Implementation* implementation, void* data) {
  static int (*real)(struct wl_proxy*, Implementation*, void*);
  if (real == NULL)
    real = (int (*)(struct wl_proxy*, Implementation*, void*))dlsym(RTLD_NEXT, __func__);
  const char* class = wl_proxy_get_class(proxy);
  if (strcmp(class, "wl_registry") == 0) {
    registry = (const struct wl_registry_listener*)implementation;
    implementation = (Implementation*)&kRegistry;
  } else if (strcmp(class, "wl_seat") == 0) {
    seat = (const struct wl_seat_listener*)implementation;
    implementation = (Implementation*)&kSeat;
  } else if (strcmp(class, "wl_pointer") == 0) {
    pointer = (const struct wl_pointer_listener*)implementation;
    ownPointer = *pointer;
    ownPointer.enter = Enter;
    implementation = (Implementation*)&ownPointer;
  } else if (strcmp(class, "wl_touch") == 0) {
    touch = (struct wl_touch*)proxy;
    touchListener = (const struct wl_touch_listener*)implementation;
    touchData = data;
  }
  return real(proxy, implementation, data);
}

int wl_display_dispatch_pending(struct wl_display* display) {
  static int (*real)(struct wl_display*);
  if (real == NULL) real = (int (*)(struct wl_display*))dlsym(RTLD_NEXT, __func__);
  const int dispatched = real(display);
  const char* file = getenv("QUELVO_SHIM_TOUCH");
  if (!touched && touch != NULL && entered != NULL && file != NULL && access(file, F_OK) == 0) {
    touched = 1;
    touchListener->down(touchData, touch, 1, 0, entered, 0, enteredX, enteredY);
    touchListener->frame(touchData, touch);
    touchListener->up(touchData, touch, 2, 10, 0);
    touchListener->frame(touchData, touch);
  }
  return dispatched;
}
