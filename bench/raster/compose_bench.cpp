// Drives `quelvo /s` on the sim display by fixed 1/64 s steps, as the X11 paint bench
// does on a real display, and composes what each step damaged with the client-side
// renderer into a canvas of the screen's size.
//
//   quelvo_raster_compose_bench [steps] [picture.ppm] [dpi] [width height]
//                                                        (2000, none, 96, 1920 1080)
//
// Prints the heap allocations (malloc and new alike, pixman's and FreeType's included)
// per Compose of the rain after the banner, and fails if there are any, and the CPU
// time of the Compose calls per step. With a file named, composes the whole form and
// its frames after the last step and writes the picture, to compare with the X11
// platform's (same_look.sh).
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "about/Form1.h"
#include "counting_malloc.h"
#include "forms/app.h"
#include "forms/events.h"
#include "platform/raster/raster.h"
#include "platform/sim/sim.h"
#include "rain/frmScreenSaver.h"

namespace {

double CpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

constexpr int kBannerSteps = 30 * 7 + 64;  // Timer4 restarts the rain at its 30th tick

// The same steps as the X11 paint bench, so both reach the same state.
void Step(forms::App& app, rain::frmScreenSaver& saver, long step) {
  if (step % 2 == 0) saver.Timer3_Timer();
  app.FlushDamage();
  saver.Timer1_Timer();
  app.FlushDamage();
  if (step % 7 == 0) saver.Timer4_Timer();
  app.FlushDamage();
  sim::Paint();
}

// The window's position on the screen, its frames' positions added up.
void OriginOf(platform::WindowHandle window, int& x, int& y) {
  x = y = 0;
  for (const sim::Window* w = sim::Find(window); w != nullptr && w->handle != sim::Desktop();
       w = sim::Find(w->parent)) {
    x += w->rect.left;
    y += w->rect.top;
  }
}

bool WritePicture(const raster::Canvas& canvas, const char* path) {
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", canvas.width, canvas.height);
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const std::uint32_t p = canvas.pixels[y * canvas.stride / 4 + x];
      const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                    static_cast<unsigned char>(p >> 8),
                                    static_cast<unsigned char>(p)};
      std::fwrite(rgb, 1, 3, file);
    }
  }
  return std::fclose(file) == 0;
}

// The whole form, then its visible frames above it.
void ComposeAll(raster::Canvas& canvas, platform::WindowHandle form, int dpi) {
  std::vector<platform::WindowHandle> windows{form};
  for (platform::WindowHandle child : sim::Children(form)) {
    if (sim::Find(child)->visible) windows.push_back(child);
  }
  for (platform::WindowHandle window : windows) {
    const sim::Window* w = sim::Find(window);
    const platform::PixelRect all{0, 0, w->clientWidth, w->clientHeight};
    int x, y;
    OriginOf(window, x, y);
    raster::Compose(canvas, forms::events::DescribePaint(window, {&all, 1}), {&all, 1}, x, y, dpi);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long steps = argc > 1 ? std::atol(argv[1]) : 2000;
  const char* picture = argc > 2 ? argv[2] : nullptr;
  const int dpi = argc > 3 ? std::atoi(argv[3]) : 96;
  const int width = argc > 5 ? std::atoi(argv[4]) : 1920;
  const int height = argc > 5 ? std::atoi(argv[5]) : 1080;
  sim::Reset(width, height, dpi);
  sim::SetCommandLine("/s");
  sim::SetCallLogging(false);
  forms::App app;
  about::Form1 aboutBox(app);
  rain::frmScreenSaver saver(app, aboutBox);
  app.Start(saver);

  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  raster::Canvas canvas{pixels.data(), width, height, width * 4};
  std::uint64_t allocations = 0;
  double cpu = 0;
  long composes = 0;
  for (long step = 1; step <= steps; ++step) {
    Step(app, saver, step);
    for (const sim::PaintRecord& record : sim::LastPaint()) {
      const forms::events::PaintScene scene =
          forms::events::DescribePaint(record.window, record.areas);
      int x, y;
      OriginOf(record.window, x, y);
      const std::uint64_t before = bench::MallocCalls();
      const double cpuBefore = CpuSeconds();
      raster::Compose(canvas, scene, record.areas, x, y, dpi);
      if (step >= kBannerSteps) {
        cpu += CpuSeconds() - cpuBefore;
        allocations += bench::MallocCalls() - before;
        ++composes;
      }
    }
    sim::ClearPaint();
  }
  const long counted = steps - kBannerSteps + 1;
  if (counted > 0 && composes > 0) {
    std::printf("heap allocations per Compose of rain (%ld composes): %.3f\n", composes,
                static_cast<double>(allocations) / static_cast<double>(composes));
    std::printf("Compose CPU per step of rain, us: %.1f\n",
                cpu * 1e6 / static_cast<double>(counted));
  }
  if (picture != nullptr) {
    ComposeAll(canvas, saver.hWnd(), dpi);
    if (!WritePicture(canvas, picture)) return 2;
  }
  raster::Shutdown();
  return composes > 0 && allocations != 0 ? 1 : 0;
}
