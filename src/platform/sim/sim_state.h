// The simulated machine's state, shared by the sim's source files.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/sim.h"

namespace sim::detail {

struct Timer {
  platform::TimerHandle handle = 0;
  WindowHandle owner = 0;
  std::int64_t periodMicros = 0;
  std::int64_t dueMicros = 0;
  bool alive = true;
};

struct PendingPaint {
  WindowHandle window = 0;
  std::vector<PixelRect> areas;
};

struct State {
  int screenWidth = 1024;
  int screenHeight = 768;
  int dpi = 96;
  std::string commandLine;
  std::int64_t now = 0;

  std::map<WindowHandle, Window> windows;  // by handle; destroyed ones stay, not alive
  std::vector<WindowHandle> zOrder;        // top-level windows, bottom first
  WindowHandle nextHandle = 0x20000;
  WindowHandle desktop = 0x10010;
  WindowHandle active = 0;

  std::vector<Timer> timers;  // in the order they were started
  platform::TimerHandle nextTimer = 1;

  int cursorCount = 0;
  bool screenSaverActive = true;
  int creations = 0;  // windows of ours asked for since Reset
  int refusedCreation = -1;
  bool screenSaverReadFails = false;
  bool logging = true;
  std::vector<Call> calls;

  std::vector<PendingPaint> pending;  // one entry per window, reused
  std::vector<PaintRecord> records;   // reused between passes
  std::size_t recordCount = 0;
  std::int64_t paintPasses = 0;

  bool quit = false;
  int exitStatus = 0;
};

State& state();
Window* Live(WindowHandle handle);
bool EffectivelyVisible(const Window& window);
// Screen position of a window's top-left corner.
void ScreenOrigin(const Window& window, std::int32_t& x, std::int32_t& y);
void SetRect(Window& window, const PixelRect& rect);
void SetVisible(Window& window, bool visible);
void Log(Fn fn, std::initializer_list<std::int64_t> args);
void InvalidateWhole(const Window& window);
void DestroyTree(WindowHandle handle, std::vector<WindowHandle>& destroyedOurs);

}  // namespace sim::detail
