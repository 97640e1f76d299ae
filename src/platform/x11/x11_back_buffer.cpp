// Implements: the back buffer's pixmap within its bound, the smaller bound after a failed
// allocation, and the shelf packing of a pass's slots into batches.
#include "platform/x11/x11_back_buffer.h"

#include <algorithm>

#include "platform/x11/x11_connection.h"

namespace x11 {
namespace {

BackBuffer back;
int backWidth = 0;
int backHeight = 0;

void FreePixmap() {
  Display* d = X().display;
  if (back.picture != None) XRenderFreePicture(d, back.picture);
  if (back.pixmap != None) XFreePixmap(d, back.pixmap);
  back.picture = None;
  back.pixmap = None;
  backWidth = backHeight = 0;
}

// 8 MiB at 32 bits a pixel, whatever the screen: a full-screen expose at 16k would
// otherwise want a gigabyte.
PieceSize limit{2048, 1024};
constexpr int kSmallestPiece = 64;
// Rows of slots, left to right; as wide as the widest area or this, whichever is more.
constexpr int kShelfWidth = 1024;

bool EnsureSize(int width, int height) {
  if (width <= backWidth && height <= backHeight) return true;
  Display* d = X().display;
  const int w = std::max(width, backWidth);
  const int h = std::max(height, backHeight);
  Pixmap pixmap;
  Picture picture;
  {
    // One round trip, only when the buffer grows: an allocation the server refused
    // would otherwise leave every later pass drawing into nothing.
    ErrorTrap trap;
    pixmap = XCreatePixmap(d, X().root, static_cast<unsigned>(w), static_cast<unsigned>(h),
                           static_cast<unsigned>(X().depth));
    picture = XRenderCreatePicture(d, pixmap, XRenderFindVisualFormat(d, X().visual), 0, nullptr);
    if (trap.Failed()) {
      XRenderFreePicture(d, picture);
      XFreePixmap(d, pixmap);
      // The old one too: the next try asks for no more than it needs, of a server that
      // has that much more memory.
      FreePixmap();
      return false;
    }
  }
  FreePixmap();
  back.pixmap = pixmap;
  back.picture = picture;
  if (back.gc == nullptr) {
    XGCValues values{};
    values.graphics_exposures = False;  // copies from a pixmap never need NoExpose events
    back.gc = XCreateGC(d, back.pixmap, GCGraphicsExposures, &values);
  }
  backWidth = w;
  backHeight = h;
  return true;
}

}  // namespace

PieceSize PieceLimit() { return limit; }

bool ShrinkPieces() {
  if (limit.width <= kSmallestPiece && limit.height <= kSmallestPiece) return false;
  limit = {std::max(limit.width / 2, kSmallestPiece), std::max(limit.height / 2, kSmallestPiece)};
  return true;
}

const BackBuffer* PackSlots(std::span<const platform::PixelRect> areas, int gap,
                            std::vector<SlotOrigin>& origins, std::size_t& placed) {
  int shelfWidth = std::min(kShelfWidth, limit.width);
  for (const platform::PixelRect& a : areas) shelfWidth = std::max(shelfWidth, a.Width());
  // Shelf packing: left to right, a new shelf below the tallest slot of the last one.
  int x = 0, y = 0, shelfHeight = 0, used = 0;
  placed = 0;
  for (const platform::PixelRect& a : areas) {
    if (x > 0 && x + a.Width() > shelfWidth) {
      x = 0;
      y += shelfHeight + gap;
      shelfHeight = 0;
    }
    if (placed > 0 && y + a.Height() > limit.height) break;
    origins.push_back({x, y});
    ++placed;
    x += a.Width() + gap;
    shelfHeight = std::max(shelfHeight, a.Height());
    used = std::max(used, y + shelfHeight);
  }
  return EnsureSize(shelfWidth, used) ? &back : nullptr;
}

void ReleaseBackBuffer() {
  FreePixmap();
  if (back.gc != nullptr) XFreeGC(X().display, back.gc);
  back.gc = nullptr;
}

}  // namespace x11
