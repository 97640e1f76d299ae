// Implements: the roles of a form's surface (a layer-shell overlay on its output where
// the compositor offers it, else a full-screen xdg_toplevel there; an ordinary
// xdg_toplevel for a form with a border), its configure and close events, its scale
// (fractional with a viewport, else the integer scale of its outputs), and the choice
// between its two buffers.
#include "platform/wayland/wl_surfaces.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "forms/events.h"

namespace wayland {
namespace {

constexpr std::uint32_t kAllEdges =
    ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

Surface& Of(void* data) { return *static_cast<Surface*>(data); }

// Everything is drawn again: a new size or scale.
void DamageAll(Surface& s) {
  s.damage.SetBounds(s.width, s.height);
  s.damage.Add({0, 0, s.width, s.height});
}

// The size the compositor gave, or ours where it left it to us; true when it changed.
bool TakeSize(Surface& s, std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) {
    if (s.output != nullptr) {
      const platform::PixelRect r = s.output->Layout();
      width = r.Width();
      height = r.Height();
    } else {
      width = s.designWidth;
      height = s.designHeight;
    }
  }
  width = std::max(1, width);
  height = std::max(1, height);
  // A configure that changes nothing (focus, activation) leaves the buffers as they are.
  if (s.configured && width == s.width && height == s.height) return false;
  s.width = width;
  s.height = height;
  s.configured = true;
  DamageAll(s);
  if (s.resized != nullptr) s.resized(s);
  return true;
}

// Every acknowledged configure is answered by a commit: sway holds a full-screen surface
// back (unmapped, taking no input) until one comes, and otherwise gives up only after 200 ms.
void Answer(Surface& s, bool resized) {
  if (!resized) {
    if (s.front != nullptr) wl_surface_commit(s.surface);  // the buffer shown stays
  } else if (s.frame != nullptr) {
    // A surface not mapped yet gets no frame callback: the new size is painted at once.
    wl_callback_destroy(std::exchange(s.frame, nullptr));
  }
}

void OnLayerConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                      std::uint32_t width, std::uint32_t height) {
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  Surface& s = Of(data);
  Answer(s, TakeSize(s, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)));
}

void OnLayerClosed(void* data, zwlr_layer_surface_v1*) { Of(data).closed = true; }

const zwlr_layer_surface_v1_listener kLayerListener = {.configure = OnLayerConfigure,
                                                       .closed = OnLayerClosed};

// xdg_toplevel's size waits for its xdg_surface configure.
void OnToplevelConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                         wl_array*) {
  Of(data).pendingWidth = width;
  Of(data).pendingHeight = height;
}

void OnToplevelClose(void* data, xdg_toplevel*) {
  Surface& s = Of(data);
  // A window asks its form; a full-screen surface closing ends the run.
  if (s.output == nullptr) {
    forms::events::CloseRequest(s.form);
  } else {
    s.closed = true;
  }
}

void OnToplevelBounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}
void OnToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener kToplevelListener = {.configure = OnToplevelConfigure,
                                                 .close = OnToplevelClose,
                                                 .configure_bounds = OnToplevelBounds,
                                                 .wm_capabilities = OnToplevelCapabilities};

void OnXdgConfigure(void* data, xdg_surface* xdg, std::uint32_t serial) {
  xdg_surface_ack_configure(xdg, serial);
  Surface& s = Of(data);
  const std::int32_t width = std::exchange(s.pendingWidth, 0);
  const std::int32_t height = std::exchange(s.pendingHeight, 0);
  Answer(s, (!s.configured || (width > 0 && height > 0)) && TakeSize(s, width, height));
}

const xdg_surface_listener kXdgListener = {.configure = OnXdgConfigure};

void OnPreferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale) {
  Surface& s = Of(data);
  if (scale == 0 || scale == s.scale120) return;
  s.scale120 = scale;
  DamageAll(s);
}

const wp_fractional_scale_v1_listener kFractionalListener = {.preferred_scale = OnPreferredScale};

}  // namespace

// Without fractional scale: the output's integer scale, or for a window the largest of
// the outputs it is on.
void FollowOutputScale(Surface& s) {
  if (s.fractional != nullptr) return;
  std::int32_t scale = s.output != nullptr ? s.output->scale : 1;
  for (wl_output* on : s.enteredOn) {
    if (const Output* o = OutputOf(on)) scale = std::max(scale, o->scale);
  }
  const std::uint32_t scale120 = static_cast<std::uint32_t>(scale) * 120;
  if (scale120 == s.scale120) return;
  s.scale120 = scale120;
  if (s.configured) DamageAll(s);
}

void LeaveOutput(Surface& s, wl_output* output) {
  std::erase(s.enteredOn, output);
  FollowOutputScale(s);
}

namespace {

void OnEnter(void* data, wl_surface*, wl_output* output) {
  Surface& s = Of(data);
  s.enteredOn.push_back(output);
  FollowOutputScale(s);
}

void OnLeave(void* data, wl_surface*, wl_output* output) { LeaveOutput(Of(data), output); }

const wl_surface_listener kSurfaceListener = {.enter = OnEnter, .leave = OnLeave};

}  // namespace

double ScaleOf(const Surface& s) { return static_cast<double>(s.scale120) / 120.0; }

