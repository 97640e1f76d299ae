// Damage bookkeeping and the double-buffered paint pass.
#pragma once

#include "platform/platform.h"
#include "platform/x11/x11_window.h"

namespace x11 {

// Adds an area of the window's client area to repaint, merging it with a pending
// area where that costs little overdraw.
void AddDamage(WindowRecord& window, const platform::PixelRect& area);
void ClearDamage(WindowRecord& window);
// Paints every window with pending damage: one DescribePaint per window, each area
// composed in its own slot of the back buffer and copied to the window.
void PaintPending();
// Whether any window waits to be painted.
bool HasPendingPaint();
void ReleasePaintResources();

}  // namespace x11
