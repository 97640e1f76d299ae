// Implements: the classic system colours of linux_colours.h.
#include "platform/linux_shared/linux_colours.h"

#include <array>

namespace linux_platform {

platform::Colour ClassicColour(int index) {
  static constexpr std::array<platform::Colour, 31> kColours = {
      0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xF0F0F0, 0xFFFFFF, 0x000000, 0x000000,
      0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xF0F0F0,
      0xA0A0A0, 0x808080, 0x000000, 0x000000, 0xFFFFFF, 0x404040, 0xE3E3E3, 0x000000,
      0xE1FFFF, 0xB5B5B5, 0xCC6600, 0xF0CAA6, 0xF2E4C0, 0xFF9933, 0xF0F0F0};
  if (index < 0 || index >= static_cast<int>(kColours.size())) return 0;
  return kColours[static_cast<std::size_t>(index)];
}

}  // namespace linux_platform