platform::PixelRect ToBuffer(const Surface& s, const platform::PixelRect& r) {
  if (s.scale120 == 120) return r;
  const double k = ScaleOf(s);
  return {static_cast<std::int32_t>(std::floor(r.left * k)),
          static_cast<std::int32_t>(std::floor(r.top * k)),
          static_cast<std::int32_t>(std::ceil(r.right * k)),
          static_cast<std::int32_t>(std::ceil(r.bottom * k))};
}

void (*surfaceGoing)(wl_surface*) = nullptr;

std::unique_ptr<Surface> MakeSurface(const SurfaceDesc& desc) {
  const Globals& g = W();
  Output* output = desc.output;
  auto s = std::make_unique<Surface>();
  s->form = desc.form;
  s->output = output;
  s->designWidth = desc.clientWidth;
  s->designHeight = desc.clientHeight;
  s->resized = desc.resized;
  s->surface = wl_compositor_create_surface(g.compositor);
  wl_surface_add_listener(s->surface, &kSurfaceListener, s.get());
  if (g.fractionalScale != nullptr && g.viewporter != nullptr) {
    s->fractional =
        wp_fractional_scale_manager_v1_get_fractional_scale(g.fractionalScale, s->surface);
    wp_fractional_scale_v1_add_listener(s->fractional, &kFractionalListener, s.get());
    s->viewport = wp_viewporter_get_viewport(g.viewporter, s->surface);
  } else {
    FollowOutputScale(*s);
  }
  if (output != nullptr && g.layerShell != nullptr) {
    s->layer = zwlr_layer_shell_v1_get_layer_surface(g.layerShell, s->surface, output->output,
                                                     ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "quelvo");
    zwlr_layer_surface_v1_add_listener(s->layer, &kLayerListener, s.get());
    zwlr_layer_surface_v1_set_size(s->layer, 0, 0);
    zwlr_layer_surface_v1_set_anchor(s->layer, kAllEdges);
    zwlr_layer_surface_v1_set_exclusive_zone(s->layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        s->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
  } else {
    s->xdg = xdg_wm_base_get_xdg_surface(g.wmBase, s->surface);
    xdg_surface_add_listener(s->xdg, &kXdgListener, s.get());
    s->toplevel = xdg_surface_get_toplevel(s->xdg);
    xdg_toplevel_add_listener(s->toplevel, &kToplevelListener, s.get());
    xdg_toplevel_set_app_id(s->toplevel, "quelvo");
    xdg_toplevel_set_title(s->toplevel, desc.caption.c_str());
    if (output != nullptr) {
      xdg_toplevel_set_fullscreen(s->toplevel, output->output);
    } else {
      // A fixed size: tiling compositors then float it at the size it was designed for.
      xdg_toplevel_set_min_size(s->toplevel, desc.clientWidth, desc.clientHeight);
      xdg_toplevel_set_max_size(s->toplevel, desc.clientWidth, desc.clientHeight);
      if (g.decorations != nullptr) {
        s->decoration =
            zxdg_decoration_manager_v1_get_toplevel_decoration(g.decorations, s->toplevel);
        zxdg_toplevel_decoration_v1_set_mode(s->decoration,
                                             ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
      }
    }
  }
  // The first commit has no buffer: the compositor answers with a configure.
  wl_surface_commit(s->surface);
  return s;
}

void DestroySurface(std::unique_ptr<Surface>& s) {
  if (s == nullptr) return;
  if (surfaceGoing != nullptr) surfaceGoing(s->surface);
  if (s->frame != nullptr) wl_callback_destroy(s->frame);
  if (s->decoration != nullptr) zxdg_toplevel_decoration_v1_destroy(s->decoration);
  if (s->toplevel != nullptr) xdg_toplevel_destroy(s->toplevel);
  if (s->xdg != nullptr) xdg_surface_destroy(s->xdg);
  if (s->layer != nullptr) zwlr_layer_surface_v1_destroy(s->layer);
  if (s->viewport != nullptr) wp_viewport_destroy(s->viewport);
  if (s->fractional != nullptr) wp_fractional_scale_v1_destroy(s->fractional);
  wl_surface_destroy(s->surface);
  for (Buffer& b : s->buffers) DestroyBuffer(b);
  s.reset();
}

Buffer* TakeBuffer(Surface& s, std::int32_t width, std::int32_t height) {
  const auto fits = [&](const Buffer& b) {
    return b.buffer != nullptr && b.width == width && b.height == height;
  };
  // A buffer of another size is of no more use.
  for (Buffer& b : s.buffers) {
    if (b.buffer != nullptr && !fits(b)) {
      if (s.front == &b) s.front = nullptr;
      RetireBuffer(b);
    }
  }
  // The one shown last where the compositor let it go: then no second one is kept.
  if (s.front != nullptr && !s.front->busy) {
    for (Buffer& b : s.buffers) {
      if (&b != s.front) RetireBuffer(b);
    }
    return s.front;
  }
  for (Buffer& b : s.buffers) {
    if (&b == s.front || b.busy || b.retired) continue;
    if (fits(b) || CreateBuffer(b, width, height)) return &b;
    return nullptr;
  }
  return nullptr;
}

}  // namespace wayland
