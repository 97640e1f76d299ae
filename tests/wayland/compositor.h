// What the Wayland end-to-end tests add to the X11 ones' processes and pixels: a headless
// compositor of their own with a fresh runtime folder, run as an unprivileged user when the
// tests run as root (sway refuses root), with quelvo and the tools run as that user too.
#pragma once

#include <cstdio>
#include <memory>

#include "../x11/harness.h"

namespace wltest {

using namespace x11test;

enum class Kind {
  kSway,        // HEADLESS-1 1280 x 800 at (0, 0), HEADLESS-2 1024 x 768 at (1280, 0)
  kNestedSway,  // outputs WL-1 and WL-2 are windows of a host sway: closing one removes it
  kWeston,      // one 1280 x 800 output, no layer-shell
  kMutter,      // one 1280 x 800 virtual monitor, no layer-shell, input over D-Bus
};

class Compositor {
 public:
  explicit Compositor(Kind kind, const Compositor* host = nullptr);
  ~Compositor();

  bool Ok() const { return !socket_.empty(); }
  // argv run as the compositor's user, with what a client of it needs in its environment.
  std::vector<std::string> As(const std::vector<std::string>& argv,
                              const std::vector<std::string>& env = {}) const;
  int Run(const std::vector<std::string>& argv) const { return RunTool(As(argv), ""); }
  std::string Read(const std::vector<std::string>& argv) const;  // its stdout
  using Helper = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
  Helper Open(const std::vector<std::string>& argv) const;  // a pipe to its stdin
  Image Grab(const std::string& output = "") const;         // what it shows (empty: all outputs)
  void Kill(int sig = SIGTERM);                             // it and all it started

 private:
  pid_t pid_ = -1;
  std::string dir_, socket_, swaySocket_;
};

inline void Send(const Compositor::Helper& helper, const std::string& line) {
  std::fprintf(helper.get(), "%s\n", line.c_str()), std::fflush(helper.get());
}

// The banner's place on a 1280 x 800 output, and a margin around it.
constexpr Box kBanner{440, 366, 840, 434}, kAroundBanner{420, 346, 860, 454};
constexpr Box kAll{0, 0, 1 << 14, 1 << 14};
inline bool IsLit(std::uint32_t pixel) { return pixel != 0; }
int GreenHeight(const Image& image);  // first to last row holding green: the letters' height
bool RainShows(const Image& image);   // green in 20 of the image's 24-pixel-wide strips
long ShmemKb(pid_t pid);              // the shared memory a process holds (RssShmem)

}  // namespace wltest
