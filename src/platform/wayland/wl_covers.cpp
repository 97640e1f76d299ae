// Implements: the covers: a layer-shell overlay or a full-screen xdg_toplevel per output,
// answered at each configure with the shared black pixel stretched to the size given
// (or, without a viewport, a black buffer of that size), and covers closed by the
// compositor, whose outputs stay bare.
#include "platform/wayland/wl_covers.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/wayland/wl_buffers.h"
#include "platform/wayland/wl_surfaces.h"

namespace wayland {
namespace {

struct Cover {
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  xdg_surface* xdg = nullptr;
  xdg_toplevel* toplevel = nullptr;
  wp_viewport* viewport = nullptr;
  const Output* output = nullptr;
  std::int32_t width = 0, height = 0;  // logical, as shown
  std::int32_t pendingWidth = 0, pendingHeight = 0;
  bool closed = false;
  Buffer whole;  // only without a viewport
};

constexpr std::uint32_t kAllEdges =
    ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

std::vector<std::unique_ptr<Cover>> covers;
// Outputs whose cover the compositor closed.
std::vector<const Output*> refused;

Cover& Of(void* data) { return *static_cast<Cover*>(data); }

// Every configure is answered by a commit; a new size gets black of that size.
void Show(Cover& c, std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) {
    const platform::PixelRect r = c.output->Layout();
    width = std::max(1, r.Width());
    height = std::max(1, r.Height());
  }
  if (width != c.width || height != c.height) {
    wl_buffer* black = nullptr;
    if (c.viewport != nullptr) {
      black = BlackPixel();
      // The pixel's middle only: pixman-based compositors round the stretch, and a 1 x 1
      // source stretched whole leaves the last rows of a 1080-row output past its edge.
      const wl_fixed_t quarter = wl_fixed_from_double(0.25), half = wl_fixed_from_double(0.5);
      wp_viewport_set_source(c.viewport, quarter, quarter, half, half);
      wp_viewport_set_destination(c.viewport, width, height);
    } else {
      // The old one goes at once: the new one replaces it in this very commit.
      if (CreateBuffer(c.whole, width, height)) black = c.whole.buffer;
    }
    if (black == nullptr) return;  // no memory: the compositor shows nothing there
    c.width = width;
    c.height = height;
    wl_surface_attach(c.surface, black, 0, 0);
    wl_surface_damage(c.surface, 0, 0, width, height);
  }
  wl_surface_commit(c.surface);
}

void OnLayerConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                      std::uint32_t width, std::uint32_t height) {
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  Show(Of(data), static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
}

void OnLayerClosed(void* data, zwlr_layer_surface_v1*) { Of(data).closed = true; }

const zwlr_layer_surface_v1_listener kLayerListener = {.configure = OnLayerConfigure,
                                                       .closed = OnLayerClosed};

void OnToplevelConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                         wl_array*) {
  Of(data).pendingWidth = width;
  Of(data).pendingHeight = height;
}

void OnToplevelClose(void* data, xdg_toplevel*) { Of(data).closed = true; }
void OnToplevelBounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}
void OnToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener kToplevelListener = {.configure = OnToplevelConfigure,
                                                 .close = OnToplevelClose,
                                                 .configure_bounds = OnToplevelBounds,
                                                 .wm_capabilities = OnToplevelCapabilities};

void OnXdgConfigure(void* data, xdg_surface* xdg, std::uint32_t serial) {
  xdg_surface_ack_configure(xdg, serial);
  Cover& c = Of(data);
  Show(c, c.pendingWidth, c.pendingHeight);
}

const xdg_surface_listener kXdgListener = {.configure = OnXdgConfigure};

std::unique_ptr<Cover> MakeCover(const Output& output) {
  const Globals& g = W();
  auto c = std::make_unique<Cover>();
  c->output = &output;
  c->surface = wl_compositor_create_surface(g.compositor);
  if (g.viewporter != nullptr) c->viewport = wp_viewporter_get_viewport(g.viewporter, c->surface);
  if (g.layerShell != nullptr) {
    c->layer = zwlr_layer_shell_v1_get_layer_surface(g.layerShell, c->surface, output.output,
                                                     ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "quelvo");
    zwlr_layer_surface_v1_add_listener(c->layer, &kLayerListener, c.get());
    zwlr_layer_surface_v1_set_size(c->layer, 0, 0);
    zwlr_layer_surface_v1_set_anchor(c->layer, kAllEdges);
    zwlr_layer_surface_v1_set_exclusive_zone(c->layer, -1);
  } else {
    c->xdg = xdg_wm_base_get_xdg_surface(g.wmBase, c->surface);
    xdg_surface_add_listener(c->xdg, &kXdgListener, c.get());
    c->toplevel = xdg_surface_get_toplevel(c->xdg);
    xdg_toplevel_add_listener(c->toplevel, &kToplevelListener, c.get());
    xdg_toplevel_set_app_id(c->toplevel, "quelvo");
    xdg_toplevel_set_fullscreen(c->toplevel, output.output);
  }
  // The first commit has no buffer: the compositor answers with a configure.
  wl_surface_commit(c->surface);
  return c;
}

void Destroy(Cover& c) {
  if (surfaceGoing != nullptr) surfaceGoing(c.surface);
  if (c.toplevel != nullptr) xdg_toplevel_destroy(c.toplevel);
  if (c.xdg != nullptr) xdg_surface_destroy(c.xdg);
  if (c.layer != nullptr) zwlr_layer_surface_v1_destroy(c.layer);
  if (c.viewport != nullptr) wp_viewport_destroy(c.viewport);
  wl_surface_destroy(c.surface);
  DestroyBuffer(c.whole);
}

// Removes the covers `gone` picks.
template <typename Pick>
void DropCovers(Pick gone) {
  std::erase_if(covers, [&](std::unique_ptr<Cover>& c) {
    if (!gone(*c)) return false;
    Destroy(*c);
    return true;
  });
}

}  // namespace

void KeepCovers(const Output* rain) {
  DropCovers([&](const Cover& c) { return rain == nullptr || c.output == rain; });
  if (rain == nullptr) return;
  for (const auto& o : Outputs()) {
    if (o.get() == rain || !o->announced || std::ranges::find(refused, o.get()) != refused.end())
      continue;
    const auto covered = [&](const auto& c) { return c->output == o.get(); };
    if (std::ranges::none_of(covers, covered)) covers.push_back(MakeCover(*o));
  }
}

const Output* CoverOutput(wl_surface* surface) {
  for (const auto& c : covers) {
    if (surface != nullptr && c->surface == surface) return c->output;
  }
  return nullptr;
}

void CoverOutputGone(const Output& output) {
  std::erase(refused, &output);
  DropCovers([&](const Cover& c) { return c.output == &output; });
}

void DropClosedCovers() {
  // A cover closed goes alone (its output is leaving, as a rule); the rain stays.
  DropCovers([](const Cover& c) {
    if (c.closed) refused.push_back(c.output);
    return c.closed;
  });
}

void DestroyCovers() {
  DropCovers([](const Cover&) { return true; });
  refused.clear();
}

}  // namespace wayland
