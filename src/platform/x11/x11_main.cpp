// Implements: the process entry point of quelvo on X11: reads the Linux conventions
// around the command line (usage, version, a daemon's window), routes signals, opens
// the display, runs the program, gives everything back.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_invocation.h"
#include "platform/x11/x11_loop.h"
#include "platform/x11/x11_system.h"
#include "platform/x11/x11_timer.h"
#include "platform/x11/x11_xlib.h"
#include "saver/startup.h"

namespace {

std::string Joined(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) line += (line.empty() ? "" : " ") + arg;
  return line;
}

bool WindowExists(unsigned long window) {
  if (window == 0) return false;
  x11::ErrorTrap trap;
  XWindowAttributes attributes;
  const Status ok = XGetWindowAttributes(x11::X().display, window, &attributes);
  return ok != 0 && !trap.Failed();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const x11::Invocation call = x11::ReadInvocation(args, std::getenv("XSCREENSAVER_WINDOW"));
  switch (call.kind) {
    case x11::Invocation::Kind::Help:
      std::fputs(x11::Usage(), stdout);
      return 0;
    case x11::Invocation::Kind::Version:
      std::printf("quelvo %s\n", QUELVO_VERSION);
      return 0;
    case x11::Invocation::Kind::Error:
      std::fprintf(stderr, "quelvo: %s\n", call.error.c_str());
      return 1;
    default:
      break;
  }

  x11::InstallSignalHandling();
  if (!x11::OpenConnection()) {
    std::fprintf(stderr, "quelvo: cannot open the X display (is DISPLAY set?)\n");
    return 1;
  }
  std::string command = Joined(args);
  if (call.kind == x11::Invocation::Kind::Embedded) {
    // A daemon's window becomes the program's own preview: the program never knows.
    const unsigned long host = call.window.value_or(x11::X().root);
    if (!WindowExists(host)) {
      std::fprintf(stderr, "quelvo: no window 0x%lx on this display\n", host);
      x11::CloseConnection();
      return 1;
    }
    command = "/p " + std::to_string(host);
  }
  x11::SetCommandLine(command);
  x11::StartClock();
  // The program may end the process from inside the loop; give back what we took then too.
  std::atexit(x11::Shutdown);
  const int status = quelvo::Main();
  x11::Shutdown();
  return status;
}
