// Implements: platform::CreateFormWindow, CreateFrameWindow, DestroyWindow,
// SetWindowVisible, SetWindowRect, and the window registry with the geometry,
// visibility, stacking and re-parenting changes that user32 calls share.
#include "platform/x11/x11_window.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "forms/events.h"
#include "platform/user32.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_paint.h"
#include "platform/x11/x11_session.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {
namespace {

std::map<platform::WindowHandle, std::unique_ptr<WindowRecord>> windows;

constexpr std::int32_t kOverlappedWindow = 0x00CF0000;  // WS_OVERLAPPEDWINDOW
constexpr auto kRaiseInterval = std::chrono::milliseconds(100);

constexpr long kInputEvents =
    KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
constexpr long kWindowEvents = ExposureMask | StructureNotifyMask | VisibilityChangeMask;

platform::WindowHandle HandleOf(Window xid) { return static_cast<platform::WindowHandle>(xid); }

std::int32_t AtLeastOne(std::int32_t v) { return std::max<std::int32_t>(v, 1); }

void SetTitle(Window xid, std::string_view caption) {
  Display* d = X().display;
  const std::string title(caption);
  XStoreName(d, xid, title.c_str());
  XChangeProperty(d, xid, X().netWmName, X().utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()),
                  static_cast<int>(title.size()));
}

void SetManagerHints(Window xid) {
  Display* d = X().display;
  Atom protocols[] = {X().wmDeleteWindow};
  XSetWMProtocols(d, xid, protocols, 1);

  XClassHint classHint{const_cast<char*>("quelvo"), const_cast<char*>("Quelvo")};
  XSetClassHint(d, xid, &classHint);

  XWMHints hints{};
  hints.flags = InputHint | StateHint;
  hints.input = True;
  hints.initial_state = NormalState;
  XSetWMHints(d, xid, &hints);

  const long pid = static_cast<long>(getpid());
  XChangeProperty(d, xid, X().netWmPid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  XChangeProperty(d, xid, X().netWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&X().netWmWindowTypeNormal), 1);
}

void SetIcon(Window xid) {
  // Format-32 properties travel as longs in Xlib, whatever their size.
  static const long kIcon[] = {
      32,
      32,
#include "x11_icon_pixels.inc"
  };
  XChangeProperty(X().display, xid, X().netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(kIcon),
                  static_cast<int>(sizeof kIcon / sizeof kIcon[0]));
}

// The server refused a window: say so once; the runtime then ends the process.
platform::WindowHandle CreationFailed() {
  std::fprintf(stderr, "quelvo: the X server refused to create a window\n");
  return 0;
}

WindowRecord& Register(std::unique_ptr<WindowRecord> record) {
  WindowRecord& ref = *record;
  windows[record->handle] = std::move(record);
  ApplyCursor(ref.xid);
  return ref;
}

}  // namespace

WindowRecord* FindWindow(platform::WindowHandle handle) {
  auto it = windows.find(handle);
  return it == windows.end() ? nullptr : it->second.get();
}

WindowRecord* FindWindowByX(Window xid) {
  if (xid > 0x7FFFFFFF) return nullptr;
  return FindWindow(HandleOf(xid));
}

std::vector<WindowRecord*> AllWindows() {
  std::vector<WindowRecord*> all;
  ListWindows(all);
  return all;
}

void ListWindows(std::vector<WindowRecord*>& out) {
  out.clear();
  for (auto& [handle, record] : windows) out.push_back(record.get());
}

void ForgetWindow(platform::WindowHandle handle) {
  auto it = windows.find(handle);
  if (it == windows.end()) return;
  NoteGrabWindowGone(it->second->xid);
  windows.erase(it);
}

void NoteGeometry(WindowRecord& window, const platform::PixelRect& rect, std::int32_t clientWidth,
                  std::int32_t clientHeight) {
  if (rect == window.rect && clientWidth == window.clientWidth &&
      clientHeight == window.clientHeight) {
    return;
  }
  window.rect = rect;
  window.clientWidth = clientWidth;
  window.clientHeight = clientHeight;
  forms::events::WindowRectChanged(window.handle, rect, clientWidth, clientHeight);
}

