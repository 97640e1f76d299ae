// The pixmap a paint pass composes its damaged areas in before they go to the window.
// Each area gets its own slot, packed tightly from the top-left corner rather than at
// its place on the screen: a pass then touches a few hundred rows of the pixmap, not
// the rows of the whole screen, which is what drawing into it costs the server most.
// The pixmap has a bound: larger areas are composed in pieces, one batch after another.
#pragma once

#include <cstddef>
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

struct PieceSize {
  int width, height;
};

// The largest piece of an area a slot may hold: the back buffer never grows past it.
PieceSize PieceLimit();
// After the server failed to make the back buffer: smaller pieces, slower but still
// drawn. False when they are as small as they go.
bool ShrinkPieces();

// Places areas from the front of the list in slots, each at least gap pixels from every
// other, so that ink spilling out of one area by less than gap leaves the other slots
// alone; as many as fit in the bounded back buffer (at least one, as no area may be
// larger than PieceLimit). Adds their origins, returns how many it placed and grows the
// pixmap as needed: nullptr when the server could not.
const BackBuffer* PackSlots(std::span<const platform::PixelRect> areas, int gap,
                            std::vector<SlotOrigin>& origins, std::size_t& placed);
void ReleaseBackBuffer();

}  // namespace x11
