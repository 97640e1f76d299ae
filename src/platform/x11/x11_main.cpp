// Implements: the process entry point of quelvo on X11: records the command line,
// routes signals, opens the display, runs the program, gives everything back.
#include <cstdio>
#include <cstdlib>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_loop.h"
#include "platform/x11/x11_system.h"
#include "platform/x11/x11_timer.h"
#include "saver/startup.h"

int main(int argc, char** argv) {
  x11::SetArguments(argc, argv);
  x11::InstallSignalHandling();
  if (!x11::OpenConnection()) {
    std::fprintf(stderr, "quelvo: cannot open the X display (is DISPLAY set?)\n");
    return 1;
  }
  x11::StartClock();
  // The program may end the process from inside the loop; give back what we took then too.
  std::atexit(x11::Shutdown);
  const int status = quelvo::Main();
  x11::Shutdown();
  return status;
}
