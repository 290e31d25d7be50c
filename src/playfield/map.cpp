// map.cpp -- the field record and the lay-out of a new game
#include "playfield/map.h"

#include <cstdlib>

#include "core/game.h"
#include "playfield/bonus.h"
#include "playfield/bricker.h"
#include "playfield/player.h"
#include "playfield/roller.h"

namespace {
constexpr int kBrickCount = 150;
constexpr float kBrickCore = 0.5f;
constexpr float kBrickShell = 1.0f;
constexpr float kFirstBallInside = 10;  // distance inside the paddle's circle
}  // namespace

void map_create() {
  auto *map = static_cast<map_t *>(game_alloc(sizeof(map_t), "map"));
  g_game->map = map;
  map->bricks = nullptr;

  // rand() is never seeded, so every game lays out the same field. The
  // distance is drawn before the angle; separate statements keep that order.
  for (int i = 0; i < kBrickCount; ++i) {
    const int rho = std::rand() % 20 + 5;
    const int theta = std::rand() % 360;
    bricker_create(static_cast<float>(rho), static_cast<float>(theta), 0, kBrickCore, kBrickShell);
  }
  bricker_mother_create(0, 0, 0);  // made last, so it heads the list

  map->rollers = nullptr;
  map->bricks_left = kBrickCount;
  const player_t *paddle = g_game->player[0];
  roller_create(paddle->rho - kFirstBallInside, paddle->theta, paddle->phi, 1, 0, 0);
}

void map_update() {}

void map_display() {
  roller_display();
  bricker_display();
  bonus_display();
}

void map_destroy() {}
