// bricker.cpp -- the bricks: settling, contact with balls, scoring, falling away
#include "playfield/bricker.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/game.h"
#include "frontend/sound.h"
#include "playfield/bonus.h"
#include "playfield/map.h"
#include "playfield/map_local.h"
#include "playfield/player.h"
#include "playfield/roller.h"
#include "render/sphere.h"

namespace {
constexpr float kFallSpeed = 0.015f;  // units per ms
constexpr int kHitScore = 20;
// Every brick's core and shell, the mother brick's too (sphere.cpp compiles
// each size once).
constexpr int kBrickSlices = 10;
constexpr int kBrickStacks = 4;
// The large red brick at the centre.
constexpr float kMotherCore = 1.0f;
constexpr float kMotherShell = 4.0f;
constexpr float kMotherColor[3] = {1, 0, 0};

// One rand() draw for a colour component, from 0.5 to 1.499.
float bricker_random_shade() { return static_cast<float>((std::rand() % 1000) / 1000.0 + 0.5); }

// The contact test works on whole units: the gap truncated towards zero.
// A gap beyond the int range is no contact, rather than an undefined cast.
int32_t bricker_whole_gap(double gap) {
  if (!(std::fabs(gap) < 2147483647.0)) return INT32_MAX;
  return std::abs(static_cast<int32_t>(gap));
}

bool bricker_touches(const bricker_t *b, const roller_t *r) {
  const double reach = static_cast<double>(b->shell_radius) + r->radius;
  return reach > bricker_whole_gap(static_cast<double>(b->pos.x) - r->pos.x) &&
         reach > bricker_whole_gap(static_cast<double>(b->pos.z) - r->pos.z);
}

// The mother brick only counts once it is the last brick of the field.
bool bricker_countable(const bricker_t *b, const map_t *map) {
  if (b->is_hit) return false;
  return !b->is_mother || (map->bricks == b && b->next == nullptr);
}

// A brick resting at its place, pushed at the head of the list, or null when
// out of memory. It draws nothing from rand(): a normal brick draws its colour
// before and its height after.
bricker_t *bricker_add(float rho, float theta, float phi, float core_radius, float shell_radius,
                       const float (&color)[3]) {
  auto *brick = static_cast<bricker_t *>(std::malloc(sizeof(bricker_t)));
  if (brick == nullptr) return nullptr;
  brick->pos = sphere2cart(rho, theta, phi);
  brick->rho = rho;
  brick->theta = theta;
  brick->phi = phi;
  for (int c = 0; c < 3; ++c) brick->color[c] = color[c];
  brick->core_radius = core_radius;
  brick->shell_radius = shell_radius;
  brick->fall_speed = kFallSpeed;
  brick->is_mother = 0;
  brick->is_hit = 0;
  map_t *map = g_game->map;
  brick->next = map->bricks;
  map->bricks = brick;
  return brick;
}

void bricker_step(bricker_t *b, map_t *map, player_t *paddle) {
  const bool falling = b->is_hit || b->pos.y > b->shell_radius || b->rho > paddle->rho + kLostBeyondPaddle;

  if (falling) {
    // Still settling or already hit: out of the balls' reach.
    b->pos.y = static_cast<float>(b->pos.y - game_elapsed_ms() * b->fall_speed);
  } else {
    for (roller_t *r = map->rollers; r != nullptr; r = r->next) {
      if (!bricker_touches(b, r)) continue;
      if (bricker_countable(b, map)) {
        map->bricks_left -= 1;
        b->is_hit = 1;
        g_game->score += kHitScore;
        sound_play(b->is_mother ? SOUND_MOTHER : SOUND_BRICK, map->bricks_left);
      }
      if (!bonus_active(paddle, BONUS_PASS_THROUGH)) {
        roller_bounce(r, sphere2cart(b->rho, b->theta, b->phi));  // away from the brick's centre
      } else {
        // Runs out only at a contact: the late one still passes through.
        bonus_expire(paddle, BONUS_PASS_THROUGH);
      }
    }
  }
}
}  // namespace

void bricker_create(float rho, float theta, float phi, float core_radius, float shell_radius) {
  // A braced list is evaluated in order: red, green, blue.
  const float color[3] = {bricker_random_shade(), bricker_random_shade(), bricker_random_shade()};
  bricker_t *brick = bricker_add(rho, theta, phi, core_radius, shell_radius, color);
  if (brick == nullptr) return;
  // Dropped in from a whole-number height of 20 to 29, it settles onto the field.
  brick->pos.y = static_cast<float>(brick->pos.y + (std::rand() % 10 + 20));
}

void bricker_mother_create(float rho, float theta, float phi) {
  bricker_t *brick = bricker_add(rho, theta, phi, kMotherCore, kMotherShell, kMotherColor);
  if (brick != nullptr) brick->is_mother = 1;  // rests on the field from the start
}

void bricker_update() {
  map_t *map = g_game->map;
  player_t *paddle = g_game->player[0];
  map_update_list(&map->bricks, [map, paddle](bricker_t *b) { bricker_step(b, map, paddle); });
}

void bricker_display() {
  const bricker_t *bricks = g_game->map->bricks;
  if (bricks == nullptr) return;
  // Additive and without depth, so bricks glow through each other. Nothing is
  // drawn between two bricks, so the state they all share is set once around
  // the list instead of around each brick: the picture is the same.
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glDisable(GL_DEPTH_TEST);
  for (const bricker_t *b = bricks; b != nullptr; b = b->next) {
    glPushMatrix();
    glTranslatef(b->pos.x, b->pos.y, b->pos.z);
    glColor4f(1, 1, 1, 0.3f);
    sphere_draw(b->shell_radius, kBrickSlices, kBrickStacks);
    glColor4f(b->color[0], b->color[1], b->color[2], 0.5f);
    sphere_draw(b->core_radius, kBrickSlices, kBrickStacks);
    glPopMatrix();
  }
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glColor3f(1, 1, 1);
}

void bricker_destroy() {}
