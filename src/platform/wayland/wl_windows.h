// The windows of ours the wayland layer knows about, and which surfaces stand where: a
// surface per shown form (a window for a form with a border, full screen on the rain's
// output for a borderless one, whose run also covers every other output), none for
// frames, which their form's buffer shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux_shared/linux_user32.h"
#include "platform/platform.h"
#include "platform/wayland/wl_outputs.h"
#include "platform/wayland/wl_surfaces.h"

namespace wayland {

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

// The surfaces of the shown forms.
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

}  // namespace wayland
