#include "harness.h"

#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/scrnsaver.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

namespace x11test {
namespace {

// The tests look at windows that may vanish under them; an error is an answer.
int OnError(Display*, XErrorEvent*) { return 0; }

pid_t Spawn(const std::vector<std::string>& args, const std::string& display, int outputFd) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    dup2(outputFd, STDOUT_FILENO);
    dup2(outputFd, STDERR_FILENO);
    // Signals blocked or ignored here would be inherited: give the child defaults.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(outputFd);
  return pid;
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
  // -displayfd: the server picks a free display number and writes it here.
  pid_ = Spawn({"sh", "-c", "exec 3>&1 >/dev/null 2>&1; exec Xvfb -displayfd 3 \"$@\"", "-",
                "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
               "", fds[1]);
  // Blocks until the number is written or the server is gone.
  std::FILE* in = fdopen(fds[0], "r");
  int number = -1;
  if (std::fscanf(in, "%d", &number) == 1) name_ = ":" + std::to_string(number);
  std::fclose(in);
  XSetErrorHandler(OnError);
  if (!name_.empty()) display_ = XOpenDisplay(name_.c_str());
}

XServer::XServer(TwoMonitors) : dir_("/tmp/quelvo-xorg-" + std::to_string(getpid())) {
  if (RunTool({QUELVO_TWO_MONITOR_SCRIPT, dir_}, "") != 0) return;
  std::ifstream(dir_ + "/display") >> name_;
  std::ifstream(dir_ + "/pid") >> pid_;
  XSetErrorHandler(OnError);
  display_ = XOpenDisplay(name_.c_str());
}

void XServer::Kill() {
  if (display_ != nullptr) XCloseDisplay(display_);
  display_ = nullptr;
  if (pid_ > 0 && kill(pid_, SIGTERM) == 0 && waitpid(pid_, nullptr, 0) != pid_) {
    // Xorg is the script's child, not ours: wait for it to be gone.
    WaitUntil([&] { return kill(pid_, 0) != 0; }, Milliseconds(10000));
  }
  pid_ = -1;
  if (!dir_.empty()) RunTool({"rm", "-rf", dir_}, "");
}

Process::Process(const std::vector<std::string>& argv, const std::string& display) {
  char path[] = "/tmp/quelvo-x11-test-XXXXXX";
  pid_ = Spawn(argv, display, mkstemp(path));
  outputPath_ = path;
}

Process::~Process() {
  if (Running()) {
    kill(pid_, SIGKILL);
    WaitExit(Milliseconds(2000));
  }
  unlink(outputPath_.c_str());
}

std::string Process::Output() const {
  std::ifstream in(outputPath_);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<int> Process::WaitExit(Milliseconds timeout) {
  WaitUntil(
      [&] {
        int raw = 0;
        if (!status_ && waitpid(pid_, &raw, WNOHANG) == pid_) status_ = DecodeStatus(raw);
        return status_.has_value();
      },
      timeout, Milliseconds(5));
  return status_;
}

int RunTool(const std::vector<std::string>& argv, const std::string& display) {
  int raw = 0;
  waitpid(Spawn(argv, display, open("/dev/null", O_WRONLY)), &raw, 0);
  return DecodeStatus(raw);
}

Image Capture(Display* display, Window window) {
  const auto g = GeometryOf(display, window);
  XImage* x = g ? XGetImage(display, window, 0, 0, static_cast<unsigned>(g->width),
                            static_cast<unsigned>(g->height), AllPlanes, ZPixmap)
                : nullptr;
  if (x == nullptr) return {};
  Image image{g->width, g->height, {}};
  for (int y = 0; y < image.height; ++y)
    for (int px = 0; px < image.width; ++px)
      image.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(x, px, y)) & 0xFFFFFF);
  XDestroyImage(x);
  return image;
}

int Count(const Image& image, const Box& box, const std::function<bool(std::uint32_t)>& pred) {
  int n = 0;
  for (int y = std::max(box.top, 0); y < std::min(box.bottom, image.height); ++y)
    for (int x = std::max(box.left, 0); x < std::min(box.right, image.width); ++x)
      n += pred(image.At(x, y));
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

bool CursorHidden(Display* display) {
  XFixesCursorImage* cursor = XFixesGetCursorImage(display);
  if (cursor == nullptr) return false;
  const bool hidden = std::none_of(cursor->pixels, cursor->pixels + cursor->width * cursor->height,
                                   [](unsigned long p) { return (p >> 24) != 0; });
  XFree(cursor);
  return hidden;
}

std::vector<Window> Children(Display* display, Window parent) {
  Window root, up, *children = nullptr;
  unsigned n = 0;
  std::vector<Window> found;
  if (XQueryTree(display, parent, &root, &up, &children, &n)) found.assign(children, children + n);
  if (children != nullptr) XFree(children);
  return found;
}

std::vector<Window> SaverWindows(Display* display, Window parent) {
  std::vector<Window> found;
  for (Window child : Children(display, parent)) {
    XClassHint hint{};
    if (!XGetClassHint(display, child, &hint)) continue;
    if (std::strcmp(hint.res_name, "quelvo") == 0) found.push_back(child);
    XFree(hint.res_name);
    XFree(hint.res_class);
  }
  return found;
}

std::optional<Geometry> GeometryOf(Display* display, Window window) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(display, window, &a)) return std::nullopt;
  return Geometry{a.x, a.y, a.width, a.height, a.map_state == IsViewable};
}

std::optional<Window> WaitForSaverWindow(Display* display, Window parent, Milliseconds timeout) {
  std::optional<Window> found;
  WaitUntil(
      [&] {
        for (Window w : SaverWindows(display, parent)) {
          const auto geometry = GeometryOf(display, w);
          if (geometry && geometry->viewable) found = w;
        }
        return found.has_value();
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

}  // namespace x11test
