// The cost of one poll of the capture loop, without its 10 ms delay.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "poll_bench.h"
#include "poll_setup.h"

namespace skein::bench {
namespace {

// The log is emptied this often, off the clock.
constexpr std::int64_t kPollsPerEmptying = 1 << 16;

void OnePoll(benchmark::State& state, PollSetup::Kind kind) {
  std::unique_ptr<PollSetup> setup = PollSetup::Create(kind);
  if (!setup) {
    state.SkipWithError("cannot set up the capture loop");
    return;
  }
  std::int64_t accepted = 0;
  std::int64_t untilEmptying = kPollsPerEmptying;
  for (auto _ : state) {
    std::optional<std::string> label = setup->Poll();
    accepted += label.has_value();
    benchmark::DoNotOptimize(label);
    if (--untilEmptying == 0) {
      state.PauseTiming();
      setup->EmptyLog();
      state.ResumeTiming();
      untilEmptying = kPollsPerEmptying;
    }
  }
  state.SetItemsProcessed(state.iterations());
  // A check that each poll was of the kind its name says.
  state.counters["accepted"] =
      benchmark::Counter(double(accepted), benchmark::Counter::kAvgIterations);
}

}  // namespace

void RegisterPollBenchmarks() {
  benchmark::RegisterBenchmark(
      "poll/idle", [](benchmark::State& state) { OnePoll(state, PollSetup::Kind::Idle); });
  benchmark::RegisterBenchmark(
      "poll/accept", [](benchmark::State& state) { OnePoll(state, PollSetup::Kind::Accept); });
}

}  // namespace skein::bench
