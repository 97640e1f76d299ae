// What the end-to-end tests need to drive quelvo as a user would: an X server of their
// own, the saver as a child process, real input through xdotool, and real pixels.
#pragma once

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace x11test {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// Polls pred until it holds or the deadline passes; returns its last answer.
bool WaitUntil(const std::function<bool()>& pred, Milliseconds timeout,
               Milliseconds step = Milliseconds(20));

// An X server of the test's own with one client connection to it: an Xvfb of the given
// size on a free display, or (TwoMonitors, needs root) an Xorg with DUMMY0 1280 x 1024
// primary at (0, 0) and DUMMY1 1024 x 768 to its right.
class XServer {
 public:
  XServer(int width, int height);
  struct TwoMonitors {};
  explicit XServer(TwoMonitors);
  ~XServer() { Kill(); }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool Ok() const { return display_ != nullptr; }
  Display* display() const { return display_; }
  Window root() const { return DefaultRootWindow(display_); }
  const std::string& name() const { return name_; }
  // Closes our connection and kills the server (the saver loses its connection).
  void Kill();

 private:
  pid_t pid_ = -1;
  std::string name_, dir_;
  Display* display_ = nullptr;
};

// A child process on the given display; killed if still running at the end.
class Process {
 public:
  Process(const std::vector<std::string>& argv, const std::string& display);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Running() { return !WaitExit(Milliseconds(0)).has_value(); }
  // Its exit status, -signal if a signal killed it, nullopt while it still runs.
  std::optional<int> WaitExit(Milliseconds timeout);
  void Signal(int sig) { kill(pid_, sig); }
  pid_t Pid() const { return pid_; }
  std::string Output() const;  // stdout and stderr so far

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
  std::string outputPath_;
};

// Runs a tool (xdotool) on the display to completion; returns its exit status.
int RunTool(const std::vector<std::string>& argv, const std::string& display);

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const {  // 0xRRGGBB
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

Image Capture(Display* display, Window window);
int Count(const Image& image, const Box& box, const std::function<bool(std::uint32_t)>& pred);
bool IsGreen(std::uint32_t pixel);
bool IsBlue(std::uint32_t pixel);
inline bool IsBlack(std::uint32_t pixel) { return pixel == 0; }
// No pixel of the cursor the server shows is opaque.
bool CursorHidden(Display* display);

// The children of a window, bottom first, and quelvo's among them (WM_CLASS "quelvo").
std::vector<Window> Children(Display* display, Window parent);
std::vector<Window> SaverWindows(Display* display, Window parent);

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
  bool viewable = false;
  bool operator==(const Geometry&) const = default;
};
std::optional<Geometry> GeometryOf(Display* display, Window window);

// The first viewable quelvo window among parent's children, waiting for it.
std::optional<Window> WaitForSaverWindow(Display* display, Window parent, Milliseconds timeout);
// A plain window of the test's own, mapped and on the server when this returns.
Window MakeWindow(Display* display, Window parent, int x, int y, int width, int height,
                  bool overrideRedirect);
// The server's screen-saver state as any client sees it (ScreenSaverOff/On/Disabled).
int ServerSaverState(Display* display);

inline std::string SaverPath() { return QUELVO_EXECUTABLE; }

}  // namespace x11test
