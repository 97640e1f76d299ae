// The pixmap a paint pass composes its damaged areas in before they go to the window.
// Each area gets its own slot, packed tightly from the top-left corner rather than at
// its place on the screen: a pass then touches a few hundred rows of the pixmap, not
// the rows of the whole screen, which is what drawing into it costs the server most.
#pragma once

#include <span>
#include <vector>

#include "platform/x11/x11_xlib.h"

namespace x11 {

struct BackBuffer {
  Pixmap pixmap = None;
  Picture picture = None;
  GC gc = nullptr;  // copies out of it: no clip, no exposure events
};

struct SlotOrigin {
  int x, y;
};

// Places each area in the back buffer, at least gap pixels from every other slot, so
// that ink drawn for one area that spills out of it by less than gap leaves the other
// slots alone. Grows the pixmap as needed.
const BackBuffer& PackSlots(std::span<const platform::PixelRect> areas, int gap,
                            std::vector<SlotOrigin>& origins);
// Whether the slots of these areas stay within the size a pixmap may have.
bool SlotsFit(std::span<const platform::PixelRect> areas, int gap);
void ReleaseBackBuffer();

}  // namespace x11
