// What a platform provides to the form runtime: windows, timers, painting and the
// message loop. Each platform folder implements every function here; the one linked
// into an executable is the platform it runs on. The platform calls back into the
// runtime through forms/events.h.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// A window handle as the program sees it: a 32-bit value, 0 for none.
using WindowHandle = std::int32_t;
using TimerHandle = std::int32_t;
// 0x00BBGGRR; values with the top bit set name a system colour (see SystemColour).
using Colour = std::uint32_t;

// Pixels; right and bottom are exclusive.
struct PixelRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Intersects(const PixelRect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

enum class FormBorder {
  Borderless,  // popup: the window is its client area
  Sizable,     // ordinary frame: title bar, system menu, min/max buttons, sizing border
};

struct FormWindowDesc {
  FormBorder border = FormBorder::Borderless;
  std::string_view caption;
  Colour backColour = 0;
  // Client area in pixels. A borderless form is placed at (0, 0); a sizable one
  // where the platform places new windows.
  std::int32_t clientWidth = 0;
  std::int32_t clientHeight = 0;
  bool hasIcon = false;  // the program's icon on the window
};

// The arguments the process was started with, after the program's own path.
std::string CommandLine();

// Dots per inch of the display the forms appear on; twips per pixel = 1440 / Dpi().
int Dpi();
// Size of the primary screen in pixels.
std::int32_t ScreenWidth();
std::int32_t ScreenHeight();
// A system colour (the runtime passes the index: the low byte of a 0x800000xx colour),
// e.g. 15 the face of buttons, 18 the text of buttons.
Colour SystemColour(int index);

// A form's top-level window; created hidden.
WindowHandle CreateFormWindow(const FormWindowDesc& desc);
// A frame: a child window of a form, drawn above everything the form paints itself.
WindowHandle CreateFrameWindow(WindowHandle parent, const PixelRect& rect, Colour backColour,
                               bool visible);
// Destroys a window of ours (and its children). Harmless on a window already gone.
void DestroyWindow(WindowHandle window);
// Shows or hides. Showing an already visible window changes nothing (no activation).
void SetWindowVisible(WindowHandle window, bool visible);
// Moves and sizes: relative to the parent's client area, or the screen for a
// top-level window. For a sizable form the rect is its outer frame.
void SetWindowRect(WindowHandle window, const PixelRect& rect);
// Marks areas of a window's client area to be repainted. The platform later asks the
// runtime what to draw there (forms::events::DescribePaint), once for all the areas
// marked since the last paint, and presents the result without flicker.
void Invalidate(WindowHandle window, std::span<const PixelRect> areas);

// Periodic timer owned by a window of ours; ticks arrive as forms::events::TimerTick.
// Ticks never come faster than the platform's timer resolution and never pile up.
TimerHandle StartTimer(WindowHandle owner, std::uint32_t intervalMs);
void StopTimer(TimerHandle timer);

// Runs the message loop until Quit; returns the status given to Quit.
int RunMessageLoop();
// Ends the message loop; the process then exits with this status.
void Quit(int status);

}  // namespace platform
