// Composed areas kept on the server for reuse. A falling column of labels looks the
// same from one tick to the next, only a little further down: its strip, composed
// once, is copied from here instead of being filled and drawn again. An entry is found
// by everything that decides the area's pixels, compared in full, never by a hash
// alone, so a copy from here is always what drawing the area would give.
#pragma once

#include "forms/events.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {

struct AtlasPlace {
  int x, y;
};

// Starts describing an area: its size and the background of its window.
void BeginAreaKey(const platform::PixelRect& area, platform::Colour background);
// Adds an item that meets the area, in painting order.
void AddToAreaKey(const forms::events::PaintItem& item);

struct CachedArea {
  const AtlasPlace* place = nullptr;  // null: the area is not kept
  bool found = false;                 // false: the place is new, to be filled now
};
// Looks up the area just described. When it is not there, reserves a place for it
// that stays valid for this pass; the caller copies the composed area there before
// any copy out of the cache.
CachedArea FindOrReserveArea();

// The pixmap the places are in (None until an area is kept).
Pixmap AreaAtlas();
// Called at the start of each paint pass: a full cache is emptied only between passes.
void BeginCachePass();
void ReleaseAreaCache();

}  // namespace x11
