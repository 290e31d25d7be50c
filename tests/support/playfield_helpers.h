// playfield_helpers.h -- balls and bricks put straight onto the field, frames stepped, lists walked and freed
#pragma once

#include <cstdlib>

#include "core/game.h"
#include "fake_clock.h"
#include "geometry/toolkit_sphere.h"
#include "playfield/bricker.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "playfield/roller.h"

// The context and the paddle as start-up builds them, minus the window.
inline void game_fresh() {
  game_init();  // zeroed: no score, no turn flags
  player_create(0);
}

// A ball as the game makes one, at the head of the list.
inline roller_t *new_ball(float rho, float theta, float dx, float dz) {
  roller_create(rho, theta, 0, dx, 0, dz);
  return g_game->map->rollers;
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

// A normal brick already resting at (rho, 1, 0), pushed at the head.
inline bricker_t *put_brick(float rho) {
  bricker_create(rho, 0, 0, 0.5f, 1.0f);
  g_game->map->bricks->pos.y = 1.0f;
  return g_game->map->bricks;
}

template <typename T>
int list_length(const T *head) {
  int n = 0;
  for (; head != nullptr; head = head->next) ++n;
  return n;
}
inline int brick_count() { return list_length(g_game->map->bricks); }
inline int ball_count() { return list_length(g_game->map->rollers); }

// n frames of `update`, each dt ms after the previous frame's stamp, stamped
// afterwards as the main loop does.
inline void run_frames(void (*update)(), Uint32 dt, int n = 1) {
  for (int i = 0; i < n; ++i) {
    const Uint32 now = g_game->last_tick + dt;
    fake_clock_set(now);
    update();
    g_game->last_tick = now;
  }
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
