// The windows of ours the x11 layer knows about, and the changes every path that
// moves, shows or re-parents them shares (so WindowRectChanged is sent exactly once).
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "forms/damage_list.h"
#include "platform/linux_shared/linux_user32.h"
#include "platform/platform.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {

using Clock = std::chrono::steady_clock;

// rect: relative to the parent; the outer frame for a sizable form.
struct WindowRecord : linux_platform::User32Window {
  Window xid = 0;
  platform::WindowHandle handle = 0;
  platform::FormBorder border = platform::FormBorder::Borderless;
  bool isFrame = false;
  // A window of ours this one lives in (frames), 0 for a form.
  platform::WindowHandle ownerForm = 0;
  // The X parent as we set it: the root, a form of ours, or a host's window.
  Window parent = 0;
  bool embedded = false;  // parent is a host's window (a preview, a daemon's window)

  platform::Colour backColour = 0;
  std::int32_t clientWidth = 0;
  std::int32_t clientHeight = 0;

  bool viewable = false;  // mapped, as the server last reported
  int visibility = VisibilityFullyObscured;
  bool topmost = false;
  Clock::time_point lastRaise{};
  // Where a window manager put a sizable form: frame extents around the client.
  bool managed = false;
  int extentLeft = 0, extentRight = 0, extentTop = 0, extentBottom = 0;

  // Serial of our last move, size or re-parent: older configure events are stale.
  unsigned long configureSerial = 0;

  forms::DamageList damage;  // areas to repaint (x11_paint)
};

WindowRecord* FindWindow(platform::WindowHandle handle);
WindowRecord* FindWindowByX(Window xid);
std::vector<WindowRecord*> AllWindows();
// The same into a list the caller keeps, so that a pass on every tick allocates nothing.
void ListWindows(std::vector<WindowRecord*>& out);
// Forgets a window that no longer exists on the server.
void ForgetWindow(platform::WindowHandle handle);

// Moves and sizes; rect relative to the parent (outer frame for a sizable form).
// Sends WindowRectChanged when the rectangle or client size really changed.
void ApplyWindowRect(WindowRecord& window, const platform::PixelRect& rect);
// Records a geometry the server reported and tells the runtime if it changed.
void NoteGeometry(WindowRecord& window, const platform::PixelRect& rect, std::int32_t clientWidth,
                  std::int32_t clientHeight);
void ApplyVisible(WindowRecord& window, bool visible);
// Keeps a mapped top-level window above the others without a request when it is.
void KeepOnTop(WindowRecord& window);
// Re-parents into another X window at (0, 0); embedded when that window is a host's
// (someone else's, or the root named as one), not ours and not a way back to top-level.
void Reparent(WindowRecord& window, Window parent, bool embedded);
// Fits an embedded window to its host again after the host's size changed.
void FollowHost(WindowRecord& window);

}  // namespace x11
