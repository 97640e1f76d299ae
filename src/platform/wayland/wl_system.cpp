// Implements: the backend's start (the command line kept, the clock started),
// platform::CommandLine, Dpi (96: the runtime works in logical pixels and
// each surface is drawn at its own scale), ScreenWidth/Height (the rain's output in
// logical pixels) and SystemColour (linux_colours' classic ones).

#include <string>

#include "platform/linux_shared/linux_colours.h"
#include "platform/wayland/wl_backend.h"
#include "platform/wayland/wl_outputs.h"
#include "platform/wayland/wl_timer.h"

namespace wayland {
namespace {
std::string arguments;

// Before any output is announced, the size a 4:3 desktop had.
platform::PixelRect Screen() {
  const Output* rain = RainOutput();
  return rain != nullptr ? rain->Layout() : platform::PixelRect{0, 0, 1024, 768};
}
}  // namespace

void Start(std::string commandLine) {
  arguments = std::move(commandLine);
  StartClock();
}

}  // namespace wayland

namespace platform::on_wayland {

std::string CommandLine() { return wayland::arguments; }
int Dpi() { return 96; }
std::int32_t ScreenWidth() { return wayland::Screen().Width(); }
std::int32_t ScreenHeight() { return wayland::Screen().Height(); }
Colour SystemColour(int index) { return linux_platform::ClassicColour(index); }

}  // namespace platform::on_wayland
