// The Wayland connection every wayland file shares: the display, the globals bound
// from the registry (wl_registry.cpp), and the end of the run when the compositor goes
// away.
#pragma once

#include "fractional-scale-v1-client-protocol.h"
#include "single-pixel-buffer-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-decoration-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace wayland {

struct Globals {
  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  wl_seat* seat = nullptr;
  xdg_wm_base* wmBase = nullptr;
  zwlr_layer_shell_v1* layerShell = nullptr;
  zxdg_output_manager_v1* outputManager = nullptr;
  zxdg_decoration_manager_v1* decorations = nullptr;
  wp_fractional_scale_manager_v1* fractionalScale = nullptr;
  wp_viewporter* viewporter = nullptr;
  wp_single_pixel_buffer_manager_v1* singlePixel = nullptr;
};

Globals& W();

// The compositor closed the connection or sent an error: nothing can be given back,
// so say so in one line and end at once.
[[noreturn]] void ConnectionLost();

}  // namespace wayland
