// bench_field.cpp -- fields laid out the same way for the benchmarks and the picture test
#include "bench_field.h"

#include <SDL/SDL.h>

#include <cstdlib>

#include "core/game.h"
#include "geometry/toolkit_sphere.h"
#include "playfield/bricker.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "playfield/roller.h"
#include "playfield_helpers.h"

namespace {
constexpr Uint32 kSettleStepMs = 16;
constexpr int kSettleSteps = 125;  // 2 s: the highest new brick rests after 1.87 s

}  // namespace

void bench_field_game() {
  game_fresh();
  g_game->last_tick = SDL_GetTicks();
}

void bench_field_reset(int balls, bool settle) {
  field_free();
  std::srand(1);  // the sequence of a game that never seeds
  map_create();

  // Only the bricks move while settling: with the ball update out of the way no
  // ball can leave the field before the measurement starts.
  if (settle) {
    for (int i = 0; i < kSettleSteps; ++i) {
      g_game->last_tick = SDL_GetTicks() - kSettleStepMs;
      bricker_update();
    }
  }

  // Spread over the field at distances 8 to 33, heading in directions a
  // golden angle apart, so that they meet bricks and the paddle alike.
  for (int i = bench_field_ball_count(); i < balls; ++i) {
    const float place = 360.0f * static_cast<float>(i) / static_cast<float>(balls);
    const float rho = 8.0f + static_cast<float>((i * 13) % 26);
    const vec3_t heading = sphere2cart(1, 137.5f * static_cast<float>(i), 0);
    const vec3_t dir = normalize(heading.x, 0, heading.z);
    roller_create(rho, place, 0, dir.x, dir.y, dir.z);
  }
  g_game->last_tick = SDL_GetTicks();
}

int bench_field_ball_count() { return ball_count(); }
