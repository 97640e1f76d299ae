// Implements: the shared X connection, atoms, colour conversion, the X error and
// I/O error handlers, and ErrorTrap for requests that may name a vanished window.
#include "platform/x11/x11_connection.h"

#include <unistd.h>

#include <bit>
#include <cstdint>
#include <iterator>
#include <utility>

#include "platform/platform.h"

namespace x11 {
namespace {

Connection connection;

// Error state shared with the handler, which Xlib calls with its lock held.
bool trapActive = false;
unsigned long trapSerial = 0;
bool trapFailed = false;
std::vector<Window> vanished;

int OnXError(Display*, XErrorEvent* error) {
  if (trapActive && error->serial >= trapSerial) {
    trapFailed = true;
    return 0;
  }
  if (error->error_code == BadWindow || error->error_code == BadDrawable) {
    vanished.push_back(error->resourceid);
  }
  // Anything else is a request that lost a race with another client: ignored.
  return 0;
}

// The server went away: nothing can be restored, so leave at once without
// running destructors that would talk to the dead connection.
int OnXIOError(Display*) { _exit(1); }

unsigned long Scale(std::uint32_t value, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const unsigned long max = mask >> shift;
  return ((value * max + 127) / 255) << shift;
}

}  // namespace

Connection& X() { return connection; }

bool OpenConnection() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(OnXIOError);

  connection.display = display;
  connection.screen = DefaultScreen(display);
  connection.root = RootWindow(display, connection.screen);
  connection.visual = DefaultVisual(display, connection.screen);
  connection.depth = DefaultDepth(display, connection.screen);
  connection.colormap = DefaultColormap(display, connection.screen);
  connection.fd = ConnectionNumber(display);

  // One round trip for all of them.
  const std::pair<const char*, Atom*> wanted[] = {
      {"WM_PROTOCOLS", &connection.wmProtocols},
      {"WM_DELETE_WINDOW", &connection.wmDeleteWindow},
      {"_NET_WM_NAME", &connection.netWmName},
      {"_NET_WM_PID", &connection.netWmPid},
      {"_NET_WM_ICON", &connection.netWmIcon},
      {"_NET_WM_WINDOW_TYPE", &connection.netWmWindowType},
      {"_NET_WM_WINDOW_TYPE_NORMAL", &connection.netWmWindowTypeNormal},
      {"_NET_FRAME_EXTENTS", &connection.netFrameExtents},
      {"UTF8_STRING", &connection.utf8String},
  };
  constexpr int kCount = static_cast<int>(std::size(wanted));
  char* names[kCount];
  Atom atoms[kCount] = {};
  for (int i = 0; i < kCount; ++i) names[i] = const_cast<char*>(wanted[i].first);
  XInternAtoms(display, names, kCount, False, atoms);
  for (int i = 0; i < kCount; ++i) *wanted[i].second = atoms[i];
  return true;
}

void CloseConnection() {
  if (connection.display == nullptr) return;
  XCloseDisplay(connection.display);
  connection.display = nullptr;
}

platform::Colour ResolveColour(platform::Colour colour) {
  if (colour & 0x80000000u) return platform::SystemColour(static_cast<int>(colour & 0xFF));
  return colour & 0x00FFFFFFu;
}

unsigned long PixelOf(platform::Colour colour) {
  colour = ResolveColour(colour);
  const Visual* v = connection.visual;
  return Scale(colour & 0xFF, v->red_mask) | Scale((colour >> 8) & 0xFF, v->green_mask) |
         Scale((colour >> 16) & 0xFF, v->blue_mask);
}

XRenderColor RenderColourOf(platform::Colour colour) {
  colour = ResolveColour(colour);
  auto channel = [](std::uint32_t byte) { return static_cast<unsigned short>(byte * 0x101); };
  return XRenderColor{channel(colour & 0xFF), channel((colour >> 8) & 0xFF),
                      channel((colour >> 16) & 0xFF), 0xFFFF};
}

ErrorTrap::ErrorTrap() : firstSerial_(NextRequest(connection.display)) {
  trapActive = true;
  trapSerial = firstSerial_;
  trapFailed = false;
}

ErrorTrap::~ErrorTrap() {
  if (!synced_) XSync(connection.display, False);
  trapActive = false;
}

bool ErrorTrap::Failed() {
  XSync(connection.display, False);
  synced_ = true;
  return trapFailed;
}

void NoteVanishedWindow(Window window) { vanished.push_back(window); }

std::vector<Window> TakeVanishedWindows() {
  std::vector<Window> taken;
  taken.swap(vanished);
  return taken;
}

}  // namespace x11
