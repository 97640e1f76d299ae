// The value types the program's procedures are written in.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace forms {

using Integer = std::int16_t;  // counters
using Long = std::int32_t;
using Single = float;  // positions and sizes in twips
using Double = double;
// Flags: -1 for true, 0 for false.
using Boolean = std::int16_t;
inline constexpr Boolean True = -1;
inline constexpr Boolean False = 0;

using platform::Colour;
// A colour with the top bit set names a system colour by its low byte.
inline constexpr Colour kSystemColourFlag = 0x80000000u;
inline constexpr Colour vbButtonFace = kSystemColourFlag | 15;
inline constexpr Colour vbButtonText = kSystemColourFlag | 18;

}  // namespace forms
