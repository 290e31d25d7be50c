// physics.cpp -- the per-frame simulation step and its frame clock
#include "core/physics.h"

#include "core/game.h"
#include "playfield/bonus.h"
#include "playfield/bricker.h"
#include "playfield/player.h"
#include "playfield/roller.h"

void physics_create() { g_game->last_tick = SDL_GetTicks(); }

void physics_update() {
  player_update(0);
  roller_update();
  if (g_game->over) return;  // the game ends at the step that loses its last ball
  bricker_update();
  // Stamped after the updates and before drawing, so drawing and input time
  // count into the next frame's dt.
  g_game->last_tick = SDL_GetTicks();
  bonus_expire(g_game->player[0], BONUS_SWAPPED);
}

void physics_destroy() {}
