// What the preview platform knows of the one run it hosts: the host's area, the run's
// windows, its timers on the host's clock, the damage waiting for the next Draw, and
// whether the run has ended. Shared by the files of this folder only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "forms/damage_list.h"
#include "platform/linux_shared/linux_user32.h"
#include "platform/platform.h"
#include "platform/raster/raster.h"

namespace preview {

using platform::PixelRect;
using platform::WindowHandle;

// The run's own handles: the desktop it is told of, and the host's preview window it
// is put into. Handles of the run's windows start above them.
constexpr WindowHandle kDesktopWindow = 1;
constexpr WindowHandle kHostWindow = 2;

// rect: a form's relative to its parent (the desktop or the host, both at the area's
// corner), a frame's relative to its form.
struct WindowRecord : linux_platform::User32Window {
  WindowHandle handle = 0;
  bool isFrame = false;
  WindowHandle parent = kDesktopWindow;  // frames: their form
  platform::Colour backColour = 0;
  std::int32_t clientWidth = 0, clientHeight = 0;
};

struct Timer {
  platform::TimerHandle handle = 0;
  std::int64_t period = 1;   // in 1/64 s
  std::int64_t nextDue = 0;  // 1/64 s since the run's clock started
};

struct Run {
  std::int32_t width = 1, height = 1, scale = 1;  // the host's area, logical pixels
  std::string commandLine;
  std::vector<std::unique_ptr<WindowRecord>> windows;
  WindowHandle nextWindow = 0x100;
  std::vector<Timer> timers;
  platform::TimerHandle nextTimer = 1;
  bool clockStarted = false;
  std::int64_t clockOrigin = 0;  // the host's micros at quantum 0
  std::int64_t now = 0;          // quantum
  forms::DamageList damage;      // in the area, logical pixels
  bool redrawAll = true;
  bool quit = false;
  int status = 0;
  bool screenSaverActive = true;
  int cursorCount = 0;
};

// The run being hosted; reset by each Host.
Run& CurrentRun();
void BeginRun(std::int32_t width, std::int32_t height, std::int32_t scale);

WindowRecord* FindWindow(WindowHandle handle);
// A form put into the host's window, which the area shows.
bool Embedded(const WindowRecord& w);
// The form that shows in the area (the run has one), or null.
WindowRecord* ShownForm();
// A window's rectangle in the area; empty for one that does not show there.
PixelRect InArea(const WindowRecord& w);
// Marks a window's rectangle in the area for the next Draw.
void DamageInArea(const WindowRecord& w);
// A form's rect and client size as they now are, told to the runtime when they changed.
void NoteGeometry(WindowRecord& w, const PixelRect& rect);

// Moves the clock to `micros`: each timer due by then ticks once at most.
void AdvanceClock(std::int64_t micros);
// Composes the damage into the canvas; false when there was none.
bool PaintDamage(raster::Canvas& canvas);
// A click (press and release) at a point of the area, and a key, given to the run's
// windows as the platform's events.
void ClickAt(int x, int y);
void KeyDown(int keyCode);

}  // namespace preview
