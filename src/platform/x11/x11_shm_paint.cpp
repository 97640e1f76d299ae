// Implements, in builds with QUELVO_X11_SHM_PAINT in place of x11_paint.cpp and
// x11_back_buffer.cpp: platform::Invalidate, damage merging, and a paint pass that
// composes each damaged area in client memory with the shared renderer, in its own
// slot of one image, and puts the slots into the window from a MIT-SHM segment (with
// plain XPutImage where the server offers no MIT-SHM, as over a network).
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "forms/events.h"
#include "platform/raster/raster.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_paint.h"
#include "platform/x11/x11_window.h"
#include "platform/x11/x11_xlib.h"
// After Xlib.
#include <X11/extensions/XShm.h>

namespace x11 {
namespace {

using platform::PixelRect;

// Past this many separate areas, one bounding box is cheaper than the bookkeeping.
constexpr std::size_t kMaxAreas = 256;
// Slots are packed in shelves this wide, or as wide as the widest area.
constexpr int kShelfWidth = 1024;

struct Image {
  XImage* image = nullptr;
  XShmSegmentInfo segment{};
  bool shared = false;
  std::vector<std::uint32_t> plain;  // the pixels without MIT-SHM
  raster::Canvas canvas;
};

Image back;
GC gc = nullptr;
// The last put whose source pixels the server may not have read yet.
unsigned long lastPut = 0;
// Where the next slot goes in the image during a pass.
int shelfX = 0, shelfY = 0, shelfHeight = 0;

std::vector<PixelRect> areas;
std::vector<raster::Slot> slots;
std::vector<WindowRecord*> windows;

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

bool Contains(const PixelRect& outer, const PixelRect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

// Waits until the server has read every put sent so far, so that their pixels may be
// drawn over. Puts are rarely still queued when the next pass comes.
void WaitForPuts() {
  if (lastPut == 0) return;
  if (LastKnownRequestProcessed(X().display) < lastPut) XSync(X().display, False);
  lastPut = 0;
  shelfX = shelfY = shelfHeight = 0;
}

void ReleaseImage() {
  if (back.image == nullptr) return;
  WaitForPuts();
  Display* d = X().display;
  if (back.shared) {
    XShmDetach(d, &back.segment);
    XSync(d, False);
    shmdt(back.segment.shmaddr);
  }
  back.image->data = nullptr;  // ours (shared memory or the vector), not Xlib's to free
  XDestroyImage(back.image);
  back = Image{};
}

bool AttachShared(int width, int height) {
  Display* d = X().display;
  if (!XShmQueryExtension(d)) return false;
  back.image =
      XShmCreateImage(d, X().visual, static_cast<unsigned>(X().depth), ZPixmap, nullptr,
                      &back.segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (back.image == nullptr) return false;
  const std::size_t bytes = static_cast<std::size_t>(back.image->bytes_per_line) * height;
  back.segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  void* memory = back.segment.shmid < 0 ? nullptr : shmat(back.segment.shmid, nullptr, 0);
  bool attached = false;
  if (memory != nullptr && memory != reinterpret_cast<void*>(-1)) {
    back.segment.shmaddr = back.image->data = static_cast<char*>(memory);
    back.segment.readOnly = False;
    ErrorTrap trap;
    XShmAttach(d, &back.segment);
    attached = !trap.Failed();
    if (!attached) shmdt(memory);
  }
  // Marked for removal now: it goes when both sides have let go, even after a crash.
  if (back.segment.shmid >= 0) shmctl(back.segment.shmid, IPC_RMID, nullptr);
  if (!attached) {
    back.image->data = nullptr;
    XDestroyImage(back.image);
    back = Image{};
  }
  return attached;
}

void MakeImage(int width, int height) {
  ReleaseImage();
  back.shared = AttachShared(width, height);
  if (!back.shared) {
    back.plain.assign(static_cast<std::size_t>(width) * height, 0);
    back.image =
        XCreateImage(X().display, X().visual, static_cast<unsigned>(X().depth), ZPixmap, 0,
                     reinterpret_cast<char*>(back.plain.data()), static_cast<unsigned>(width),
                     static_cast<unsigned>(height), 32, width * 4);
  }
  if (back.image->bits_per_pixel != 32 || back.image->red_mask != 0xFF0000) {
    std::fprintf(stderr, "quelvo: this display's pixels are not 32-bit RGB; colours will be off\n");
  }
  back.canvas = {reinterpret_cast<std::uint32_t*>(back.image->data), back.image->width,
                 back.image->height, back.image->bytes_per_line};
  if (gc == nullptr) {
    XGCValues values{};
    values.graphics_exposures = False;
    gc = XCreateGC(X().display, X().root, GCGraphicsExposures, &values);
  }
}

// Shelf packing from the cursor: left to right, a new shelf below the tallest slot of
// the last one. Returns the bottom of the last shelf.
int Pack(int width, int& x, int& y, int& shelf, std::vector<raster::Slot>* out) {
  for (const PixelRect& a : areas) {
    if (x > 0 && x + a.Width() > width) {
      x = 0;
      y += shelf;
      shelf = 0;
    }
    if (out != nullptr) out->push_back({x, y});
    x += a.Width();
    shelf = std::max(shelf, a.Height());
  }
  return y + shelf;
}

// Slots for this pass's areas of one window, after the slots of the windows painted
// before it; once the image is full, from the top again after the server has read it.
void PlaceSlots() {
  int widest = kShelfWidth;
  for (const PixelRect& a : areas) widest = std::max(widest, a.Width());
  const int width = back.image == nullptr ? 0 : back.image->width;
  const int height = back.image == nullptr ? 0 : back.image->height;
  int x = shelfX, y = shelfY, shelf = shelfHeight;
  if (widest > width || Pack(width, x, y, shelf, nullptr) > height) {
    WaitForPuts();
    x = y = shelf = 0;
    const int needed = Pack(std::max(widest, width), x, y, shelf, nullptr);
    if (widest > width || needed > height) MakeImage(std::max(widest, width), needed);
  }
  slots.clear();
  Pack(back.image->width, shelfX, shelfY, shelfHeight, &slots);
}

// Whether the visible frame windows of a form hide the area entirely.
bool HiddenByFrame(const WindowRecord& form, const PixelRect& area) {
  for (const WindowRecord* w : windows) {
    if (w->isFrame && w->ownerForm == form.handle && w->visible && Contains(w->rect, area)) {
      return true;
    }
  }
  return false;
}

bool OnScreen(const WindowRecord& window) {
  if (!window.visible || !window.viewable) return false;
  if (!window.isFrame) return true;
  const WindowRecord* form = FindWindow(window.ownerForm);
  return form != nullptr && form->visible && form->viewable;
}

void TakeAreas(WindowRecord& window) {
  areas.assign(window.damage.Rects().begin(), window.damage.Rects().end());
  ClearDamage(window);
  const PixelRect client{0, 0, window.clientWidth, window.clientHeight};
  for (PixelRect& a : areas) a = Intersection(a, client);
  std::erase_if(areas, [&](const PixelRect& a) {
    return a.Empty() || (!window.isFrame && HiddenByFrame(window, a));
  });
  if (areas.size() > kMaxAreas) {
    PixelRect all = areas.front();
    for (const PixelRect& a : areas) {
      all = {std::min(all.left, a.left), std::min(all.top, a.top), std::max(all.right, a.right),
             std::max(all.bottom, a.bottom)};
    }
    areas.assign(1, all);
  }
}

void Paint(WindowRecord& window) {
  TakeAreas(window);
  if (areas.empty()) return;
  const forms::events::PaintScene scene = forms::events::DescribePaint(window.handle, areas);
  PlaceSlots();
  raster::ComposeSlots(back.canvas, scene, areas, slots, platform::Dpi());
  Display* d = X().display;
  for (std::size_t i = 0; i < areas.size(); ++i) {
    const PixelRect& a = areas[i];
    const auto w = static_cast<unsigned>(a.Width()), h = static_cast<unsigned>(a.Height());
    if (back.shared) {
      XShmPutImage(d, window.xid, gc, back.image, slots[i].x, slots[i].y, a.left, a.top, w, h,
                   False);
    } else {
      XPutImage(d, window.xid, gc, back.image, slots[i].x, slots[i].y, a.left, a.top, w, h);
    }
  }
  if (back.shared) lastPut = NextRequest(d) - 1;
}

}  // namespace

void AddDamage(WindowRecord& window, const PixelRect& area) {
  if (!window.visible) return;
  window.damage.SetBounds(window.clientWidth, window.clientHeight);
  window.damage.Add(area);
}

void ClearDamage(WindowRecord& window) { window.damage.Clear(); }

bool HasPendingPaint() {
  ListWindows(windows);
  for (WindowRecord* w : windows) {
    if (!w->damage.Empty()) return true;
  }
  return false;
}

void PaintPending() {
  ListWindows(windows);
  for (WindowRecord* w : windows) {
    if (w->damage.Empty()) continue;
    if (!OnScreen(*w)) {
      // Mapping it later brings an Expose for everything.
      ClearDamage(*w);
      continue;
    }
    Paint(*w);
  }
}

void ReleasePaintResources() {
  ReleaseImage();
  if (gc != nullptr) XFreeGC(X().display, gc);
  gc = nullptr;
  raster::Shutdown();
}

}  // namespace x11

namespace platform::on_x11 {

void Invalidate(WindowHandle window, std::span<const PixelRect> areas) {
  x11::WindowRecord* record = x11::FindWindow(window);
  if (record == nullptr) return;
  for (const PixelRect& area : areas) x11::AddDamage(*record, area);
}

}  // namespace platform::on_x11
