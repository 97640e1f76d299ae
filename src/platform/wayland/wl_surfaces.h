// The surface that shows a form: a window (xdg_toplevel) for a form with a border, a
// full-screen surface on one output for a borderless one; its configure and close events,
// its scale and its two buffers. Frames have no surface: they are composed into their
// form's buffer above its labels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "forms/damage_list.h"
#include "platform/platform.h"
#include "platform/wayland/wl_buffers.h"
#include "platform/wayland/wl_connection.h"
#include "platform/wayland/wl_outputs.h"

namespace wayland {

struct Surface {
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  xdg_surface* xdg = nullptr;
  xdg_toplevel* toplevel = nullptr;
  zxdg_toplevel_decoration_v1* decoration = nullptr;
  wp_fractional_scale_v1* fractional = nullptr;
  wp_viewport* viewport = nullptr;

  // The output a full-screen surface stands on; null for a window.
  Output* output = nullptr;
  platform::WindowHandle form = 0;
  // The form's client size, for a compositor that leaves the size to us.
  std::int32_t designWidth = 1, designHeight = 1;
  // Told when the compositor gave the surface a new size.
  void (*resized)(Surface&) = nullptr;

  std::int32_t width = 0, height = 0;                // logical pixels, as configured
  std::int32_t pendingWidth = 0, pendingHeight = 0;  // xdg_toplevel's, until acknowledged
  std::uint32_t scale120 = 120;                      // scale in 120ths (fractional-scale's unit)
  // What the compositor was told with the last buffer.
  std::int32_t shownWidth = 0, shownHeight = 0;
  std::uint32_t shownScale120 = 0;
  bool configured = false;
  bool closed = false;  // the compositor took it away

  wl_callback* frame = nullptr;  // the frame callback we wait for
  Buffer buffers[2];
  Buffer* front = nullptr;            // the buffer committed last
  forms::DamageList damage;           // logical pixels, to repaint
  std::vector<wl_output*> enteredOn;  // outputs a window is on, for its scale
};

struct SurfaceDesc {
  platform::WindowHandle form = 0;
  std::string caption;
  std::int32_t clientWidth = 1, clientHeight = 1;
  Output* output = nullptr;  // full screen there; null for a window
  void (*resized)(Surface&) = nullptr;
};

std::unique_ptr<Surface> MakeSurface(const SurfaceDesc& desc);
void DestroySurface(std::unique_ptr<Surface>& surface);
// Told of each surface of ours (covers too) just before it goes.
extern void (*surfaceGoing)(wl_surface* surface);

// The scale as a factor, and a logical rectangle in buffer pixels (outward).
double ScaleOf(const Surface& surface);
platform::PixelRect ToBuffer(const Surface& surface, const platform::PixelRect& logical);
// Takes the outputs' integer scale again (a surface without fractional scale).
void FollowOutputScale(Surface& surface);
// The surface is no longer on this output: left, or the output removed without a leave.
void LeaveOutput(Surface& surface, wl_output* output);
// A buffer of this size the compositor does not hold: the one shown last where the
// compositor let it go, else the other, made or remade if need be; null when both are
// held (or memory ran out): the paint waits. A buffer of another size goes at once.
Buffer* TakeBuffer(Surface& surface, std::int32_t width, std::int32_t height);

}  // namespace wayland
