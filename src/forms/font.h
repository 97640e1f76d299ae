// A label's font as the design gives it. Designs hold their fonts as constants, so a
// platform may cache its native font by the font's address.
#pragma once

#include <string_view>

namespace forms {

struct FontSpec {
  std::string_view family;
  float points = 8.25f;
  int weight = 400;  // 400 normal, 700 bold
};

// The runtime's default for forms and their controls.
inline constexpr FontSpec kDefaultFont{"MS Sans Serif", 8.25f, 400};

}  // namespace forms
