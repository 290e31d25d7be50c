// playfield_helpers.h -- put balls straight onto the field, walk the ball list and free the field in tests
#pragma once

#include <cstdlib>

#include "core/game.h"
#include "geometry/toolkit_sphere.h"
#include "playfield/bricker.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "playfield/roller.h"

// The context and the paddle as start-up builds them, minus the window.
inline void game_fresh() {
  game_init();
  g_game->score = 0;
  g_game->move_right = 0;
  g_game->move_left = 0;
  player_create(0);
}

// A ball as a moved, resting ball looks: base speed 0.015, radius 0.4, polar
// fields from its position. Pushed at the head, like every new ball.
inline roller_t *put_ball(vec3_t pos, vec3_t dir) {
  auto *r = static_cast<roller_t *>(std::calloc(1, sizeof(roller_t)));
  const vec3_t polar = cart2sphere(pos.x, pos.y, pos.z);
  r->speed = 0.015f;
  r->radius = 0.4f;
  r->rho = polar.x;
  r->theta = polar.y;
  r->phi = 0;
  r->pos = pos;
  r->dir = dir;
  r->next = g_game->map->rollers;
  g_game->map->rollers = r;
  return r;
}

inline int ball_count() {
  int n = 0;
  for (const roller_t *r = g_game->map->rollers; r != nullptr; r = r->next) ++n;
  return n;
}

// The game never frees its bricks: a test or benchmark that lays out field
// after field does.
inline void bricks_free() {
  for (bricker_t *b = g_game->map->bricks; b != nullptr;) {
    bricker_t *next = b->next;
    std::free(b);
    b = next;
  }
  g_game->map->bricks = nullptr;
}

inline void field_free() {
  if (g_game->map == nullptr) return;
  roller_destroy();
  bricks_free();
  std::free(g_game->map);
  g_game->map = nullptr;
}

inline roller_t *ball_at(int index) {
  roller_t *r = g_game->map->rollers;
  while (r != nullptr && index-- > 0) r = r->next;
  return r;
}
