// Implements: the covers over the monitors other than the primary in full-screen mode:
// when they are due, making, moving and removing them, keeping them on top, and handing
// their input to the full-screen form.
#include "platform/x11/x11_covers.h"

#include <algorithm>
#include <vector>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_session.h"
#include "platform/x11/x11_window.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {
namespace {

using platform::PixelRect;

constexpr auto kRaiseInterval = std::chrono::milliseconds(100);
constexpr long kCoverEvents = KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                              PointerMotionMask | VisibilityChangeMask | StructureNotifyMask;

struct Cover {
  Window xid = 0;
  PixelRect rect;  // root coordinates
  int visibility = VisibilityUnobscured;
  Clock::time_point lastRaise{};
};

std::vector<Cover> covers;
// The form the covers stand for; 0 while there is none.
platform::WindowHandle coveredFor = 0;
bool coverLost = false;

bool ShownOnTop(const WindowRecord& w) {
  return !w.isFrame && w.parent == X().root && !w.managed && w.visible && w.topmost &&
         w.border == platform::FormBorder::Borderless;
}

// Top-level rectangles are relative to the primary monitor's origin.
bool CoversPrimary(const WindowRecord& w) {
  const PixelRect& r = w.rect;
  return r.left <= 0 && r.top <= 0 && r.right >= PrimaryMonitor().Width() &&
         r.bottom >= PrimaryMonitor().Height();
}

// A shown, borderless, topmost top-level form over the whole primary monitor. The one
// covered already keeps its covers if a new primary monitor is larger than it.
WindowRecord* FullScreenForm() {
  if (WindowRecord* w = FindWindow(coveredFor); w != nullptr && ShownOnTop(*w)) return w;
  for (WindowRecord* w : AllWindows()) {
    if (ShownOnTop(*w) && CoversPrimary(*w)) return w;
  }
  return nullptr;
}

// Every monitor but the primary, once; a monitor overlapping the primary (a mirror of
// it) would hide the rain, so it stays as it is.
std::vector<PixelRect> MonitorsToCover() {
  std::vector<PixelRect> wanted;
  for (const PixelRect& m : Monitors()) {
    if (!m.Intersects(PrimaryMonitor()) &&
        std::find(wanted.begin(), wanted.end(), m) == wanted.end())
      wanted.push_back(m);
  }
  return wanted;
}

Window MakeCover(const PixelRect& rect) {
  Display* d = X().display;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = PixelOf(0);
  attributes.border_pixel = 0;
  attributes.colormap = X().colormap;
  // Kept above everything, like the rain form, with no window manager in the way.
  attributes.override_redirect = True;
  attributes.cursor = HiddenCursor();
  attributes.event_mask = kCoverEvents;
  const Window xid = XCreateWindow(
      d, X().root, rect.left, rect.top, static_cast<unsigned>(rect.Width()),
      static_cast<unsigned>(rect.Height()), 0, X().depth, InputOutput, X().visual,
      CWBackPixel | CWBorderPixel | CWColormap | CWOverrideRedirect | CWCursor | CWEventMask,
      &attributes);
  XClassHint classHint{const_cast<char*>("quelvo"), const_cast<char*>("Quelvo")};
  XSetClassHint(d, xid, &classHint);
  XMapRaised(d, xid);
  return xid;
}

void RemoveCovers() {
  for (const Cover& c : covers) XDestroyWindow(X().display, c.xid);
  covers.clear();
}

// Covers exactly these monitors: keeps the covers already in place, drops the others.
void PlaceCovers(const std::vector<PixelRect>& wanted) {
  std::erase_if(covers, [&](const Cover& c) {
    if (std::find(wanted.begin(), wanted.end(), c.rect) != wanted.end()) return false;
    XDestroyWindow(X().display, c.xid);
    return true;
  });
  for (const PixelRect& m : wanted) {
    const bool covered =
        std::any_of(covers.begin(), covers.end(), [&](const Cover& c) { return c.rect == m; });
    if (!covered) covers.push_back({MakeCover(m), m, VisibilityUnobscured, Clock::now()});
  }
}

// As the rain form's keep-on-top: a request only when something lies over a cover.
void KeepCoversOnTop() {
  const auto now = Clock::now();
  for (Cover& c : covers) {
    if (c.visibility == VisibilityUnobscured || now - c.lastRaise < kRaiseInterval) continue;
    c.lastRaise = now;
    XRaiseWindow(X().display, c.xid);
  }
}

Cover* FindCover(Window xid) {
  for (Cover& c : covers) {
    if (c.xid == xid) return &c;
  }
  return nullptr;
}

// Input on a cover, as the form would get it at the same spot of the screen.
bool ToForm(XEvent& e) {
  const WindowRecord* form = FindWindow(coveredFor);
  if (form == nullptr) return true;
  const PixelRect at = ToServer(form->rect, form->parent);
  switch (e.type) {
    case KeyPress:
      e.xkey.window = form->xid;
      break;
    case ButtonPress:
    case ButtonRelease:
      e.xbutton.window = form->xid;
      e.xbutton.x = e.xbutton.x_root - at.left;
      e.xbutton.y = e.xbutton.y_root - at.top;
      break;
    case MotionNotify:
      e.xmotion.window = form->xid;
      e.xmotion.x = e.xmotion.x_root - at.left;
      e.xmotion.y = e.xmotion.y_root - at.top;
      break;
    default:
      return true;
  }
  return false;
}

}  // namespace

void UpdateCovers() {
  const bool layoutChanged = ReloadMonitorsIfChanged();
  const WindowRecord* form = FullScreenForm();
  if (form == nullptr) {
    if (!covers.empty()) RemoveCovers();
    coveredFor = 0;
    return;
  }
  if (coveredFor == 0) WatchMonitors();
  if (form->handle != coveredFor || layoutChanged || coverLost) PlaceCovers(MonitorsToCover());
  coveredFor = form->handle;
  coverLost = false;
  KeepCoversOnTop();
}

bool FilterCoverEvent(XEvent& e) {
  if (NoteMonitorEvent(e)) return true;
  Cover* cover = FindCover(e.xany.window);
  if (cover == nullptr) return false;
  switch (e.type) {
    case VisibilityNotify:
      cover->visibility = e.xvisibility.state;
      return true;
    case DestroyNotify:
      // Someone else destroyed it: the next update puts a new one in its place.
      std::erase_if(covers, [&](const Cover& c) { return c.xid == e.xdestroywindow.window; });
      coverLost = true;
      return true;
    default:
      return ToForm(e);
  }
}

}  // namespace x11
