// The preview's cost per 1/64 s frame, after the banner: the host's clock moved one
// period and the damage drawn into its canvas (PreviewFrame/width/height/scale), with
// the calls into the C heap per frame, which must be none.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "counting_malloc.h"
#include "platform/preview/preview_host.h"

namespace {

constexpr std::int64_t kTick = 15'625;  // 1/64 s in micros

void PreviewFrame(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  const int scale = static_cast<int>(state.range(2));
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * scale * height * scale));
  raster::Canvas canvas{pixels.data(), width * scale, height * scale, width * scale * 4};
  preview::Host host(width, height, scale);
  std::int64_t now = 0;
  auto frame = [&] {
    now += kTick;
    host.AdvanceTo(now);
    host.Draw(canvas);
  };
  // Past the banner, then long enough for every buffer to reach the size it keeps.
  for (int i = 0; i < 4 * 64 + 2000; ++i) frame();

  const std::uint64_t callsBefore = bench::MallocCalls();
  std::int64_t frames = 0;
  for (auto _ : state) {
    frame();
    ++frames;
  }
  const std::uint64_t calls = bench::MallocCalls() - callsBefore;
  state.counters["heap_calls_per_frame"] =
      benchmark::Counter(static_cast<double>(calls) / static_cast<double>(frames));
  if (calls != 0) state.SkipWithError("a steady-state frame called the heap");
}

BENCHMARK(PreviewFrame)
    ->Args({320, 240, 1})
    ->Args({320, 240, 2})
    ->Args({800, 600, 1})
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->DisplayAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
