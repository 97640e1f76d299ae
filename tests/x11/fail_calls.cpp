// Preloaded into quelvo to make a call fail as a starved or locked-down system makes it:
// with QUELVO_FAIL_SIGNALFD set, signalfd fails as at the descriptor limit; with
// QUELVO_MAX_PIXMAP=N, the server refuses every pixmap of more than N pixels.
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <signal.h>

#include <cerrno>
#include <cstdlib>

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

extern "C" int signalfd(int fd, const sigset_t* mask, int flags) {
  if (std::getenv("QUELVO_FAIL_SIGNALFD") == nullptr)
    return Next<int (*)(int, const sigset_t*, int)>("signalfd")(fd, mask, flags);
  errno = EMFILE;
  return -1;
}

extern "C" Pixmap XCreatePixmap(Display* d, Drawable on, unsigned width, unsigned height,
                                unsigned depth) {
  const char* max = std::getenv("QUELVO_MAX_PIXMAP");
  // A depth no server offers: the server itself refuses, as it does when out of memory.
  if (max != nullptr && 1ul * width * height > std::strtoul(max, nullptr, 10)) depth = 13;
  return Next<Pixmap (*)(Display*, Drawable, unsigned, unsigned, unsigned)>("XCreatePixmap")(
      d, on, width, height, depth);
}
