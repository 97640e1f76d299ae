// Implements: the X11 backend's start for the Linux entry, and the check of a daemon's
// window.
#include "platform/x11/x11_backend.h"

#include <cstdio>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_loop.h"
#include "platform/x11/x11_system.h"
#include "platform/x11/x11_timer.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {
namespace {

bool WindowExists(unsigned long window) {
  if (window == 0) return false;
  ErrorTrap trap;
  XWindowAttributes attributes;
  const Status ok = XGetWindowAttributes(X().display, window, &attributes);
  return ok != 0 && !trap.Failed();
}

}  // namespace

bool Connect() { return OpenConnection(); }

void Start(std::string commandLine) {
  SetCommandLine(std::move(commandLine));
  StartClock();
}

std::optional<std::string> EmbeddingCommand(std::optional<unsigned long> window,
                                            std::string& error) {
  // A daemon's window becomes the program's own preview: the program never knows.
  const unsigned long host = window.value_or(X().root);
  if (!WindowExists(host)) {
    char text[64];
    std::snprintf(text, sizeof text, "no window 0x%lx on this display", host);
    error = text;
    return std::nullopt;
  }
  return "/p " + std::to_string(host);
}

}  // namespace x11
