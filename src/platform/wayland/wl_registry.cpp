// Implements: the connection to the compositor and its registry: the globals bound,
// outputs coming and going, the seat, and the connection closed again.
#include "platform/wayland/wl_registry.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/wayland/wl_connection.h"
#include "platform/wayland/wl_input.h"
#include "platform/wayland/wl_outputs.h"
#include "platform/wayland/wl_windows.h"

namespace wayland {
namespace {

template <typename T>
T* Bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface,
        std::uint32_t offered, std::uint32_t wanted) {
  return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

void OnPing(void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener kWmBaseListener = {.ping = OnPing};

void OnGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
  const std::string_view is = interface;
  Globals& g = W();
  if (is == wl_compositor_interface.name) {
    g.compositor = Bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
  } else if (is == wl_shm_interface.name) {
    g.shm = Bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
  } else if (is == wl_seat_interface.name && g.seat == nullptr) {
    g.seat = Bind<wl_seat>(registry, name, &wl_seat_interface, version, 5);
    WatchSeat();
  } else if (is == wl_output_interface.name) {
    AddOutput(Bind<wl_output>(registry, name, &wl_output_interface, version, 4), name);
  } else if (is == xdg_wm_base_interface.name) {
    g.wmBase = Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 2);
    xdg_wm_base_add_listener(g.wmBase, &kWmBaseListener, nullptr);
  } else if (is == zwlr_layer_shell_v1_interface.name) {
    g.layerShell =
        Bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version, 4);
  } else if (is == zxdg_output_manager_v1_interface.name) {
    g.outputManager =
        Bind<zxdg_output_manager_v1>(registry, name, &zxdg_output_manager_v1_interface, version, 3);
    WatchLogicalGeometry();
  } else if (is == zxdg_decoration_manager_v1_interface.name) {
    g.decorations = Bind<zxdg_decoration_manager_v1>(
        registry, name, &zxdg_decoration_manager_v1_interface, version, 1);
  } else if (is == wp_fractional_scale_manager_v1_interface.name) {
    g.fractionalScale = Bind<wp_fractional_scale_manager_v1>(
        registry, name, &wp_fractional_scale_manager_v1_interface, version, 1);
  } else if (is == wp_viewporter_interface.name) {
    g.viewporter = Bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
  } else if (is == wp_single_pixel_buffer_manager_v1_interface.name) {
    g.singlePixel = Bind<wp_single_pixel_buffer_manager_v1>(
        registry, name, &wp_single_pixel_buffer_manager_v1_interface, version, 1);
  }
}

// Whatever stands on an output goes first, while the output can still be named.
void OnGlobalRemove(void*, wl_registry*, std::uint32_t name) {
  if (const Output* output = OutputNamed(name)) {
    OutputGone(*output);
    RemoveOutput(name);
  }
}

const wl_registry_listener kRegistryListener = {.global = OnGlobal,
                                                .global_remove = OnGlobalRemove};

// libwayland would say on stderr itself why it cannot find the socket; the entry says
// it in one line of its own instead.
bool SocketNameable() {
  const char* name = std::getenv("WAYLAND_DISPLAY");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return std::getenv("WAYLAND_SOCKET") != nullptr || (name != nullptr && name[0] == '/') ||
         (runtime != nullptr && runtime[0] != '\0');
}

}  // namespace

bool Connect() {
  if (!SocketNameable()) return false;
  Globals& g = W();
  g.display = wl_display_connect(nullptr);
  if (g.display == nullptr) return false;
  g.registry = wl_display_get_registry(g.display);
  wl_registry_add_listener(g.registry, &kRegistryListener, nullptr);
  // The globals, then what the outputs and the seat say about themselves. Windows need
  // xdg-shell (the about box has no other way to appear); layer-shell is optional.
  if (wl_display_roundtrip(g.display) < 0 || wl_display_roundtrip(g.display) < 0 ||
      g.compositor == nullptr || g.shm == nullptr || g.wmBase == nullptr) {
    Disconnect();
    return false;
  }
  return true;
}

void Disconnect() {
  Globals& g = W();
  if (g.display == nullptr) return;
  ReleaseSeat();
  ForgetOutputs();
  // Proxies are freed one by one; the compositor forgets them with the connection.
  for (wl_proxy* proxy :
       {reinterpret_cast<wl_proxy*>(g.compositor), reinterpret_cast<wl_proxy*>(g.shm),
        reinterpret_cast<wl_proxy*>(g.wmBase), reinterpret_cast<wl_proxy*>(g.layerShell),
        reinterpret_cast<wl_proxy*>(g.outputManager), reinterpret_cast<wl_proxy*>(g.decorations),
        reinterpret_cast<wl_proxy*>(g.fractionalScale), reinterpret_cast<wl_proxy*>(g.viewporter),
        reinterpret_cast<wl_proxy*>(g.singlePixel), reinterpret_cast<wl_proxy*>(g.registry)}) {
    if (proxy != nullptr) wl_proxy_destroy(proxy);
  }
  wl_display_disconnect(g.display);
  g = {};
}

}  // namespace wayland
