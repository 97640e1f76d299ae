// The cost of one Timer1 tick on sim in full-screen mode after the banner: the rain
// step with the damage it leaves handed to the platform (Timer1Tick), and the same
// followed by the sim's paint pass, which collects the labels to draw in the damaged
// areas and records them (Timer1TickAndPaint).
#include <benchmark/benchmark.h>

#include "counting_allocator.h"
#include "full_screen_saver.h"

namespace {

void Tick(benchmark::State& state, bool paint) {
  bench::FullScreenSaver running;
  forms::App& app = running.app;
  rain::frmScreenSaver& saver = running.saver;
  sim::AdvanceTicks(30 * 7 + 64);  // past the banner, into the steady rain

  // Warm up: let every buffer reach the size it keeps.
  for (int i = 0; i < 2000; ++i) {
    saver.Timer1_Timer();
    app.FlushDamage();
    sim::Paint();
  }
  const std::uint64_t allocationsBefore = bench::Allocations();
  std::int64_t ticks = 0;
  for (auto _ : state) {
    // What the message loop does for a tick: the procedure, then damage, then paint.
    saver.Timer1_Timer();
    app.FlushDamage();
    if (paint)
      sim::Paint();
    else
      sim::DiscardDamage();
    ++ticks;
  }
  const std::uint64_t allocations = bench::Allocations() - allocationsBefore;
  state.counters["allocations_per_tick"] =
      benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(ticks));
  if (allocations != 0) state.SkipWithError("a steady-state tick allocated on the heap");
}

void Timer1Tick(benchmark::State& state) { Tick(state, false); }
void Timer1TickAndPaint(benchmark::State& state) { Tick(state, true); }

BENCHMARK(Timer1Tick)->Repetitions(9)->ReportAggregatesOnly(true)->DisplayAggregatesOnly(true);
BENCHMARK(Timer1TickAndPaint)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->DisplayAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