void ApplyWindowRect(WindowRecord& window, const platform::PixelRect& rect) {
  std::int32_t clientWidth = rect.Width();
  std::int32_t clientHeight = rect.Height();
  if (window.managed) {
    clientWidth -= window.extentLeft + window.extentRight;
    clientHeight -= window.extentTop + window.extentBottom;
  }
  // X has no empty windows: a 0 x 0 request gives 1 x 1, and that is what we report.
  clientWidth = AtLeastOne(clientWidth);
  clientHeight = AtLeastOne(clientHeight);
  platform::PixelRect actual = rect;
  if (!window.managed)
    actual = {rect.left, rect.top, rect.left + clientWidth, rect.top + clientHeight};
  if (actual == window.rect && clientWidth == window.clientWidth &&
      clientHeight == window.clientHeight) {
    return;
  }
  // Configure events generated before this request describe an older geometry.
  window.configureSerial = NextRequest(X().display);
  const platform::PixelRect at = ToServer(rect, window.parent);
  XMoveResizeWindow(X().display, window.xid, at.left, at.top, static_cast<unsigned>(clientWidth),
                    static_cast<unsigned>(clientHeight));
  NoteGeometry(window, actual, clientWidth, clientHeight);
}

void ApplyVisible(WindowRecord& window, bool visible) {
  if (window.visible == visible) return;
  window.visible = visible;
  if (visible) {
    // A window meant to be on top goes up as it appears, not a tick later.
    if (window.topmost && !window.isFrame) {
      XMapRaised(X().display, window.xid);
      window.lastRaise = Clock::now();
    } else {
      XMapWindow(X().display, window.xid);
    }
  } else {
    XUnmapWindow(X().display, window.xid);
    ClearDamage(window);
  }
}

void KeepOnTop(WindowRecord& window) {
  window.topmost = true;
  // Hidden windows only remember it; VisibilityNotify tells when a request is due.
  if (!window.visible || !window.viewable || window.visibility == VisibilityUnobscured) return;
  const auto now = Clock::now();
  if (now - window.lastRaise < kRaiseInterval) return;
  window.lastRaise = now;
  XRaiseWindow(X().display, window.xid);
}

void Reparent(WindowRecord& window, Window parent, bool embedded) {
  if (parent == window.parent && embedded == window.embedded) return;
  Display* d = X().display;
  if (parent != window.parent) {
    window.configureSerial = NextRequest(d);
    const platform::PixelRect at = ToServer({}, parent);
    XReparentWindow(d, window.xid, parent, at.left, at.top);
  }
  window.parent = parent;
  window.embedded = embedded;
  window.managed = false;
  // The host is not ours: selecting input on it could take events from its owner (only
  // one client may select button presses). Our window's own DestroyNotify tells when
  // the host goes, and its gravity when the host's size changes: growing or shrinking
  // the host moves a south-east child, which the child hears as GravityNotify.
  XSetWindowAttributes attributes{};
  attributes.win_gravity = embedded ? SouthEastGravity : NorthWestGravity;
  XChangeWindowAttributes(d, window.xid, CWWinGravity, &attributes);
  NoteGeometry(window, {0, 0, window.clientWidth, window.clientHeight}, window.clientWidth,
               window.clientHeight);
}

void FollowHost(WindowRecord& window) {
  if (!window.embedded) return;
  XWindowAttributes host;
  {
    ErrorTrap trap;
    if (!XGetWindowAttributes(X().display, window.parent, &host) || trap.Failed()) return;
  }
  // The server moved us: forget the old rectangle so the move back is always made.
  window.rect = {};
  ApplyWindowRect(window, {0, 0, host.width, host.height});
}

}  // namespace x11

