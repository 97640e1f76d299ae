// The one funnel through which a platform hands events to the form runtime. Every
// platform turns its own messages into these calls; routing and filtering happen here,
// once. Positions are pixels in the client area of the window named.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/platform.h"

namespace forms {
struct FontSpec;
}

namespace forms::events {

using platform::Colour;
using platform::PixelRect;
using platform::TimerHandle;
using platform::WindowHandle;

// Shift state as the program sees it: 1 Shift, 2 Ctrl, 4 Alt.
// Mouse buttons: 1 left, 2 right, 4 middle.
void KeyDown(WindowHandle window, int keyCode, int shift);
// The character a key down produced, right after that key down.
void KeyChar(WindowHandle window, int charCode);
void MouseDown(WindowHandle window, int button, int shift, int x, int y);
void MouseUp(WindowHandle window, int button, int shift, int x, int y);
void MouseMove(WindowHandle window, int buttons, int shift, int x, int y);
// The user asked to close a form's window (close button, Alt+F4, window manager).
void CloseRequest(WindowHandle window);
// A window of ours was destroyed by someone else (its parent went away).
void WindowDestroyed(WindowHandle window);
// A window's rectangle changed, whoever changed it: relative to its parent, or the
// screen for a top-level window; for a sizable form the outer frame, with the size of
// its client area alongside.
void WindowRectChanged(WindowHandle window, const PixelRect& rect, std::int32_t clientWidth,
                       std::int32_t clientHeight);
void TimerTick(TimerHandle timer);
// The process is asked to end (a signal, the session closing): every loaded form is
// unloaded in turn, each raising its Unload procedure, and the process ends.
void Terminate();

// One label to draw (colours already resolved to 0x00BBGGRR): its text, left-aligned from the
// top-left corner of its rectangle and clipped to it; the rectangle filled with backColour first
// when opaque.
struct PaintItem {
  PixelRect rect;
  std::string_view text;
  const FontSpec* font = nullptr;
  Colour foreColour = 0;
  Colour backColour = 0;
  bool opaque = false;
};

struct PaintScene {
  Colour background = 0;             // the window's own background
  std::span<const PaintItem> items;  // in painting order, bottom first
};

// What to draw in a window where it meets any of these areas: the window's
// background and every visible label that touches them. The platform clips to the
// areas itself. The scene stays valid until the next call into the runtime.
PaintScene DescribePaint(WindowHandle window, std::span<const PixelRect> areas);

}  // namespace forms::events
