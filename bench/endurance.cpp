// An hour of virtual time in full-screen mode: 230,400 Timer1 ticks with the other
// timers. At every tick each rain label must lie within the bounds the rain implies
// (heads on the form, trails in line behind them; at the restart, all scattered on the
// form); afterwards the banner counters must have settled. Prints the wall time.
#include <chrono>
#include <cstdio>

#include "full_screen_saver.h"

namespace {

constexpr int kTicksPerHour = 3600 * 64;

// Heads lie in [0, H] and [0, W); the trail label at depth d sits 220 * d above its
// head with the head's Left. The spare members never move.
int Violations(const forms::LabelArray& labels, float width, float height) {
  int violations = 0;
  for (int c = 0; c <= 20; ++c) {
    const forms::Label& head = labels(c);
    if (head.Top() < 0 || head.Top() > height || head.Left() < 0 || head.Left() >= width)
      ++violations;
    for (int d = 1; d <= 3; ++d) {
      const forms::Label& trail = labels(c + 21 * d);
      if (trail.Left() != head.Left() || trail.Top() > head.Top() - 220 * d + 0.01f ||
          trail.Top() < head.Top() - 220 * d - 0.01f)
        ++violations;
    }
  }
  return violations;
}

// In the instant of the restart the set-up has just scattered every label over the form.
int ScatterViolations(const forms::LabelArray& labels, float width, float height) {
  int violations = 0;
  for (int i = 0; i <= 83; ++i) {
    const forms::Label& label = labels(i);
    if (label.Top() < 0 || label.Top() >= height || label.Left() < 0 || label.Left() >= width)
      ++violations;
  }
  return violations;
}

}  // namespace

int main() {
  bench::FullScreenSaver running;
  rain::frmScreenSaver& saver = running.saver;
  const float spareLeft = saver.Label1(84).Left(), spareTop = saver.Label1(85).Top();

  const auto start = std::chrono::steady_clock::now();
  long long violations = 0;
  for (int tick = 0; tick < kTicksPerHour; ++tick) {
    const int bannerTicks = saver.BannerTicks;
    sim::AdvanceTicks(1);
    const float W = saver.Width(), H = saver.Height();
    if (bannerTicks == 29 && saver.BannerTicks == 30)
      violations += ScatterViolations(saver.Label1, W, H) + ScatterViolations(saver.Label2, W, H);
    else
      violations += Violations(saver.Label1, W, H) + Violations(saver.Label2, W, H);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  const bool sparesKept = saver.Label1(84).Left() == spareLeft &&
                          saver.Label1(85).Top() == spareTop && !saver.Label1(84).Visible() &&
                          !saver.Label1(85).Visible();
  std::printf("virtual time: %.1f s (%d Timer1 ticks)\n", sim::NowMicros() / 1e6, kTicksPerHour);
  std::printf("wall time:    %.3f s\n", seconds);
  std::printf("bound violations: %lld\n", violations);
  std::printf("BannerStep %d, BannerTicks %d, spare members kept: %s\n", saver.BannerStep,
              saver.BannerTicks, sparesKept ? "yes" : "no");
  const bool ok = violations == 0 && saver.BannerStep == 5 && saver.BannerTicks == 30 &&
                  sparesKept && !sim::QuitCalled();
  std::printf("%s\n", ok ? "OK" : "FAILED");
  return ok ? 0 : 1;
}
