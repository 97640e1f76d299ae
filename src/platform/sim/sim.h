// The simulated platform that unit tests drive: a virtual clock, a window tree, the
// cursor count and screen-saver flag, a log of the window functions called, input fed
// at pixel positions, and a record of what each paint pass repainted.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/user32.h"

namespace sim {

using platform::PixelRect;
using platform::WindowHandle;

// Starts a fresh machine: no windows but the desktop, clock at 0, cursor count 0,
// screen-saver activation on. Call before creating the application.
void Reset(int screenWidth = 1024, int screenHeight = 768, int dpi = 96);
void SetCommandLine(std::string_view commandLine);

// --- time ---------------------------------------------------------------------
inline constexpr std::int64_t kTickMicros = 15625;  // the timer resolution, 1/64 s
std::int64_t NowMicros();
// Moves the clock on, delivering every due timer tick in order (ties in the order the
// timers were started), each followed by a paint pass.
void Advance(double milliseconds);
void AdvanceTicks(int ticks);  // by whole periods of the timer resolution

// --- windows ------------------------------------------------------------------
struct Window {
  WindowHandle handle = 0;
  WindowHandle parent = 0;  // 0: a top-level window
  WindowHandle owner = 0;
  std::int32_t style = 0;
  PixelRect rect;  // relative to the parent's client area, or the screen
  std::int32_t clientWidth = 0;
  std::int32_t clientHeight = 0;
  bool visible = false;
  bool topmost = false;
  bool ours = false;   // created through the platform, not by a host
  bool frame = false;  // a frame of a form
  bool alive = true;
  bool sizable = false;
  std::string caption;
};

WindowHandle Desktop();
const Window* Find(WindowHandle handle);  // alive or destroyed; null if never made
std::vector<WindowHandle> Children(WindowHandle parent);
WindowHandle ActiveWindow();
// A foreign top-level window, as a host's preview window is.
WindowHandle CreateHostWindow(int clientWidth, int clientHeight);
// Destroys a window and its children, as the host or a user would; ours hear of it.
void DestroyWindow(WindowHandle handle);
// Windows of ours that are alive, top-level and visible.
int VisibleTopLevelWindows();
// Windows of ours that are alive: forms and frames, shown or not.
int LiveWindowsOfOurs();

// --- system state --------------------------------------------------------------
int CursorCount();
bool ScreenSaverActive();
void SetScreenSaverActive(bool active);

// --- failures on purpose --------------------------------------------------------
// The window creation with this index since Reset (0 the first, forms and frames
// alike) fails as a real system can; -1 refuses none.
void RefuseWindowCreation(int index);
// SPI_GETSCREENSAVEACTIVE fails from now on, leaving its result untouched.
void FailScreenSaverRead(bool fail);

// --- the window-function log -------------------------------------------------------
enum class Fn {
  SetWindowPos,
  GetClientRect,
  GetWindowLongA,
  SetWindowLongA,
  SetParent,
  GetDesktopWindow,
  GetWindowRect,
  ShowCursor,
  SystemParametersInfoA,
  IsWindow,
};
struct Call {
  Fn fn;
  std::array<std::int64_t, 7> args{};
};
const std::vector<Call>& Calls();
void ClearCalls();
void SetCallLogging(bool on);  // off for long runs

// --- input (pixel positions in the client area of the window named; mouse events go
// to the topmost visible child window of ours under the point, as a real system does)
void KeyDown(WindowHandle window, int keyCode, int shift = 0);
void KeyPress(WindowHandle window, int charCode);
// A key that makes a character: key down, then key press when charCode is not 0.
void Key(WindowHandle window, int keyCode, int charCode);
void MouseDown(WindowHandle window, int x, int y, int button = 1);
void MouseUp(WindowHandle window, int x, int y, int button = 1);
void MouseMove(WindowHandle window, int x, int y);
void Click(WindowHandle window, int x, int y);
void CloseRequest(WindowHandle window);
void Terminate();

// --- painting -------------------------------------------------------------------
struct PaintedItem {
  PixelRect rect;
  std::string text;
  platform::Colour foreColour = 0;
  // Font and background as one line, e.g. "Arial 12 bold, transparent".
  std::string_view look;
};
struct PaintRecord {
  WindowHandle window = 0;
  platform::Colour background = 0;
  std::vector<PixelRect> areas;
  std::vector<PaintedItem> items;
};
// Runs a paint pass now (the platform does so after every event).
void Paint();
// Forgets the damage waiting for the next paint pass, which then paints nothing.
void DiscardDamage();
// What the last paint pass that painted anything repainted, one record per window.
std::span<const PaintRecord> LastPaint();
std::int64_t PaintPasses();
void ClearPaint();

// --- process --------------------------------------------------------------------
bool QuitCalled();
int ExitStatus();

}  // namespace sim
