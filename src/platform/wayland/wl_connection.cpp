// Implements: the globals every wayland file shares, and the one-line end when the
// connection is lost.
#include "platform/wayland/wl_connection.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace wayland {
namespace {

Globals globals;

}  // namespace

Globals& W() { return globals; }

void ConnectionLost() {
  const int error = globals.display ? wl_display_get_error(globals.display) : 0;
  std::fprintf(stderr, "quelvo: lost the connection to the Wayland compositor (%s)\n",
               std::strerror(error != 0 ? error : EPIPE));
  std::fflush(stderr);
  _exit(1);
}

}  // namespace wayland
