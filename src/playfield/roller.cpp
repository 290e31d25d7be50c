// roller.cpp -- the balls: motion, paddle bounce, falling out of the field
#include "playfield/roller.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

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
// The paddle's band, in ball radii from the paddle's circle: the band runs
// from three inside it to two outside, both ends included.
constexpr double kBandInside = 3;
constexpr double kBandOutside = 2;

struct band_edges_t {
  double inner, outer;
};
// Kept in double so 43.8 and 45.8 are not rounded in.
band_edges_t roller_band_edges(float radius, const player_t *paddle) {
  return {paddle->rho - kBandInside * radius, paddle->rho + kBandOutside * radius};
}

// Where a ball at distance rho stands to the paddle's band.
enum class band_t { short_of, inside, beyond };
band_t roller_band(float rho, float radius, const player_t *paddle) {
  const band_edges_t band = roller_band_edges(radius, paddle);
  if (rho >= band.inner && rho <= band.outer) return band_t::inside;
  return rho < band.inner ? band_t::short_of : band_t::beyond;
}

// Whether a ball at the angle theta (measured in the opposite sense to the
// paddle's) is within the paddle's window as seen from distance rho: half the
// paddle's angle from the field centre, widened.
bool roller_under_paddle(const player_t *paddle, float rho, float theta) {
  const float arc = static_cast<float>(std::asin(static_cast<double>(paddle->size) / rho));
  const float half = static_cast<float>(rad2deg(arc) * kHalfWidthWidening);
  return is_collision(norm_angle(paddle->theta), norm_angle(-theta), half);
}

// The point a fraction t of the way along the step from `from` to `to`.
vec3_t roller_path_point(const vec3_t &from, const vec3_t &to, double t) {
  return {static_cast<float>(from.x + t * (static_cast<double>(to.x) - from.x)),
          static_cast<float>(from.y + t * (static_cast<double>(to.y) - from.y)),
          static_cast<float>(from.z + t * (static_cast<double>(to.z) - from.z))};
}

// The first point of the step from `from` to `to` that lies in the band and
// under the paddle's window, as a fraction of the step, if there is one. Only
// the part of the path heading outwards counts: a ball bounced in the band
// heads inwards, and stopping it again at every step would hold it at the
// paddle for as long as the paddle stayed.
std::optional<double> roller_first_covered(const vec3_t &from, const vec3_t &to, float radius,
                                           const player_t *paddle) {
  const double px = from.x, pz = from.z;
  const double dx = to.x - px, dz = to.z - pz;
  const double a = dx * dx + dz * dz, b = px * dx + pz * dz;
  if (a == 0) return std::nullopt;
  // Where the path leaves the circle of the given radius, heading outwards.
  const auto leaves = [&](double edge, double *t) {
    const double q = b * b - a * (px * px + pz * pz - edge * edge);
    if (q < 0) return false;
    *t = (-b + std::sqrt(q)) / a;
    return true;
  };
  const band_edges_t band = roller_band_edges(radius, paddle);
  double lo = std::max(0.0, -b / a), hi = 0, inner = 0;
  if (!leaves(band.outer, &hi)) return std::nullopt;
  if (leaves(band.inner, &inner)) lo = std::max(lo, inner);
  hi = std::min(hi, 1.0);
  if (!(lo <= hi)) return std::nullopt;  // also a ball already poisoned with NaN

  const auto covered = [&](double t) {
    const vec3_t p = roller_path_point(from, to, t);
    const vec3_t polar = cart2sphere(p.x, p.y, p.z);
    return roller_under_paddle(paddle, polar.x, polar.y);
  };
  if (covered(lo)) return lo;
  // Samples a ball's radius apart, far finer than the narrowest window is
  // wide, find the covered stretch; halving then finds where it begins.
  const int samples = std::max(1, static_cast<int>(std::ceil((hi - lo) * std::sqrt(a) / radius)));
  for (int i = 1; i <= samples; ++i) {
    double t = i == samples ? hi : lo + (hi - lo) * i / samples;
    if (!covered(t)) {
      lo = t;
      continue;
    }
    for (int k = 0; k < 40; ++k) {
      const double mid = (lo + t) / 2;
      (covered(mid) ? t : lo) = mid;
    }
    return t;
  }
  return std::nullopt;
}

