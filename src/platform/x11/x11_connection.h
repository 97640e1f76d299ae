// The X connection every x11 file shares: display, screen, visual, atoms, colour
// conversion, and the error handling that keeps a vanished window from killing us.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {

struct Connection {
  Display* display = nullptr;
  int screen = 0;
  Window root = 0;
  Visual* visual = nullptr;
  int depth = 0;
  Colormap colormap = 0;
  int fd = -1;

  Atom wmProtocols = 0;
  Atom wmDeleteWindow = 0;
  Atom netWmName = 0;
  Atom netWmPid = 0;
  Atom netWmWindowType = 0;
  Atom netWmWindowTypeNormal = 0;
  Atom netFrameExtents = 0;
  Atom utf8String = 0;
  Atom netWmIcon = 0;
};

Connection& X();

// Opens the display named by $DISPLAY; false when there is none.
bool OpenConnection();
void CloseConnection();

// Colours arrive as 0x00BBGGRR or as a system colour index with the top bit set.
platform::Colour ResolveColour(platform::Colour colour);
unsigned long PixelOf(platform::Colour colour);
XRenderColor RenderColourOf(platform::Colour colour);

// Collects the X error raised by the requests made while it lives; the destructor
// waits for the server (XSync) only if Failed() was not asked already.
class ErrorTrap {
 public:
  ErrorTrap();
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // Round trip, then whether any request since construction failed.
  bool Failed();

 private:
  unsigned long firstSerial_;
  bool synced_ = false;
};

// Windows named by BadWindow/BadDrawable errors outside any trap: they vanished
// while we still used them (a host destroying the window we are embedded in).
std::vector<Window> TakeVanishedWindows();
// Records a window found gone by a trapped request, for the loop to act on.
void NoteVanishedWindow(Window window);

}  // namespace x11
