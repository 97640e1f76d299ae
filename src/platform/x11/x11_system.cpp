// Implements: platform::CommandLine, Dpi (Xft.dpi, else 96), ScreenWidth/Height and
// SystemColour (the classic Windows defaults, so designs look as they were drawn).
#include "platform/x11/x11_system.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

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

Colour SystemColour(int index) {
  // 0x00BBGGRR, indexed like the Windows COLOR_* constants.
  static constexpr std::array<Colour, 31> kColours = {
      0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xF0F0F0, 0xFFFFFF, 0x000000, 0x000000,
      0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xF0F0F0,
      0xA0A0A0, 0x808080, 0x000000, 0x000000, 0xFFFFFF, 0x404040, 0xE3E3E3, 0x000000,
      0xE1FFFF, 0xB5B5B5, 0xCC6600, 0xF0CAA6, 0xF2E4C0, 0xFF9933, 0xF0F0F0};
  if (index < 0 || index >= static_cast<int>(kColours.size())) return 0;
  return kColours[static_cast<std::size_t>(index)];
}

}  // namespace platform::on_x11
