// The user32 bookkeeping both Linux backends keep alike, whatever shows the windows:
// SetWindowPos's reading of its flags, the style word and owner of GetWindowLongA and
// SetWindowLongA, SystemParametersInfoA's reading of its action, and ShowCursor's
// display count.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/user32.h"

namespace linux_platform {

// The part of a window of ours user32 reads; each backend's window record derives from it.
struct User32Window {
  platform::PixelRect rect;  // where the window stands (each backend says relative to what)
  bool visible = false;      // what the runtime or program asked for
  // The style word (WS_VISIBLE aside: that is `visible`) and owner. Only recorded: the
  // window's nature follows from SetParent and the runtime, not from these bits.
  std::int32_t style = 0;
  std::int32_t owner = 0;
};

// SetWindowPos's arguments after the window.
struct WindowPos {
  user32::HWND insertAfter;
  int x, y, cx, cy;
  user32::UINT flags;
};

// What SetWindowPos asks of the display system, each on the window's handle.
struct WindowPosSteps {
  void (*setRect)(platform::WindowHandle, const platform::PixelRect&);
  void (*keepOnTop)(platform::WindowHandle);
  void (*setVisible)(platform::WindowHandle, bool);
};

// The user32 calls on `window`, a window of ours, or null for any other handle (then
// they fail as on Windows, returning 0).
user32::BOOL SetWindowPos(const User32Window* window, user32::HWND hWnd, const WindowPos& pos,
                          const WindowPosSteps& steps);
user32::LONG GetWindowLong(const User32Window* window, int index);
user32::LONG SetWindowLong(User32Window* window, int index, user32::LONG value);

// SystemParametersInfoA's screen-saver activation (SPI_SETSCREENSAVEACTIVE and
// SPI_GETSCREENSAVEACTIVE), which the display system keeps through `set` and `get`.
user32::BOOL SystemParametersInfo(user32::UINT action, user32::UINT param, void* pvParam,
                                  void (*set)(bool active), bool (*get)());

// ShowCursor: raises or lowers the display count and returns the new count; when the
// cursor goes from shown to hidden or back, `follow` makes our windows show it so.
int ShowCursor(user32::BOOL show, void (*follow)());
// While the count is below 0, our windows show no cursor.
bool CursorHidden();

}  // namespace linux_platform
