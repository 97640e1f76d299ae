/* A Wayland client for the idle tests. "inhibit": a black 64x64 window holding a
 * zwp_idle_inhibitor_v1 until killed. "kwin-move": a pointer move through KWin's fake
 * input per stdin line. */
#define _GNU_SOURCE
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"
#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

static struct wl_compositor* compositor;
static struct wl_shm* shm;
static struct xdg_wm_base* wm;
static struct zwp_idle_inhibit_manager_v1* inhibits;
static struct org_kde_kwin_fake_input* fake;

static void global(void* data, struct wl_registry* r, uint32_t name, const char* iface,
                   uint32_t version) {
  (void)data, (void)version;
  if (!strcmp(iface, "wl_compositor"))
    compositor = wl_registry_bind(r, name, &wl_compositor_interface, 4);
  if (!strcmp(iface, "wl_shm")) shm = wl_registry_bind(r, name, &wl_shm_interface, 1);
  if (!strcmp(iface, "xdg_wm_base")) wm = wl_registry_bind(r, name, &xdg_wm_base_interface, 1);
  if (!strcmp(iface, "zwp_idle_inhibit_manager_v1"))
    inhibits = wl_registry_bind(r, name, &zwp_idle_inhibit_manager_v1_interface, 1);
  if (!strcmp(iface, "org_kde_kwin_fake_input"))
    fake = wl_registry_bind(r, name, &org_kde_kwin_fake_input_interface, 1);
}
static void global_remove(void* data, struct wl_registry* r, uint32_t name) {
  (void)data, (void)r, (void)name;
}
static const struct wl_registry_listener registry_listener = {global, global_remove};

static void ping(void* data, struct xdg_wm_base* base, uint32_t serial) {
  (void)data, xdg_wm_base_pong(base, serial);
}
static const struct xdg_wm_base_listener wm_listener = {ping};

static struct wl_buffer* buffer;
static void configure(void* data, struct xdg_surface* xdg, uint32_t serial) {
  struct wl_surface* surface = data;
  xdg_surface_ack_configure(xdg, serial);
  wl_surface_attach(surface, buffer, 0, 0);
  wl_surface_commit(surface);
}
static const struct xdg_surface_listener surface_listener = {configure};

int main(int argc, char** argv) {
  struct wl_display* display = wl_display_connect(NULL);
  if (display == NULL || argc < 2) return 1;
  wl_registry_add_listener(wl_display_get_registry(display), &registry_listener, NULL);
  wl_display_roundtrip(display);
  if (!strcmp(argv[1], "kwin-move")) {
    if (fake == NULL) return 1;
    org_kde_kwin_fake_input_authenticate(fake, "quelvo tests", "idle input");
    for (char line[64]; fgets(line, sizeof line, stdin) != NULL; wl_display_roundtrip(display))
      org_kde_kwin_fake_input_pointer_motion(fake, wl_fixed_from_int(1), wl_fixed_from_int(0));
    return 0;
  }
  if (compositor == NULL || shm == NULL || wm == NULL || inhibits == NULL) return 1;
  const int size = 64 * 64 * 4, fd = memfd_create("idle-client", 0);
  if (fd < 0 || ftruncate(fd, size) != 0) return 1;
  struct wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
  buffer = wl_shm_pool_create_buffer(pool, 0, 64, 64, 64 * 4, WL_SHM_FORMAT_XRGB8888);
  struct wl_surface* surface = wl_compositor_create_surface(compositor);
  xdg_wm_base_add_listener(wm, &wm_listener, NULL);
  struct xdg_surface* xdg = xdg_wm_base_get_xdg_surface(wm, surface);
  xdg_surface_add_listener(xdg, &surface_listener, surface);
  xdg_surface_get_toplevel(xdg);
  zwp_idle_inhibit_manager_v1_create_inhibitor(inhibits, surface);
  wl_surface_commit(surface);
  while (wl_display_dispatch(display) >= 0) {
  }
  return 0;
}
