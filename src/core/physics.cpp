// physics.cpp -- the per-frame simulation step and its frame clock
#include "core/physics.h"

#include "core/game.h"
#include "playfield/bricker.h"
#include "playfield/player.h"
#include "playfield/roller.h"

namespace {
constexpr double kInverserDuration = 10000;  // ms
}

void physics_create() { g_game->last_tick = SDL_GetTicks(); }

void physics_update() {
  player_update(0);
  roller_update();
  bricker_update();
  // Stamped after the updates and before drawing, so drawing and input time
  // count into the next frame's dt.
  g_game->last_tick = SDL_GetTicks();

  player_t *player = g_game->player[0];
  if (player->inverser_time != -1) {
    const Uint32 now = SDL_GetTicks();
    if (static_cast<double>(now) - player->inverser_time > kInverserDuration) player->inverser_time = -1;
  }
}

void physics_destroy() {}
