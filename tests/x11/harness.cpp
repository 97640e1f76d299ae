#include "harness.h"

#include <X11/Xutil.h>
#include <X11/extensions/scrnsaver.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

namespace x11test {
namespace {

// The tests look at windows that may vanish under them; an error is an answer.
bool errorSeen = false;
int OnError(Display*, XErrorEvent*) {
  errorSeen = true;
  return 0;
}

std::vector<char*> Argv(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

[[noreturn]] void Exec(const std::vector<std::string>& args, const std::string& display,
                       int outputFd) {
  if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
  dup2(outputFd, STDOUT_FILENO);
  dup2(outputFd, STDERR_FILENO);
  // Signals blocked or ignored here would be inherited: give the child defaults.
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  std::vector<char*> argv = Argv(args);
  execvp(argv[0], argv.data());
  _exit(127);
}

int DecodeStatus(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return -WTERMSIG(raw);
  return -1000;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& pred, Milliseconds timeout, Milliseconds step) {
  const auto deadline = Clock::now() + timeout;
  while (true) {
    if (pred()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(step);
  }
}

XServer::XServer(int width, int height) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const int devnull = open("/dev/null", O_WRONLY);
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    // -displayfd: the server picks a free display number and writes it here.
    Exec({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp",
          "-noreset"},
         "", devnull);
  }
  close(fds[1]);
  close(devnull);
  std::string number;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (Clock::now() < deadline) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char c;
    if (read(fds[0], &c, 1) != 1) break;
    if (c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  XSetErrorHandler(OnError);
  display_ = XOpenDisplay(name_.c_str());
}

XServer::~XServer() { Kill(); }

void XServer::Kill() {
  if (display_ != nullptr) XCloseDisplay(display_);
  display_ = nullptr;
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status;
  waitpid(pid_, &status, 0);
  pid_ = -1;
}

Process::Process(const std::vector<std::string>& argv, const std::string& display) {
  char path[] = "/tmp/quelvo-x11-test-XXXXXX";
  const int output = mkstemp(path);
  outputPath_ = path;
  pid_ = fork();
  if (pid_ == 0) Exec(argv, display, output);
  close(output);
}

Process::~Process() {
  if (Running()) {
    kill(pid_, SIGKILL);
    WaitExit(Milliseconds(2000));
  }
  unlink(outputPath_.c_str());
}

std::string Process::Output() const {
  std::string text;
  const int fd = open(outputPath_.c_str(), O_RDONLY);
  if (fd < 0) return text;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  return text;
}

bool Process::Running() { return !WaitExit(Milliseconds(0)).has_value(); }

std::optional<int> Process::WaitExit(Milliseconds timeout) {
  if (status_) return status_;
  WaitUntil(
      [&] {
        int raw = 0;
        if (waitpid(pid_, &raw, WNOHANG) == pid_) status_ = DecodeStatus(raw);
        return status_.has_value();
      },
      timeout, Milliseconds(5));
  return status_;
}

void Process::Signal(int sig) { kill(pid_, sig); }

int RunTool(const std::vector<std::string>& argv, const std::string& display) {
  const int devnull = open("/dev/null", O_WRONLY);
  const pid_t pid = fork();
  if (pid == 0) Exec(argv, display, devnull);
  close(devnull);
  int raw = 0;
  waitpid(pid, &raw, 0);
  return DecodeStatus(raw);
}

Image Capture(Display* display, Window window) {
  Image image;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return image;
  XImage* x = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                        static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (x == nullptr) return image;
  image.width = attributes.width;
  image.height = attributes.height;
  image.pixels.resize(static_cast<std::size_t>(image.width) *
                      static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    for (int px = 0; px < image.width; ++px) {
      image.pixels[static_cast<std::size_t>(y * image.width + px)] =
          static_cast<std::uint32_t>(XGetPixel(x, px, y)) & 0xFFFFFF;
    }
  }
  XDestroyImage(x);
  return image;
}

int Count(const Image& image, const Box& box, const std::function<bool(std::uint32_t)>& pred) {
  int n = 0;
  for (int y = std::max(box.top, 0); y < std::min(box.bottom, image.height); ++y) {
    for (int x = std::max(box.left, 0); x < std::min(box.right, image.width); ++x) {
      if (pred(image.At(x, y))) ++n;
    }
  }
  return n;
}

bool IsGreen(std::uint32_t p) {
  const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return g >= 0x30 && r < 0x30 && b < 0x30;
}

bool IsBlue(std::uint32_t p) {
  const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return b >= 0x80 && r < 0x60 && g < 0x60;
}

bool IsBlack(std::uint32_t p) { return p == 0; }

std::vector<Window> SaverWindows(Display* display, Window parent) {
  std::vector<Window> found;
  Window root, up, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(display, parent, &root, &up, &children, &n)) return found;
  for (unsigned i = 0; i < n; ++i) {
    XClassHint hint{};
    if (XGetClassHint(display, children[i], &hint)) {
      if (hint.res_name != nullptr && std::strcmp(hint.res_name, "quelvo") == 0) {
        found.push_back(children[i]);
      }
      if (hint.res_name != nullptr) XFree(hint.res_name);
      if (hint.res_class != nullptr) XFree(hint.res_class);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

std::optional<Geometry> GeometryOf(Display* display, Window window) {
  XSync(display, False);
  errorSeen = false;
  XWindowAttributes attributes;
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  const bool ok = XGetWindowAttributes(display, window, &attributes) &&
                  XQueryTree(display, window, &root, &parent, &children, &n);
  if (children != nullptr) XFree(children);
  if (!ok || errorSeen) return std::nullopt;
  return Geometry{attributes.x,
                  attributes.y,
                  attributes.width,
                  attributes.height,
                  attributes.map_state == IsViewable,
                  parent};
}

std::vector<Window> StackingOrder(Display* display) {
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  std::vector<Window> order;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &n)) {
    order.assign(children, children + n);
  }
  if (children != nullptr) XFree(children);
  return order;
}

std::optional<Window> WaitForSaverWindow(Display* display, Window parent, Milliseconds timeout) {
  std::optional<Window> found;
  WaitUntil(
      [&] {
        for (Window w : SaverWindows(display, parent)) {
          const auto geometry = GeometryOf(display, w);
          if (geometry && geometry->viewable) {
            found = w;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

Window MakeWindow(Display* display, Window parent, int x, int y, int width, int height,
                  bool overrideRedirect) {
  XSetWindowAttributes attributes{};
  attributes.override_redirect = overrideRedirect ? True : False;
  attributes.background_pixel = WhitePixel(display, DefaultScreen(display));
  const Window w = XCreateWindow(display, parent, x, y, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
  XMapWindow(display, w);
  XSync(display, False);
  return w;
}

int ServerSaverState(Display* display) {
  XScreenSaverInfo info{};
  XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info);
  return info.state;
}

std::string SaverPath() { return QUELVO_EXECUTABLE; }

TwoMonitorXorg::TwoMonitorXorg() : dir("/tmp/quelvo-xorg-" + std::to_string(getpid())) {
  if (RunTool({QUELVO_TWO_MONITOR_SCRIPT, dir}, "") != 0) return;
  std::ifstream(dir + "/display") >> name;
  std::ifstream(dir + "/pid") >> pid;
  XSetErrorHandler(OnError);
  display = XOpenDisplay(name.c_str());
}

TwoMonitorXorg::~TwoMonitorXorg() {
  if (display != nullptr) XCloseDisplay(display);
  // Not our child (the script started it): wait for it to be gone.
  if (pid > 0 && kill(pid, SIGTERM) == 0)
    WaitUntil([&] { return kill(pid, 0) != 0; }, Milliseconds(10000));
  RunTool({"rm", "-rf", dir}, "");
}

}  // namespace x11test
