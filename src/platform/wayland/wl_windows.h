// The windows of ours the wayland layer knows about, and the surfaces that show them.
// A form shown gets one surface: a window (xdg_toplevel) for a form with a border, a
// full-screen surface on the rain's output for a borderless one, whose run also puts a
// black cover on every other output. Frames have no surface: they are composed into
// their form's buffer above its labels.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "forms/damage_list.h"
#include "platform/linux_shared/linux_user32.h"
#include "platform/platform.h"
#include "platform/wayland/wl_connection.h"
#include "platform/wayland/wl_outputs.h"

namespace wayland {

using Clock = std::chrono::steady_clock;

// One wl_shm buffer; the compositor holds it from attach until release.
struct Buffer {
  wl_buffer* buffer = nullptr;
  std::uint32_t* pixels = nullptr;
  std::size_t bytes = 0;
  std::int32_t width = 0, height = 0, stride = 0;
  bool busy = false;
  // Areas (buffer pixels) where it lags behind the buffer shown last.
  forms::DamageList stale;
};

struct Surface {
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  xdg_surface* xdg = nullptr;
  xdg_toplevel* toplevel = nullptr;
  zxdg_toplevel_decoration_v1* decoration = nullptr;
  wp_fractional_scale_v1* fractional = nullptr;
  wp_viewport* viewport = nullptr;
  zwp_idle_inhibitor_v1* inhibitor = nullptr;

  // The output a full-screen surface stands on; null for a window.
  Output* output = nullptr;
  // The form shown, 0 for a cover.
  platform::WindowHandle form = 0;

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

// rect: frames in their form; forms in the layout, the outer frame.
struct WindowRecord : linux_platform::User32Window {
  platform::WindowHandle handle = 0;
  platform::FormBorder border = platform::FormBorder::Borderless;
  std::string caption;
  bool isFrame = false;
  platform::WindowHandle ownerForm = 0;  // frames: the form they belong to
  platform::Colour backColour = 0;
  std::int32_t clientWidth = 0, clientHeight = 0;
  bool topmost = false;
  bool embedded = false;             // put into a window that is not ours: never shown here
  std::unique_ptr<Surface> surface;  // forms, while shown
};

WindowRecord* FindWindow(platform::WindowHandle handle);
// Every window, the list kept by the caller so that a pass allocates nothing.
void ListWindows(std::vector<WindowRecord*>& out);
// The borderless form shown full screen, if any.
WindowRecord* FullScreenForm();
// The visible frames of a form, topmost last.
void FramesOf(const WindowRecord& form, std::vector<WindowRecord*>& out);

// Every surface of ours: form surfaces and covers.
void ListSurfaces(std::vector<Surface*>& out);
Surface* SurfaceOf(wl_surface* surface);

// Makes, keeps or removes surfaces as the windows and outputs stand now: a surface
// per shown form, a cover per other output while one is full screen. Cheap when
// nothing changed.
void UpdateSurfaces();
// An output is about to go: what stands on it goes too.
void OutputGone(const Output& output);
// True once when the run must end: a surface closed by the compositor, or the
// full-screen form's output gone.
bool TakeEndRequest();
// Destroys every surface and window (before the connection goes).
void DestroyAllSurfaces();
// The compositor gave a form's surface its size: the form takes it.
void NoteConfiguredSize(Surface& surface);

// Surface roles and buffers (wl_surfaces.cpp).
std::unique_ptr<Surface> MakeSurface(WindowRecord* form, Output* output);
void DestroySurface(std::unique_ptr<Surface>& surface);
// The scale as a factor, and a logical rectangle in buffer pixels (outward).
double ScaleOf(const Surface& surface);
platform::PixelRect ToBuffer(const Surface& surface, const platform::PixelRect& logical);
// Takes the outputs' integer scale again (a surface without fractional scale).
void FollowOutputScale(Surface& surface);
// The idle inhibitor on a full-screen surface follows the screen-saver flag.
void ApplyIdleInhibit(Surface& surface, bool inhibit);
// A buffer of this size the compositor does not hold, made or remade if need be; null
// when both are held (or memory ran out): the paint waits.
Buffer* TakeBuffer(Surface& surface, std::int32_t width, std::int32_t height);

}  // namespace wayland
