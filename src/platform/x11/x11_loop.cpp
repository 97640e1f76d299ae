// Implements: platform::RunMessageLoop and Quit, X event dispatch into the runtime,
// windows that vanish under us (host destroyed), and the wait for events, the next tick
// or an ending signal (linux_signals).
#include "platform/x11/x11_loop.h"

#include <poll.h>

#include <vector>

#include "forms/events.h"
#include "platform/linux_shared/linux_signals.h"
#include "platform/platform.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_covers.h"
#include "platform/x11/x11_font.h"
#include "platform/x11/x11_input.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_paint.h"
#include "platform/x11/x11_session.h"
#include "platform/x11/x11_timer.h"
#include "platform/x11/x11_window.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {
namespace {

namespace events = forms::events;

bool quitting = false;
int exitStatus = 0;
bool shutDown = false;

// A window of ours is gone on the server without our asking (its parent went).
void LostWindow(WindowRecord& window) {
  const platform::WindowHandle handle = window.handle;
  if (window.isFrame) {
    ForgetWindow(handle);
    return;
  }
  for (WindowRecord* other : AllWindows()) {
    if (other->ownerForm == handle) ForgetWindow(other->handle);
  }
  ForgetWindow(handle);
  events::WindowDestroyed(handle);
}

// The host window we were put into is gone: whatever of ours it held goes too.
void HostGone(Window host) {
  std::vector<platform::WindowHandle> held;
  for (WindowRecord* w : AllWindows()) {
    if (w->embedded && w->parent == host) held.push_back(w->handle);
  }
  for (platform::WindowHandle handle : held) {
    WindowRecord* w = FindWindow(handle);
    if (quitting || w == nullptr) continue;
    XDestroyWindow(X().display, w->xid);
    LostWindow(*w);
  }
}

void HandleVanished() {
  for (Window xid : TakeVanishedWindows()) {
    if (quitting) return;
    if (WindowRecord* w = FindWindowByX(xid)) {
      LostWindow(*w);
    } else {
      HostGone(xid);
    }
  }
}

void OnConfigure(WindowRecord& w, const XConfigureEvent& e) {
  if (e.window != w.xid || e.serial < w.configureSerial) return;
  if (!w.managed || w.isFrame) {
    const platform::PixelRect at{e.x, e.y, e.x + e.width, e.y + e.height};
    NoteGeometry(w, w.embedded ? at : FromServer(at, w.parent), e.width, e.height);
    return;
  }
  // Inside a window manager's frame: report the frame in root coordinates.
  int rootX = e.x, rootY = e.y;
  if (!e.send_event) {
    Window child;
    XTranslateCoordinates(X().display, w.xid, X().root, 0, 0, &rootX, &rootY, &child);
  }
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(X().display, w.xid, X().netFrameExtents, 0, 4, False, XA_CARDINAL, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr && count == 4 && format == 32) {
    const long* extents = reinterpret_cast<const long*>(data);
    w.extentLeft = static_cast<int>(extents[0]);
    w.extentRight = static_cast<int>(extents[1]);
    w.extentTop = static_cast<int>(extents[2]);
    w.extentBottom = static_cast<int>(extents[3]);
  }
  if (data != nullptr) XFree(data);
  NoteGeometry(w,
               FromServer({rootX - w.extentLeft, rootY - w.extentTop,
                           rootX + e.width + w.extentRight, rootY + e.height + w.extentBottom},
                          X().root),
               e.width, e.height);
}

void Dispatch(XEvent& e) {
  if (FilterCoverEvent(e)) return;
  if (e.type == DestroyNotify) {
    const Window gone = e.xdestroywindow.window;
    if (WindowRecord* w = FindWindowByX(gone)) {
      LostWindow(*w);
    } else {
      HostGone(gone);
    }
    return;
  }
  if (e.type == MappingNotify) {
    XRefreshKeyboardMapping(&e.xmapping);
    return;
  }
  WindowRecord* w = FindWindowByX(e.xany.window);
  if (w == nullptr) return;
  const platform::WindowHandle h = w->handle;
  switch (e.type) {
    case Expose:
      AddDamage(*w, {e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width,
                     e.xexpose.y + e.xexpose.height});
      break;
    case ConfigureNotify:
      OnConfigure(*w, e.xconfigure);
      break;
    case GravityNotify:
      if (e.xgravity.window == w->xid) FollowHost(*w);
      break;
    case MapNotify:
      w->viewable = true;
      break;
    case UnmapNotify:
      w->viewable = false;
      NoteGrabWindowGone(w->xid);
      break;
    case VisibilityNotify:
      w->visibility = e.xvisibility.state;
      break;
    case ReparentNotify:
      // Someone else moved a top-level window of ours into a frame of theirs.
      if (e.xreparent.window == w->xid && e.xreparent.parent != w->parent && !w->embedded &&
          !w->isFrame) {
        w->managed = e.xreparent.parent != X().root;
      }
      break;
    case KeyPress: {
      events::KeyDown(h, VirtualKeyOf(e.xkey), ShiftStateOf(e.xkey.state));
      const int character = CharacterOf(e.xkey);
      if (character != 0 && !quitting && FindWindow(h) != nullptr) events::KeyChar(h, character);
      break;
    }
    case ButtonPress:
    case ButtonRelease: {
      const int button = ButtonOf(e.xbutton.button);
      if (button == 0) break;
      const int shift = ShiftStateOf(e.xbutton.state);
      if (e.type == ButtonPress) {
        events::MouseDown(h, button, shift, e.xbutton.x, e.xbutton.y);
      } else {
        events::MouseUp(h, button, shift, e.xbutton.x, e.xbutton.y);
      }
      break;
    }
    case MotionNotify:
      events::MouseMove(h, ButtonsHeld(e.xmotion.state), ShiftStateOf(e.xmotion.state), e.xmotion.x,
                        e.xmotion.y);
      break;
    case ClientMessage:
      if (e.xclient.message_type == X().wmProtocols && e.xclient.format == 32 &&
          static_cast<Atom>(e.xclient.data.l[0]) == X().wmDeleteWindow) {
        events::CloseRequest(h);
      }
      break;
    default:
      break;
  }
}

void DrainEvents() {
  Display* d = X().display;
  while (!quitting && XPending(d) > 0) {
    XEvent e;
    XNextEvent(d, &e);
    Dispatch(e);
    HandleVanished();
  }
  HandleVanished();
}

void OnSignal() {
  events::Terminate();
  // Terminate unloads every form, which ends the loop; make sure of it.
  if (!quitting) platform::Quit(0);
}

void Wait() {
  const long long ns = NanosecondsUntilNextTick();
  timespec timeout{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
  pollfd fds[2] = {{X().fd, POLLIN, 0}, linux_platform::EndingSignalPollEntry()};
  ppoll(fds, 2, ns < 0 ? nullptr : &timeout, linux_platform::EndingSignalWaitMask());
  if (linux_platform::TakeEndingSignal(fds[1])) OnSignal();
}

}  // namespace

void Shutdown() {
  if (shutDown || X().display == nullptr) return;
  shutDown = true;
  RestoreSession();
  CloseFonts();
  ReleasePaintResources();
  CloseConnection();
}

}  // namespace x11

namespace platform::on_x11 {

int RunMessageLoop() {
  using namespace x11;
  // Quit may already have been called while the start-up form loaded.
  Display* d = X().display;
  while (!quitting) {
    DrainEvents();
    if (quitting) break;
    // Input first: a window just mapped holds the keyboard before its first paint.
    UpdateGrabs();
    FireDueTimers([] { return quitting; });
    if (quitting) break;
    UpdateCovers();
    PaintPending();
    UpdateGrabs();
    XFlush(d);
    // Events already read during a round trip would not wake poll().
    if (XEventsQueued(d, QueuedAlready) > 0) continue;
    Wait();
  }
  ReportTickRates();
  return exitStatus;
}

void Quit(int status) {
  x11::quitting = true;
  x11::exitStatus = status;
}

}  // namespace platform::on_x11
