// The platform and user32 calls a Linux display backend provides, named once so that no
// backend and no table can miss one. Each backend defines them in a namespace of its own
// (platform::on_x11, user32::on_wayland, ...); the entry's forwarders call through them.
#pragma once

#include "platform/platform.h"
#include "platform/user32.h"

// StartTimer and StopTimer are not among them: both backends run their timers on one
// grid (linux_timer_grid), which the forwarders call directly.
#define QUELVO_PLATFORM_CALLS(X)                                                                 \
  X(CommandLine)                                                                                 \
  X(Dpi)                                                                                         \
  X(ScreenWidth)                                                                                 \
  X(ScreenHeight)                                                                                \
  X(SystemColour)                                                                                \
  X(CreateFormWindow) X(CreateFrameWindow) X(DestroyWindow) X(SetWindowVisible) X(SetWindowRect) \
      X(Invalidate) X(RunMessageLoop) X(Quit)
#define QUELVO_USER32_CALLS(X) \
  X(SetWindowPos)              \
  X(GetClientRect)             \
  X(GetWindowLongA)            \
  X(SetWindowLongA)            \
  X(SetParent)                 \
  X(GetDesktopWindow) X(GetWindowRect) X(ShowCursor) X(SystemParametersInfoA) X(IsWindow)

// Declares a backend's own definitions (in its namespace) with the public signatures.
#define QUELVO_DECLARE_PLATFORM_CALL(name) decltype(::platform::name) name;
#define QUELVO_DECLARE_USER32_CALL(name) decltype(::user32::name) name;
