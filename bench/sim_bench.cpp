// sim_bench.cpp -- cost of one simulation step on a new game's field, and of a split at the ball bound
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "bench_field.h"
#include "core/game.h"
#include "core/physics.h"
#include "fake_clock.h"
#include "playfield/bonus.h"
#include "playfield/bricker.h"
#include "playfield/map.h"
#include "playfield/roller.h"

namespace {
constexpr Uint32 kFrameMs = 16;  // a 60 frames/s frame

void sim_bench_start() {
  static bool started = false;
  if (started) return;
  started = true;
  fake_clock_set(100000);
  bench_field_game();
}

// What a step changes in the records. No ball or brick leaves the lists in
// one step from a field at rest (removal takes seconds of falling), so
// copying the records back, links included, restores the field exactly.
struct sim_snapshot_t {
  std::vector<roller_t> balls;
  std::vector<bricker_t> bricks;
  int32_t bricks_left;
  int32_t score;
  Uint32 last_tick;
};

sim_snapshot_t sim_snapshot_take() {
  sim_snapshot_t s;
  for (const roller_t *r = g_game->map->rollers; r != nullptr; r = r->next) s.balls.push_back(*r);
  for (const bricker_t *b = g_game->map->bricks; b != nullptr; b = b->next) s.bricks.push_back(*b);
  s.bricks_left = g_game->map->bricks_left;
  s.score = g_game->score;
  s.last_tick = g_game->last_tick;
  return s;
}

void sim_snapshot_restore(const sim_snapshot_t &s) {
  size_t i = 0;
  for (roller_t *r = g_game->map->rollers; r != nullptr; r = r->next) *r = s.balls[i++];
  i = 0;
  for (bricker_t *b = g_game->map->bricks; b != nullptr; b = b->next) *b = s.bricks[i++];
  g_game->map->bricks_left = s.bricks_left;
  g_game->score = s.score;
  g_game->last_tick = s.last_tick;
}

// Every iteration is one step from the same moment of a new game: all 150
// bricks at rest, the balls resting on the field and spread over it. That is
// the dearest step of a game, when every resting brick is still tested
// against every ball (within a second most bricks have been hit and fall,
// and a falling brick is tested no more).
void BM_PhysicsUpdate(benchmark::State &state) {
  const int balls = static_cast<int>(state.range(0));
  sim_bench_start();
  bench_field_reset(balls);
  for (roller_t *r = g_game->map->rollers; r != nullptr; r = r->next) r->pos.y = r->radius;
  g_game->last_tick = fake_clock_now();
  const sim_snapshot_t field = sim_snapshot_take();
  int hits = 0;
  for (auto _ : state) {
    sim_snapshot_restore(field);
    fake_clock_set(field.last_tick + kFrameMs);
    const auto start = std::chrono::steady_clock::now();
    physics_update();
    const auto stop = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    hits = field.bricks_left - g_game->map->bricks_left;
  }
  sim_snapshot_restore(field);
  state.counters["balls"] = bench_field_ball_count();
  state.counters["bricks_hit"] = hits;  // in the measured step
}
BENCHMARK(BM_PhysicsUpdate)->Arg(1)->Arg(16)->Arg(64)->Arg(kMaxRollers)->UseManualTime();

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
