// The least an X client can do that repaints like quelvo: it wakes 64 times a second
// on the same 1/64 s grid and copies N areas of W x H pixels from a pixmap into a
// full-screen window, at places that change every tick. No drawing, no program logic:
// what it costs the client and the server is the floor under quelvo's own figures.
//
//   quelvo_x11_floor_client N W H
#include <X11/Xlib.h>
#include <poll.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr long kQuantumNs = 15'625'000;  // 1/64 s

void Advance(timespec& t) {
  t.tv_nsec += kQuantumNs;
  if (t.tv_nsec >= 1'000'000'000) {
    t.tv_nsec -= 1'000'000'000;
    ++t.tv_sec;
  }
}

long long NanosecondsUntil(const timespec& t) {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (t.tv_sec - now.tv_sec) * 1'000'000'000LL + (t.tv_nsec - now.tv_nsec);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s areas width height\n", argv[0]);
    return 2;
  }
  const int areas = std::atoi(argv[1]), width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return 1;
  const int screen = DefaultScreen(d);
  const int screenWidth = DisplayWidth(d, screen), screenHeight = DisplayHeight(d, screen);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  const Window window =
      XCreateWindow(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(screenWidth),
                    static_cast<unsigned>(screenHeight), 0, CopyFromParent, InputOutput,
                    CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
  XMapWindow(d, window);
  XGCValues values{};
  values.graphics_exposures = False;
  const GC gc = XCreateGC(d, window, GCGraphicsExposures, &values);
  const Pixmap source =
      XCreatePixmap(d, window, static_cast<unsigned>(width), static_cast<unsigned>(height),
                    static_cast<unsigned>(DefaultDepth(d, screen)));
  XSync(d, False);

  unsigned random = 1;
  timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  for (;;) {
    Advance(next);
    const long long ns = NanosecondsUntil(next);
    const timespec timeout{static_cast<time_t>(ns > 0 ? ns / 1'000'000'000 : 0),
                           static_cast<long>(ns > 0 ? ns % 1'000'000'000 : 0)};
    pollfd fd{ConnectionNumber(d), POLLIN, 0};
    ppoll(&fd, 1, &timeout, nullptr);
    while (XPending(d) > 0) {
      XEvent e;
      XNextEvent(d, &e);
    }
    for (int i = 0; i < areas; ++i) {
      random = random * 1103515245u + 12345u;
      const int x = static_cast<int>((random >> 8) % static_cast<unsigned>(screenWidth - width));
      const int y = static_cast<int>((random >> 4) % static_cast<unsigned>(screenHeight - height));
      XCopyArea(d, source, window, gc, 0, 0, static_cast<unsigned>(width),
                static_cast<unsigned>(height), x, y);
    }
    XFlush(d);
  }
}
