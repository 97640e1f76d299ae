// A Linux display backend as the entry sees it: every function of platform.h and
// user32.h but the timers, and the three the entry needs to start and stop it. Both
// backends are linked into quelvo; the entry picks one and the forwarders call through
// its table.
#pragma once

#include <string>

#include "platform/platform.h"
#include "platform/user32.h"

// The calls a backend provides, named once so that no table can miss one.
// StartTimer and StopTimer are not among them: both backends run their timers on one
// grid (linux_timer_grid), which the forwarders call directly.
#define QUELVO_PLATFORM_CALLS(X)                                                                \
  X(CommandLine)                                                                                \
  X(Dpi)                                                                                        \
  X(ScreenWidth)                                                                                \
  X(ScreenHeight)                                                                               \
  X(SystemColour) X(CreateFormWindow) X(CreateFrameWindow) X(DestroyWindow) X(SetWindowVisible) \
      X(SetWindowRect) X(Invalidate) X(RunMessageLoop) X(Quit)
#define QUELVO_USER32_CALLS(X)                                                             \
  X(SetWindowPos)                                                                          \
  X(GetClientRect)                                                                         \
  X(GetWindowLongA)                                                                        \
  X(SetWindowLongA)                                                                        \
  X(SetParent) X(GetDesktopWindow) X(GetWindowRect) X(ShowCursor) X(SystemParametersInfoA) \
      X(IsWindow)

// Declares a backend's own definitions (in its namespace) with the public signatures.
#define QUELVO_DECLARE_PLATFORM_CALL(name) decltype(::platform::name) name;
#define QUELVO_DECLARE_USER32_CALL(name) decltype(::user32::name) name;

namespace linux_platform {

struct Backend {
  const char* name;
  // Opens the connection to the display; false when none accepts it.
  bool (*Connect)();
  // Routes the ending signals into the loop, records the program's command line and
  // starts the clock, once Connect succeeded.
  void (*Start)(std::string commandLine);
  // Gives back what the run took and closes the connection; safe to call twice.
  void (*Shutdown)();

#define QUELVO_POINTER_TO_PLATFORM_CALL(name) decltype(&::platform::name) name;
#define QUELVO_POINTER_TO_USER32_CALL(name) decltype(&::user32::name) name;
  QUELVO_PLATFORM_CALLS(QUELVO_POINTER_TO_PLATFORM_CALL)
  QUELVO_USER32_CALLS(QUELVO_POINTER_TO_USER32_CALL)
#undef QUELVO_POINTER_TO_PLATFORM_CALL
#undef QUELVO_POINTER_TO_USER32_CALL
};

// The backend the platform calls go to.
const Backend& Active();
void Activate(const Backend& backend);

}  // namespace linux_platform
