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
PixelRect coveredAround;  // that form, in root coordinates
bool coverLost = false;

// Embedded forms never count, even in the root: a host's window gets no covers.
bool ShownOnTop(const WindowRecord& w) {
  return !w.isFrame && !w.embedded && w.parent == X().root && !w.managed && w.visible &&
         w.topmost && w.border == platform::FormBorder::Borderless;
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

bool Holds(const PixelRect& r, int x, int y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

std::vector<int> SortedEdges(std::vector<int> edges) {
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  return edges;
}

// What the monitors show outside the primary monitor and the form, as rectangles that
// do not overlap: two overlapping covers (a clone at another mode) would each be obscured
// by the other and raise each other for ever. The screen is cut along every edge; the
// cells to cover are joined into runs along each row, and equal runs of rows into one.
std::vector<PixelRect> AreasToCover(const PixelRect& form) {
  const PixelRect& primary = PrimaryMonitor();
  std::vector<int> xs{form.left, form.right}, ys{form.top, form.bottom};
  for (const PixelRect& m : Monitors()) {
    xs.insert(xs.end(), {m.left, m.right});
    ys.insert(ys.end(), {m.top, m.bottom});
  }
  xs = SortedEdges(std::move(xs));
  ys = SortedEdges(std::move(ys));
  auto shown = [&](int x, int y) {
    if (Holds(primary, x, y) || Holds(form, x, y)) return false;
    return std::any_of(Monitors().begin(), Monitors().end(),
                       [&](const PixelRect& m) { return Holds(m, x, y); });
  };
  std::vector<PixelRect> done, open, row;
  for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
    row.clear();
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
      if (!shown(xs[i], ys[j])) continue;
      if (!row.empty() && row.back().right == xs[i]) {
        row.back().right = xs[i + 1];
      } else {
        row.push_back({xs[i], ys[j], xs[i + 1], ys[j + 1]});
      }
    }
    const bool sameRuns =
        row.size() == open.size() && std::equal(row.begin(), row.end(), open.begin(),
                                                [](const PixelRect& a, const PixelRect& b) {
                                                  return a.left == b.left && a.right == b.right &&
                                                         a.top == b.bottom;
                                                });
    if (sameRuns) {
      for (PixelRect& r : open) r.bottom = ys[j + 1];
    } else {
      done.insert(done.end(), open.begin(), open.end());
      open = row;
    }
  }
  done.insert(done.end(), open.begin(), open.end());
  return done;
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

// Covers exactly these areas: keeps the covers already in place, drops the others.
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
  const PixelRect around = ToServer(form->rect, form->parent);
  if (form->handle != coveredFor || around != coveredAround || layoutChanged || coverLost)
    PlaceCovers(AreasToCover(around));
  coveredFor = form->handle;
  coveredAround = around;
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
