// A preview that runs as the settings window runs it, without the window: a Host drawn
// into a canvas on every 1/64 s of the monotonic clock, until the process is killed.
// versus_p.sh measures its CPU beside `quelvo /p` of the same area.
//
//   quelvo_preview_run WIDTH HEIGHT SCALE
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/preview/preview_host.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s WIDTH HEIGHT SCALE\n", argv[0]);
    return 2;
  }
  const int width = std::atoi(argv[1]), height = std::atoi(argv[2]), scale = std::atoi(argv[3]);
  if (width <= 0 || height <= 0 || scale <= 0) return 2;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * scale * height * scale));
  raster::Canvas canvas{pixels.data(), width * scale, height * scale, width * scale * 4};
  preview::Host host(width, height, scale);
  timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  for (;;) {
    const std::int64_t micros = next.tv_sec * 1'000'000LL + next.tv_nsec / 1000;
    host.AdvanceTo(micros);
    host.Draw(canvas);
    next.tv_nsec += 15'625'000;
    if (next.tv_nsec >= 1'000'000'000) {
      next.tv_nsec -= 1'000'000'000;
      ++next.tv_sec;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) != 0) {
    }
  }
}
