// sim_bench.cpp -- cost of one simulation step on a new game's field, and of a split at the ball bound
#include <benchmark/benchmark.h>

#include "bench_field.h"
#include "core/game.h"
#include "core/physics.h"
#include "fake_clock.h"
#include "playfield/bonus.h"
#include "playfield/map.h"
#include "playfield/roller.h"

namespace {
constexpr Uint32 kFrameMs = 16;  // a 60 frames/s frame
// A fresh field every so many steps (about one second of play): long before
// any ball can be lost and removed (at least 2.7 s), and before hit bricks
// thin the field out much.
constexpr int kStepsPerField = 64;

void sim_bench_start() {
  static bool started = false;
  if (started) return;
  started = true;
  fake_clock_set(100000);
  bench_field_game();
}

void BM_PhysicsUpdate(benchmark::State &state) {
  const int balls = static_cast<int>(state.range(0));
  sim_bench_start();
  int step = kStepsPerField;
  for (auto _ : state) {
    if (step == kStepsPerField) {
      state.PauseTiming();
      bench_field_reset(balls);
      step = 0;
      state.ResumeTiming();
    }
    fake_clock_set(fake_clock_now() + kFrameMs);
    physics_update();
    ++step;
  }
  state.counters["balls"] = bench_field_ball_count();
}
BENCHMARK(BM_PhysicsUpdate)->Arg(1)->Arg(16)->Arg(64)->Arg(kMaxRollers);

// At the bound a split must add nothing, and find that out cheaply.
void BM_SplitAtBound(benchmark::State &state) {
  sim_bench_start();
  bench_field_reset(kMaxRollers);
  for (auto _ : state) bonus_split();
  const int balls = bench_field_ball_count();
  state.counters["balls"] = balls;
  if (balls != kMaxRollers) state.SkipWithError("a split at the bound changed the number of balls");
}
BENCHMARK(BM_SplitAtBound);

// For scale: a split from half the bound, which makes 128 new balls.
void BM_SplitFromHalf(benchmark::State &state) {
  sim_bench_start();
  for (auto _ : state) {
    state.PauseTiming();
    bench_field_reset(kMaxRollers / 2);
    state.ResumeTiming();
    bonus_split();
  }
  state.counters["balls"] = bench_field_ball_count();
}
BENCHMARK(BM_SplitFromHalf)->Iterations(2000);
}  // namespace

BENCHMARK_MAIN();
