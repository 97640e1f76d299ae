// Implements: the cursor display count shown as an invisible cursor, the server's
// screen saver kept off the screen through MIT-SCREEN-SAVER, and the keyboard/pointer
// grabs of a full-screen saver window.
#include "platform/x11/x11_session.h"

#include <chrono>

#include "platform/linux_shared/linux_user32.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_window.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {
namespace {

Cursor blankCursor = None;

bool screenSaverActive = true;

Window grabWindow = None;  // the window holding our grabs, None when not grabbed
Clock::time_point lastGrabAttempt{};
constexpr auto kGrabRetry = std::chrono::milliseconds(100);

Cursor BlankCursor() {
  if (blankCursor == None) {
    // A transparent ARGB cursor made with Render: a bitmap cursor would make Xlib load
    // libXcursor and read the cursor theme first, which delays the first frame.
    Display* d = X().display;
    const Pixmap pixmap = XCreatePixmap(d, X().root, 1, 1, 32);
    const Picture picture = XRenderCreatePicture(
        d, pixmap, XRenderFindStandardFormat(d, PictStandardARGB32), 0, nullptr);
    const XRenderColor clear{0, 0, 0, 0};
    XRenderFillRectangle(d, PictOpSrc, picture, &clear, 0, 0, 1, 1);
    blankCursor = XRenderCreateCursor(d, picture, 0, 0);
    XRenderFreePicture(d, picture);
    XFreePixmap(d, pixmap);
  }
  return blankCursor;
}

Cursor CurrentCursor() { return linux_platform::CursorHidden() ? BlankCursor() : None; }

constexpr unsigned kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

// The window that should hold the grabs: a mapped, borderless, top-level form.
Window GrabTarget() {
  static std::vector<WindowRecord*> windows;  // asked on every tick: kept, not allocated
  ListWindows(windows);
  for (WindowRecord* w : windows) {
    if (!w->isFrame && !w->embedded && w->border == platform::FormBorder::Borderless &&
        w->visible && w->viewable) {
      return w->xid;
    }
  }
  return None;
}

void ReleaseGrabs() {
  if (grabWindow == None) return;
  XUngrabKeyboard(X().display, CurrentTime);
  XUngrabPointer(X().display, CurrentTime);
  grabWindow = None;
}

}  // namespace

void FollowCursorCount() {
  for (WindowRecord* w : AllWindows()) ApplyCursor(w->xid);
  if (grabWindow != None) {
    XChangeActivePointerGrab(X().display, kPointerEvents, CurrentCursor(), CurrentTime);
  }
}

Cursor HiddenCursor() { return BlankCursor(); }

void ApplyCursor(Window window) {
  if (linux_platform::CursorHidden()) {
    XDefineCursor(X().display, window, BlankCursor());
  } else {
    XUndefineCursor(X().display, window);
  }
}

// Switched off, the server's own saver maps an invisible window of ours when its time
// comes, instead of blanking or tiling over the rain. Unlike a suspension this leaves the
// idle timers running, and with them the display's power-off (DPMS); and the server
// forgets the window with our connection, however we end.
void SetScreenSaverEnabled(bool active) {
  if (active == screenSaverActive) return;
  screenSaverActive = active;
  Display* d = X().display;
  int event = 0, error = 0;
  if (!XScreenSaverQueryExtension(d, &event, &error)) return;
  if (active) {
    XScreenSaverUnsetAttributes(d, X().root);
    return;
  }
  // Another client's saver window (a daemon's) refuses ours with BadAccess: its choice.
  XSetWindowAttributes attributes{};
  attributes.cursor = BlankCursor();
  XScreenSaverSetAttributes(d, X().root, 0, 0, static_cast<unsigned>(DisplayWidth(d, X().screen)),
                            static_cast<unsigned>(DisplayHeight(d, X().screen)), 0, 0, InputOnly,
                            nullptr, CWCursor, &attributes);
}

bool ScreenSaverEnabled() { return screenSaverActive; }

void UpdateGrabs() {
  const Window target = GrabTarget();
  if (target == grabWindow) return;
  if (grabWindow != None) ReleaseGrabs();
  if (target == None) return;

  const auto now = Clock::now();
  if (now - lastGrabAttempt < kGrabRetry) return;
  lastGrabAttempt = now;
  Display* d = X().display;
  const int keyboard = XGrabKeyboard(d, target, False, GrabModeAsync, GrabModeAsync, CurrentTime);
  const int pointer = XGrabPointer(d, target, True, kPointerEvents, GrabModeAsync, GrabModeAsync,
                                   None, CurrentCursor(), CurrentTime);
  if (keyboard == GrabSuccess && pointer == GrabSuccess) {
    grabWindow = target;
    return;
  }
  // Someone else holds a grab (a menu, another locker): let go and try again soon.
  if (keyboard == GrabSuccess) XUngrabKeyboard(d, CurrentTime);
  if (pointer == GrabSuccess) XUngrabPointer(d, CurrentTime);
}

void NoteGrabWindowGone(Window window) {
  if (window == grabWindow) grabWindow = None;
}

void RestoreSession() {
  if (X().display == nullptr) return;
  ReleaseGrabs();
  SetScreenSaverEnabled(true);
  XFlush(X().display);
}

}  // namespace x11
