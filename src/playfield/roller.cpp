// roller.cpp -- the balls: motion, paddle bounce, falling out of the field
#include "playfield/roller.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

#include "core/game.h"
#include "frontend/sound.h"
#include "playfield/map.h"
#include "playfield/map_local.h"
#include "playfield/player.h"
#include "playfield/roller_local.h"
#include "render/sphere.h"

namespace {
constexpr float kBallSpeed = 0.015f;  // units per ms
constexpr float kBallRadius = 0.4f;
constexpr double kSpeedBonus = 0.015;       // added to a ball's own speed
constexpr double kSpeedDuration = 10000;    // ms
constexpr double kHalfWidthWidening = 1.4;  // the paddle catches a little beyond its ends

[[noreturn]] void roller_game_over() {
  SDL_Quit();
  std::exit(0);
}

void roller_move(roller_t *r, player_t *paddle) {
  vec3_t moved = r->pos;
  float speed = r->speed;
  const double lost_line = paddle->rho + kLostBeyondPaddle;
  const bool was_beyond = r->rho > lost_line;

  // The expiry is tested per ball, so in the pass where the effect ends the
  // balls before the one that ends it have already moved fast.
  if (paddle->speed_time != -1) {
    speed = static_cast<float>(speed + kSpeedBonus);
    if (static_cast<double>(SDL_GetTicks()) - paddle->speed_time > kSpeedDuration) paddle->speed_time = -1;
  }

  moved.x = static_cast<float>(moved.x + game_elapsed_ms() * (r->dir.x * speed));
  moved.y = static_cast<float>(moved.y + game_elapsed_ms() * (r->dir.y * speed));
  moved.z = static_cast<float>(moved.z + game_elapsed_ms() * (r->dir.z * speed));

  const vec3_t polar = cart2sphere(moved.x, moved.y, moved.z);
  const float arc = static_cast<float>(std::asin(static_cast<double>(paddle->size) / polar.x));
  const float half = static_cast<float>(rad2deg(arc) * kHalfWidthWidening);

  // The band runs from three radii inside the rim to two outside, both ends
  // included; the sums stay in double so 43.8 and 45.8 are not rounded in.
  const double less_two_radii = static_cast<double>(polar.x) - 2.0 * r->radius;
  const double plus_three_radii = static_cast<double>(polar.x) + 3.0 * r->radius;
  // The ball's angle is measured in the opposite sense to the paddle's.
  const bool at_paddle = less_two_radii <= paddle->rho && plus_three_radii >= paddle->rho &&
                         is_collision(norm_angle(paddle->theta), norm_angle(-polar.y), half);

  if (at_paddle) {
    // Bounce from where the ball was, away from a point outside the rim on
    // the paddle's radial line: the further from the middle, the more sideways.
    const vec3_t contact = sphere2cart(paddle->rho + paddle->size, paddle->theta, paddle->phi);
    const float dx = r->pos.x - contact.x;
    const float dz = r->pos.z - contact.z;
    // At the contact point itself there is no direction away from it, and
    // scaling 0 by 0 would poison the ball with NaN: keep its heading.
    if (dx != 0 || dz != 0) r->dir = normalize(dx, r->dir.y, dz);
    sound_play(SOUND_PADDLE, 0);
  } else {
    r->pos = moved;
    r->rho = polar.x;
    r->theta = polar.y;
    r->phi = polar.z;
  }

  // Nothing brings a ball back from beyond the paddle: it is lost in the
  // step that first takes it there.
  const bool beyond = r->rho > lost_line;
  if (beyond && !was_beyond) sound_play(SOUND_LOST, 0);

  // Settling and dropping out both go at the base speed, never the raised one.
  if (r->pos.y > r->radius || beyond) r->pos.y = static_cast<float>(r->pos.y - game_elapsed_ms() * r->speed);
}
}  // namespace

float norm_angle(float angle) { return toolkit_fmodf(angle, 360); }

bool is_collision(float centre, float angle, float half) {
  float lo = norm_angle(centre - half);
  float hi = norm_angle(centre + half);
  // A window across 0/360 is turned, with the angle, until it no longer
  // crosses; turning by more than the half-width needs at most two turns.
  while (lo > hi) {
    const float s = half + 1;
    lo = norm_angle(lo - s);
    hi = norm_angle(hi - s);
    angle = norm_angle(angle - s);
  }
  return lo <= angle && angle <= hi;
}

void roller_create(float rho, float theta, float phi, float dx, float dy, float dz) {
  const vec3_t at = sphere2cart(rho, theta, phi);
  auto *r = static_cast<roller_t *>(std::malloc(sizeof(roller_t)));
  if (r == nullptr) return;
  map_t *map = g_game->map;
  r->next = map->rollers;
  map->rollers = r;
  r->pos = at;
  r->pos.y = at.y + 1;  // starts above the field and settles onto it
  r->rho = rho;
  r->theta = theta;
  r->phi = phi;
  r->speed = kBallSpeed;
  r->radius = kBallRadius;
  r->dir = {dx, dy, dz};
}

void roller_update() {
  map_t *map = g_game->map;
  player_t *paddle = g_game->player[0];
  map_update_list(&map->rollers, [paddle](roller_t *r) { roller_move(r, paddle); });
  if (map->rollers == nullptr) roller_game_over();
}

void roller_display() {
  for (const roller_t *r = g_game->map->rollers; r != nullptr; r = r->next) {
    glPushMatrix();
    glColor3f(1, 1, 1);
    glTranslatef(r->pos.x, r->pos.y, r->pos.z);
    sphere_draw(r->radius, 10, 10);
    glPopMatrix();
  }
}

void roller_destroy() {
  map_t *map = g_game->map;
  for (roller_t *r = map->rollers; r != nullptr;) {
    roller_t *const next = r->next;
    std::free(r);
    r = next;
  }
  map->rollers = nullptr;  // no dangling head for a later walk
}
