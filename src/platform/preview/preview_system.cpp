// Implements: the run's start (a fresh state, the command line a "/p" process in the
// host's window gets), platform::CommandLine, Dpi (96: the runtime works in logical
// pixels and the area is drawn at its scale), ScreenWidth/Height (the host's area: the
// run's whole display) and SystemColour (linux_colours' classic ones).
#include <algorithm>
#include <string>

#include "platform/linux_shared/linux_colours.h"
#include "platform/preview/preview_run.h"

namespace preview {
namespace {
Run run;
}  // namespace

Run& CurrentRun() { return run; }

void BeginRun(std::int32_t width, std::int32_t height, std::int32_t scale) {
  run = Run();
  run.width = std::max(width, 1);
  run.height = std::max(height, 1);
  run.scale = std::max(scale, 1);
  run.commandLine = "/p " + std::to_string(kHostWindow);
  run.windows.reserve(4);
  run.timers.reserve(8);
  run.damage.Reserve(256);
  run.damage.SetBounds(run.width, run.height);
}

}  // namespace preview

namespace platform {

std::string CommandLine() { return preview::CurrentRun().commandLine; }
int Dpi() { return 96; }
// The area is all the run sees of a display: its banner and rain are laid out in it.
std::int32_t ScreenWidth() { return preview::CurrentRun().width; }
std::int32_t ScreenHeight() { return preview::CurrentRun().height; }
Colour SystemColour(int index) { return linux_platform::ClassicColour(index); }

}  // namespace platform
