// A host's preview window for `quelvo /p`: a plain WIDTH x HEIGHT window on $DISPLAY,
// mapped; prints its id in decimal and lives until killed, selecting no input.
//
//   quelvo_preview_x_host WIDTH HEIGHT
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s WIDTH HEIGHT\n", argv[0]);
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return 1;
  const Window window =
      XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, static_cast<unsigned>(std::atoi(argv[1])),
                          static_cast<unsigned>(std::atoi(argv[2])), 0, 0, 0);
  XMapWindow(d, window);
  XSync(d, False);
  std::printf("%lu\n", window);
  std::fflush(stdout);
  for (;;) pause();
}
