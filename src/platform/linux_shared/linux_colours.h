// The classic Windows system colours both Linux backends answer SystemColour with, so
// that designs look as they were drawn.
#pragma once

#include "platform/platform.h"

namespace linux_platform {

// 0x00BBGGRR, indexed like the Windows COLOR_* constants; 0 past the table.
platform::Colour ClassicColour(int index);

}  // namespace linux_platform
