// Implements: platform::CommandLine, Dpi (Xft.dpi, else 96), ScreenWidth/Height and
// SystemColour (linux_colours' classic ones).
#include "platform/x11/x11_system.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/linux_shared/linux_colours.h"
#include "platform/platform.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {
namespace {
std::string arguments;
}

void SetCommandLine(std::string line) { arguments = std::move(line); }

}  // namespace x11

namespace platform::on_x11 {

std::string CommandLine() { return x11::arguments; }

int Dpi() {
  static const int dpi = [] {
    const char* resources = XResourceManagerString(x11::X().display);
    if (resources == nullptr) return 96;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    int value = 96;
    char* type = nullptr;
    XrmValue found;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &found) && found.addr != nullptr) {
      const double parsed = std::strtod(found.addr, nullptr);
      if (parsed >= 24 && parsed <= 960) value = static_cast<int>(std::lround(parsed));
    }
    XrmDestroyDatabase(database);
    return value;
  }();
  return dpi;
}

std::int32_t ScreenWidth() { return x11::PrimaryMonitor().Width(); }
std::int32_t ScreenHeight() { return x11::PrimaryMonitor().Height(); }

Colour SystemColour(int index) { return linux_platform::ClassicColour(index); }

}  // namespace platform::on_x11
