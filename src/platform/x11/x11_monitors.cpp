// Implements: the monitor layout from RandR 1.5 (or Xinerama, or the root alone), the
// primary monitor, the shift between the program's and the server's positions of
// top-level windows, and following RandR's change notifications.
#include "platform/x11/x11_monitors.h"

#include <utility>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_window.h"

// After Xlib (x11_xlib.h).
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

namespace x11 {
namespace {

struct Layout {
  std::vector<platform::PixelRect> monitors;
  platform::PixelRect primary;
};

Layout layout;
bool loaded = false;
bool stale = false;
bool watching = false;
int randrEventBase = -1;  // known once HasRandr15 found RandR 1.5

bool HasRandr15() {
  static const bool has = [] {
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(X().display, &event, &error) ||
        !XRRQueryVersion(X().display, &major, &minor) || (major == 1 && minor < 5)) {
      return false;
    }
    randrEventBase = event;
    return true;
  }();
  return has;
}

// RandR's monitors; primary set to the one RandR calls primary, if any.
bool ReadRandr(Layout& out) {
  if (!HasRandr15()) return false;
  int count = 0;
  XRRMonitorInfo* monitors = XRRGetMonitors(X().display, X().root, True, &count);
  if (monitors == nullptr) return false;
  for (int i = 0; i < count; ++i) {
    const XRRMonitorInfo& m = monitors[i];
    const platform::PixelRect rect{m.x, m.y, m.x + m.width, m.y + m.height};
    // A monitor made by hand may have no size: it shows nothing.
    if (rect.Empty()) continue;
    out.monitors.push_back(rect);
    if (m.primary) out.primary = rect;
  }
  XRRFreeMonitors(monitors);
  return !out.monitors.empty();
}

bool ReadXinerama(Layout& out) {
  int event = 0, error = 0;
  if (!XineramaQueryExtension(X().display, &event, &error) || !XineramaIsActive(X().display))
    return false;
  int count = 0;
  XineramaScreenInfo* heads = XineramaQueryScreens(X().display, &count);
  if (heads == nullptr) return false;
  for (int i = 0; i < count; ++i) {
    const XineramaScreenInfo& h = heads[i];
    const platform::PixelRect rect{h.x_org, h.y_org, h.x_org + h.width, h.y_org + h.height};
    if (!rect.Empty()) out.monitors.push_back(rect);
  }
  XFree(heads);
  return !out.monitors.empty();
}

Layout ReadLayout() {
  Layout read;
  if (ReadRandr(read) || ReadXinerama(read)) {
    if (read.primary.Empty()) {
      read.primary = read.monitors.front();
      for (const platform::PixelRect& m : read.monitors) {
        if (m.left <= 0 && 0 < m.right && m.top <= 0 && 0 < m.bottom) read.primary = m;
      }
    }
    return read;
  }
  const platform::PixelRect root{0, 0, DisplayWidth(X().display, X().screen),
                                 DisplayHeight(X().display, X().screen)};
  return {{root}, root};
}

const Layout& Current() {
  if (!loaded) {
    layout = ReadLayout();
    loaded = true;
  }
  return layout;
}

// The program's top-level windows keep their place relative to the primary monitor.
void FollowPrimaryOrigin() {
  for (WindowRecord* w : AllWindows()) {
    if (w->parent != X().root || w->isFrame || w->managed || w->embedded) continue;
    const platform::PixelRect at = ToServer(w->rect, w->parent);
    w->configureSerial = NextRequest(X().display);
    XMoveWindow(X().display, w->xid, at.left, at.top);
  }
}

}  // namespace

const std::vector<platform::PixelRect>& Monitors() { return Current().monitors; }
const platform::PixelRect& PrimaryMonitor() { return Current().primary; }

platform::PixelRect ToServer(const platform::PixelRect& rect, Window parent) {
  if (parent != X().root) return rect;
  const platform::PixelRect& p = PrimaryMonitor();
  return {rect.left + p.left, rect.top + p.top, rect.right + p.left, rect.bottom + p.top};
}

platform::PixelRect FromServer(const platform::PixelRect& rect, Window parent) {
  if (parent != X().root) return rect;
  const platform::PixelRect& p = PrimaryMonitor();
  return {rect.left - p.left, rect.top - p.top, rect.right - p.left, rect.bottom - p.top};
}

void WatchMonitors() {
  if (watching) return;
  watching = true;
  if (!HasRandr15()) return;
  XRRSelectInput(X().display, X().root,
                 RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
  // Whatever changed before we listened.
  stale = true;
}

bool NoteMonitorEvent(XEvent& event) {
  if (randrEventBase < 0 || event.type < randrEventBase || event.type > randrEventBase + RRNotify) {
    return false;
  }
  // Keeps Xlib's idea of the root's size current.
  XRRUpdateConfiguration(&event);
  stale = true;
  return true;
}

bool ReloadMonitorsIfChanged() {
  if (!stale) return false;
  stale = false;
  Layout read = ReadLayout();
  const Layout& old = Current();
  if (read.monitors == old.monitors && read.primary == old.primary) return false;
  const bool moved = read.primary.left != old.primary.left || read.primary.top != old.primary.top;
  layout = std::move(read);
  if (moved) FollowPrimaryOrigin();
  return true;
}

}  // namespace x11