namespace platform::on_x11 {

using x11::WindowRecord;
using x11::X;

WindowHandle CreateFormWindow(const FormWindowDesc& desc) {
  Display* d = X().display;
  const std::int32_t width = x11::AtLeastOne(desc.clientWidth);
  const std::int32_t height = x11::AtLeastOne(desc.clientHeight);
  const bool borderless = desc.border == FormBorder::Borderless;
  // Without a window manager nobody places a new window: put it in the middle.
  const std::int32_t x = borderless ? 0 : std::max(0, (ScreenWidth() - width) / 2);
  const std::int32_t y = borderless ? 0 : std::max(0, (ScreenHeight() - height) / 2);

  XSetWindowAttributes attributes{};
  attributes.background_pixel = x11::PixelOf(desc.backColour);
  attributes.border_pixel = 0;
  attributes.bit_gravity = NorthWestGravity;
  attributes.colormap = X().colormap;
  // A borderless form is a saver surface: the window manager must neither frame
  // nor move it, and it stacks above managed windows.
  attributes.override_redirect = borderless ? True : False;
  attributes.event_mask = x11::kWindowEvents | x11::kInputEvents;
  const platform::PixelRect at = x11::ToServer({x, y, x + width, y + height}, X().root);
  x11::ErrorTrap trap;
  const Window xid = XCreateWindow(
      d, X().root, at.left, at.top, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
      X().depth, InputOutput, X().visual,
      CWBackPixel | CWBorderPixel | CWBitGravity | CWColormap | CWOverrideRedirect | CWEventMask,
      &attributes);
  if (trap.Failed()) return x11::CreationFailed();
  x11::SetTitle(xid, desc.caption);
  x11::SetManagerHints(xid);
  if (desc.hasIcon) x11::SetIcon(xid);

  auto record = std::make_unique<WindowRecord>();
  record->xid = xid;
  record->handle = x11::HandleOf(xid);
  record->border = desc.border;
  record->parent = X().root;
  record->backColour = desc.backColour;
  record->rect = {x, y, x + width, y + height};
  record->clientWidth = width;
  record->clientHeight = height;
  record->style = borderless ? user32::WS_POPUP : x11::kOverlappedWindow;
  return x11::Register(std::move(record)).handle;
}

WindowHandle CreateFrameWindow(WindowHandle parent, const PixelRect& rect, Colour backColour,
                               bool visible) {
  WindowRecord* owner = x11::FindWindow(parent);
  if (owner == nullptr) return 0;
  Display* d = X().display;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = x11::PixelOf(backColour);
  attributes.border_pixel = 0;
  attributes.bit_gravity = NorthWestGravity;
  attributes.colormap = X().colormap;
  attributes.event_mask =
      x11::kWindowEvents | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
  const std::int32_t width = x11::AtLeastOne(rect.Width());
  const std::int32_t height = x11::AtLeastOne(rect.Height());
  x11::ErrorTrap trap;
  const Window xid = XCreateWindow(
      d, owner->xid, rect.left, rect.top, static_cast<unsigned>(width),
      static_cast<unsigned>(height), 0, X().depth, InputOutput, X().visual,
      CWBackPixel | CWBorderPixel | CWBitGravity | CWColormap | CWEventMask, &attributes);
  if (trap.Failed()) return x11::CreationFailed();

  auto record = std::make_unique<WindowRecord>();
  record->xid = xid;
  record->handle = x11::HandleOf(xid);
  record->isFrame = true;
  record->ownerForm = owner->handle;
  record->parent = owner->xid;
  record->backColour = backColour;
  record->rect = {rect.left, rect.top, rect.left + width, rect.top + height};
  record->clientWidth = width;
  record->clientHeight = height;
  record->style = user32::WS_CHILD;
  WindowRecord& frame = x11::Register(std::move(record));
  if (visible) x11::ApplyVisible(frame, true);
  return frame.handle;
}

void DestroyWindow(WindowHandle window) {
  WindowRecord* record = x11::FindWindow(window);
  if (record == nullptr) return;
  const Window xid = record->xid;
  // Its frames go with it on the server; forget them here too.
  for (WindowRecord* other : x11::AllWindows()) {
    if (other->ownerForm == window) x11::ForgetWindow(other->handle);
  }
  x11::ForgetWindow(window);
  XDestroyWindow(X().display, xid);
  x11::UpdateGrabs();
}

void SetWindowVisible(WindowHandle window, bool visible) {
  if (WindowRecord* record = x11::FindWindow(window)) x11::ApplyVisible(*record, visible);
}

void SetWindowRect(WindowHandle window, const PixelRect& rect) {
  if (WindowRecord* record = x11::FindWindow(window)) x11::ApplyWindowRect(*record, rect);
}

}  // namespace platform::on_x11
