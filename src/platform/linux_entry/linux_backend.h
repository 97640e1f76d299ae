// A Linux display backend as the entry sees it: every call of linux_calls.h, and the
// three the entry needs to start and stop it. Both backends are linked into quelvo; the
// entry picks one and the forwarders call through its table.
#pragma once

#include <string>

#include "platform/linux_shared/linux_calls.h"

namespace linux_platform {

struct Backend {
  const char* name;
  // Opens the connection to the display; false when none accepts it.
  bool (*Connect)();
  // Records the program's command line and starts the clock, once Connect succeeded.
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

// The two tables (linux_backend_x11.cpp, linux_backend_wayland.cpp).
extern const Backend kX11Backend;
extern const Backend kWaylandBackend;

// The backend the platform calls go to: none until the entry chooses.
const Backend& Active();
void Activate(const Backend& backend);

}  // namespace linux_platform
