// Runs `quelvo /s` on $DISPLAY with its timers driven by a count instead of the clock:
// each 1/64 s step fires the timers due then, as the message loop would, and paints.
// The same steps give the same picture on every run, whatever the machine's load.
//
//   quelvo_x11_paint_bench [steps] [picture.ppm]       (steps: 2000)
//
// Prints the heap allocations per step of the rain after the banner (the X11 paint
// path included) and fails if there are any, and this process's CPU time per step
// (no waiting, no wake-ups: the program's and Xlib's own work); writes the form's pixels after the
// last step when a file is named.
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "../counting_allocator.h"
#include "about/Form1.h"
#include "forms/app.h"
#include "rain/frmScreenSaver.h"
// Xlib's macros come after the program's headers.
#include "platform/linux_entry/linux_backend.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_paint.h"
#include "platform/x11/x11_system.h"
#include "platform/x11/x11_timer.h"
#include "platform/x11/x11_window.h"

namespace {

double CpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

constexpr int kBannerSteps = 30 * 7 + 64;  // Timer4 restarts the rain at its 30th tick

// What the message loop does with the events a paint step can bring.
void HandleEvents() {
  Display* d = x11::X().display;
  XSync(d, False);
  while (XPending(d) > 0) {
    XEvent e;
    XNextEvent(d, &e);
    x11::WindowRecord* w = x11::FindWindowByX(e.xany.window);
    if (w == nullptr) continue;
    if (e.type == MapNotify) w->viewable = true;
    if (e.type == UnmapNotify) w->viewable = false;
    if (e.type == VisibilityNotify) w->visibility = e.xvisibility.state;
    if (e.type == Expose) {
      x11::AddDamage(*w, {e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width,
                          e.xexpose.y + e.xexpose.height});
    }
  }
}

// One 1/64 s step: the timers due, in the order they were started, then the paint.
void Step(forms::App& app, rain::frmScreenSaver& saver, long step) {
  if (step % 2 == 0) saver.Timer3_Timer();  // 20 ms: every second step
  app.FlushDamage();
  saver.Timer1_Timer();
  app.FlushDamage();
  if (step % 7 == 0) saver.Timer4_Timer();  // 100 ms: every seventh
  app.FlushDamage();
  x11::PaintPending();
  XFlush(x11::X().display);
}

bool WritePicture(Window window, const char* path) {
  Display* d = x11::X().display;
  XWindowAttributes attributes;
  XGetWindowAttributes(d, window, &attributes);
  XImage* image = XGetImage(d, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  FILE* file = std::fopen(path, "wb");
  if (image == nullptr || file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", image->width, image->height);
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                    static_cast<unsigned char>(p >> 8),
                                    static_cast<unsigned char>(p)};
      std::fwrite(rgb, 1, 3, file);
    }
  }
  XDestroyImage(image);
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const long steps = argc > 1 ? std::atol(argv[1]) : 2000;
  const char* picture = argc > 2 ? argv[2] : nullptr;
  x11::SetCommandLine("/s");
  if (!x11::OpenConnection()) {
    std::fprintf(stderr, "no X display\n");
    return 2;
  }
  x11::StartClock();
  linux_platform::Activate(linux_platform::kX11Backend);
  forms::App app;
  about::Form1 aboutBox(app);
  rain::frmScreenSaver saver(app, aboutBox);
  app.Start(saver);
  HandleEvents();

  std::uint64_t before = 0;
  double cpuBefore = 0;
  for (long step = 1; step <= steps; ++step) {
    if (step == kBannerSteps) {
      before = bench::Allocations();
      cpuBefore = CpuSeconds();
    }
    Step(app, saver, step);
    if (step < kBannerSteps) HandleEvents();  // the steady rain brings none
  }
  const double cpu = CpuSeconds() - cpuBefore;
  HandleEvents();
  const long counted = steps - kBannerSteps + 1;
  const std::uint64_t allocations = bench::Allocations() - before;
  if (counted > 0) {
    std::printf("heap allocations per step of rain (%ld steps): %.3f\n", counted,
                static_cast<double>(allocations) / static_cast<double>(counted));
    std::printf("client CPU per step of rain, us: %.1f\n",
                cpu * 1e6 / static_cast<double>(counted));
  }
  if (picture != nullptr && !WritePicture(x11::FindWindow(saver.hWnd())->xid, picture)) return 2;
  return counted > 0 && allocations != 0 ? 1 : 0;
}
