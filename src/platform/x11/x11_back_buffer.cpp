// Implements: the back buffer's pixmap and the shelf packing of a pass's slots.
#include "platform/x11/x11_back_buffer.h"

#include <algorithm>

#include "platform/x11/x11_connection.h"

namespace x11 {
namespace {

BackBuffer back;
int backWidth = 0;
int backHeight = 0;

// Rows of slots, left to right; as wide as the widest area or this, whichever is more.
constexpr int kShelfWidth = 1024;
// Many tall areas would stack past what a pixmap may be; their bounding box fits.
constexpr int kMaxHeight = 4096;

void EnsureSize(int width, int height) {
  if (width <= backWidth && height <= backHeight) return;
  Display* d = X().display;
  const int w = std::max(width, backWidth);
  const int h = std::max(height, backHeight);
  if (back.picture != None) XRenderFreePicture(d, back.picture);
  if (back.pixmap != None) XFreePixmap(d, back.pixmap);
  back.pixmap = XCreatePixmap(d, X().root, static_cast<unsigned>(w), static_cast<unsigned>(h),
                              static_cast<unsigned>(X().depth));
  back.picture =
      XRenderCreatePicture(d, back.pixmap, XRenderFindVisualFormat(d, X().visual), 0, nullptr);
  if (back.gc == nullptr) {
    XGCValues values{};
    values.graphics_exposures = False;  // copies from a pixmap never need NoExpose events
    back.gc = XCreateGC(d, back.pixmap, GCGraphicsExposures, &values);
  }
  backWidth = w;
  backHeight = h;
}

}  // namespace

namespace {

// Shelf packing: left to right, a new shelf below the tallest slot of the last one.
// Returns the height the slots take.
int Pack(std::span<const platform::PixelRect> areas, int gap, int shelfWidth,
         std::vector<SlotOrigin>* origins) {
  int x = 0, y = 0, shelfHeight = 0;
  for (const platform::PixelRect& a : areas) {
    if (x > 0 && x + a.Width() > shelfWidth) {
      x = 0;
      y += shelfHeight + gap;
      shelfHeight = 0;
    }
    if (origins != nullptr) origins->push_back({x, y});
    x += a.Width() + gap;
    shelfHeight = std::max(shelfHeight, a.Height());
  }
  return y + shelfHeight;
}

int ShelfWidth(std::span<const platform::PixelRect> areas) {
  int width = kShelfWidth;
  for (const platform::PixelRect& a : areas) width = std::max(width, a.Width());
  return width;
}

}  // namespace

bool SlotsFit(std::span<const platform::PixelRect> areas, int gap) {
  return Pack(areas, gap, ShelfWidth(areas), nullptr) <= kMaxHeight;
}

const BackBuffer& PackSlots(std::span<const platform::PixelRect> areas, int gap,
                            std::vector<SlotOrigin>& origins) {
  const int width = ShelfWidth(areas);
  origins.clear();
  EnsureSize(width, Pack(areas, gap, width, &origins));
  return back;
}

void ReleaseBackBuffer() {
  Display* d = X().display;
  if (back.picture != None) XRenderFreePicture(d, back.picture);
  if (back.gc != nullptr) XFreeGC(d, back.gc);
  if (back.pixmap != None) XFreePixmap(d, back.pixmap);
  back = BackBuffer{};
  backWidth = backHeight = 0;
}

}  // namespace x11
