// roller.cpp -- the balls: motion, paddle bounce, falling out of the field
#include "playfield/roller.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

#include "core/game.h"
#include "frontend/sound.h"
#include "playfield/bonus.h"
#include "playfield/map.h"
#include "playfield/map_local.h"
#include "playfield/player.h"
#include "playfield/roller_local.h"
#include "render/sphere.h"

namespace {
constexpr float kBallSpeed = 0.015f;  // units per ms
constexpr float kBallRadius = 0.4f;
constexpr int kBallSlices = 10;  // the ball's mesh (sphere.cpp compiles each size once)
constexpr int kBallStacks = 10;
constexpr double kSpeedBonus = 0.015;       // added to a ball's own speed
constexpr double kHalfWidthWidening = 1.4;  // the paddle catches a little beyond its ends
// A step up to this long moves a ball less than the paddle's band is deep, so
// looking for the paddle where it lands finds every bounce in time. Two frames
// of a 60 Hz display.
constexpr double kLongStepMs = 33;

// Where a ball at distance rho stands to the paddle's band, which runs from
// three radii inside the rim to two outside, both ends included; the sums stay
// in double so 43.8 and 45.8 are not rounded in.
enum class band_t { short_of, inside, beyond };
band_t roller_band(float rho, float radius, const player_t *paddle) {
  const double less_two_radii = static_cast<double>(rho) - 2.0 * radius;
  const double plus_three_radii = static_cast<double>(rho) + 3.0 * radius;
  if (less_two_radii <= paddle->rho && plus_three_radii >= paddle->rho) return band_t::inside;
  return plus_three_radii < paddle->rho ? band_t::short_of : band_t::beyond;
}

// Whether a ball at the angle theta (measured in the opposite sense to the
// paddle's) is within the paddle's window as seen from distance rho: half the
// paddle's angle from the field centre, widened.
bool roller_under_paddle(const player_t *paddle, float rho, float theta) {
  const float arc = static_cast<float>(std::asin(static_cast<double>(paddle->size) / rho));
  const float half = static_cast<float>(rad2deg(arc) * kHalfWidthWidening);
  return is_collision(norm_angle(paddle->theta), norm_angle(-theta), half);
}

// Where the path from `from` to `to` reaches the circle of the given radius:
// the one root in (0, 1] of |from + t (to - from)| = radius, `from` being
// inside the circle and `to` on or outside it.
vec3_t roller_path_at(const vec3_t &from, const vec3_t &to, double radius) {
  const double px = from.x, pz = from.z;
  const double dx = to.x - px, dy = to.y - from.y, dz = to.z - pz;
  const double a = dx * dx + dz * dz, b = px * dx + pz * dz, c = px * px + pz * pz - radius * radius;
  const double t = (-b + std::sqrt(b * b - a * c)) / a;
  return {static_cast<float>(px + t * dx), static_cast<float>(from.y + t * dy),
          static_cast<float>(pz + t * dz)};
}

void roller_place(roller_t *r, const vec3_t &pos, const vec3_t &polar) {
  r->pos = pos;
  r->rho = polar.x;
  r->theta = polar.y;
  r->phi = polar.z;
}

void roller_move(roller_t *r, player_t *paddle) {
  vec3_t moved = r->pos;
  float speed = r->speed;
  const double lost_line = paddle->rho + kLostBeyondPaddle;
  const bool was_beyond = r->rho > lost_line;

  // The expiry is tested per ball, so in the pass where the effect ends the
  // balls before the one that ends it have already moved fast.
  if (bonus_active(paddle, BONUS_FASTER)) {
    speed = static_cast<float>(speed + kSpeedBonus);
    bonus_expire(paddle, BONUS_FASTER);
  }

  const double dt = game_elapsed_ms();
  moved.x = static_cast<float>(moved.x + dt * (r->dir.x * speed));
  moved.y = static_cast<float>(moved.y + game_elapsed_ms() * (r->dir.y * speed));
  moved.z = static_cast<float>(moved.z + game_elapsed_ms() * (r->dir.z * speed));

  const vec3_t polar = cart2sphere(moved.x, moved.y, moved.z);
  const band_t to = roller_band(polar.x, r->radius, paddle);
  bool at_paddle = to == band_t::inside && roller_under_paddle(paddle, polar.x, polar.y);

  // Where a step lands, the bounce goes from where the ball was: after a long
  // step (a slow frame, a hitch) that is far inside the field, and the ball
  // would leave nearly straight back. So a long step into the band, and any
  // step over the whole of it (which would pass the paddle unseen), is judged
  // where the path enters the band, and stops there to bounce as a short step
  // would. Nothing else changes: the steps of a steady frame rate never come here.
  if (roller_band(r->rho, r->radius, paddle) == band_t::short_of && to != band_t::short_of &&
      (dt > kLongStepMs || to == band_t::beyond)) {
    const vec3_t entry = roller_path_at(r->pos, moved, paddle->rho - 3.0 * r->radius);
    const vec3_t at = cart2sphere(entry.x, entry.y, entry.z);
    at_paddle = roller_under_paddle(paddle, at.x, at.y);
    if (at_paddle) roller_place(r, entry, at);
  }

  if (at_paddle) {
    // Away from a point outside the rim on the paddle's radial line: the
    // further from the middle, the more sideways.
    roller_bounce(r, sphere2cart(paddle->rho + paddle->size, paddle->theta, paddle->phi));
    sound_play(SOUND_PADDLE, 0);
  } else {
    roller_place(r, moved, polar);
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

void roller_bounce(roller_t *r, const vec3_t &from) {
  const float dx = r->pos.x - from.x;
  const float dz = r->pos.z - from.z;
  if (dx != 0 || dz != 0) r->dir = normalize(dx, r->dir.y, dz);
}

void roller_update() {
  map_t *map = g_game->map;
  player_t *paddle = g_game->player[0];
  map_update_list(&map->rollers, [paddle](roller_t *r) { roller_move(r, paddle); });
  if (map->rollers == nullptr) game_exit(0);  // the last ball is gone: the game is over
}

void roller_display() {
  for (const roller_t *r = g_game->map->rollers; r != nullptr; r = r->next) {
    glPushMatrix();
    glColor3f(1, 1, 1);
    glTranslatef(r->pos.x, r->pos.y, r->pos.z);
    sphere_draw(r->radius, kBallSlices, kBallStacks);
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