// A bounce heads a ball by normalize, which leaves neither part of a heading
// above 1 (toolkit_sphere.h), so in a millisecond a ball moves at most its
// speed along x and as much along z: twice its speed, the speed power-up's
// included. A step no longer than this cannot carry such a ball over the band,
// so looking where it lands sees it in the band. (The twins of a split veer by
// 0.1 on each axis and can go faster: a step over the whole band is judged
// along its path at any length.)
constexpr double kFastestBallPerMs = 2 * (kBallSpeed + kSpeedBonus);
constexpr double kLongStepMs = (kBandInside + kBandOutside) * kBallRadius / kFastestBallPerMs;
}  // namespace

// A step that lands in the band under the paddle bounces from where the ball
// was. After a long step (a slow frame, a hitch) that is far inside the field,
// and the ball would leave nearly straight back; a ball that lands beside the
// paddle's end may have passed under it on the way, and a step over the whole
// band never lands in it at all. So such steps are judged along the part of
// their path inside the band: the ball stops at the first point there that the
// paddle covers, as after short steps (a ball heading straight in stops where
// it enters), and goes on only where nothing of it is covered. Steps no longer
// than kLongStepMs that land short of the band or in it are judged where they
// land, as they always were.
std::optional<double> roller_contact(const roller_t *from, const roller_t *to, double dt,
                                     const player_t *paddle) {
  const band_t lands = roller_band(to->rho, from->radius, paddle);
  if (dt > kLongStepMs ||
      (roller_band(from->rho, from->radius, paddle) == band_t::short_of && lands == band_t::beyond))
    return roller_first_covered(from->pos, to->pos, from->radius, paddle);
  if (lands == band_t::inside && roller_under_paddle(paddle, to->rho, to->theta)) return 0.0;
  return std::nullopt;
}

namespace {
// Where the ball gets at the given speed: x goes dt ms, and y and z each read
// the clock afresh. Kept out of line on purpose: GCC 12 at -O2, seeing y and z
// rounded to float here and widened again where a stopped ball is placed on its
// path, folds the pair away and places the ball from the unrounded doubles, a
// float step off.
[[gnu::noinline]] vec3_t roller_step_end(const roller_t *r, float speed, double dt) {
  vec3_t to = r->pos;
  to.x = static_cast<float>(to.x + dt * (r->dir.x * speed));
  to.y = static_cast<float>(to.y + game_elapsed_ms() * (r->dir.y * speed));
  to.z = static_cast<float>(to.z + game_elapsed_ms() * (r->dir.z * speed));
  return to;
}

void roller_place(roller_t *r, const vec3_t &pos) {
  const vec3_t polar = cart2sphere(pos.x, pos.y, pos.z);
  r->pos = pos;
  r->rho = polar.x;
  r->theta = polar.y;
  r->phi = polar.z;
}

void roller_move(roller_t *r, player_t *paddle) {
  const double lost_line = paddle->rho + kLostBeyondPaddle;
  const bool was_beyond = r->rho > lost_line;

  // The expiry is tested per ball, so in the pass where the effect ends the
  // balls before the one that ends it have already moved fast.
  float speed = r->speed;
  if (bonus_active(paddle, BONUS_FASTER)) {
    speed = static_cast<float>(speed + kSpeedBonus);
    bonus_expire(paddle, BONUS_FASTER);
  }

  const double dt = game_elapsed_ms();
  roller_t moved = *r;
  roller_place(&moved, roller_step_end(r, speed, dt));

  const std::optional<double> stop = roller_contact(r, &moved, dt, paddle);
  if (!stop) {
    *r = moved;
  } else {
    if (*stop > 0) roller_place(r, roller_path_point(r->pos, moved.pos, *stop));
    // Away from a point outside the rim on the paddle's radial line: the
    // further from the middle, the more sideways.
    roller_bounce(r, sphere2cart(paddle->rho + paddle->size, paddle->theta, paddle->phi));
    sound_play(SOUND_PADDLE, 0);
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
  if (map->rollers == nullptr) g_game->over = true;
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
