// bonus.cpp -- the six power-ups, each started from its own key, and how long the timed ones last
#include "playfield/bonus.h"

#include "core/game.h"
#include "frontend/sound.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "playfield/roller.h"

namespace {
constexpr double kTwinShift = 0.1;  // the twin veers off its ball's course
constexpr float kBiggerBy = 4;
constexpr float kSmallerBy = 2;

// Each power-up sounds its own note.
enum bonus_tone_t { TONE_SPLIT, TONE_TRANSVERSER, TONE_SPEED, TONE_INVERSER, TONE_BIGGER, TONE_SMALLER };

// The tick the effect starts at, rounded to the nearest float like every start time.
float bonus_now() { return static_cast<float>(SDL_GetTicks()); }

player_t *bonus_paddle() { return g_game->player[0]; }

void bonus_start(bonus_timed_t effect, bonus_tone_t tone) {
  bonus_paddle()->*kBonusEffects[effect].start = bonus_now();
  sound_play(SOUND_POWER_UP, tone);
}
}  // namespace

bool bonus_expire(player_t *p, bonus_timed_t effect) {
  if (!bonus_active(p, effect)) return false;
  const bonus_effect_t &e = kBonusEffects[effect];
  float &start = p->*e.start;
  // The exact tick against the stored float: past 2^24 ms the start was
  // rounded when stored, and the duration counts from the rounded value.
  const bool over = static_cast<double>(SDL_GetTicks()) - start > e.duration;
  if (over) start = kBonusOff;
  return over;
}

void bonus_split() {
  map_t *map = g_game->map;
  int count = 0;
  for (const roller_t *r = map->rollers; r != nullptr; r = r->next) ++count;
  const int before = count;

  // Twins go in at the head, so the walk never meets them.
  for (const roller_t *r = map->rollers; r != nullptr && count < kMaxRollers; r = r->next) {
    // Placed from the ball's position rather than its stored angle: a ball
    // that has not moved yet still holds its angle in the placing sense, and
    // negating it would mirror the twin across the x axis. For a ball that
    // has moved, this is exactly its stored rho and theta.
    const vec3_t at = cart2sphere(r->pos.x, r->pos.y, r->pos.z);
    roller_create(at.x, -at.y, r->phi, static_cast<float>(r->dir.x - kTwinShift), r->dir.y,
                  static_cast<float>(r->dir.z - kTwinShift));
    ++count;  // a failed allocation only leaves the list shorter than counted
  }
  // At the bound the key starts nothing, and says so by staying silent.
  if (count > before) sound_play(SOUND_POWER_UP, TONE_SPLIT);
}

void bonus_transverser() { bonus_start(BONUS_PASS_THROUGH, TONE_TRANSVERSER); }
void bonus_speed() { bonus_start(BONUS_FASTER, TONE_SPEED); }
void bonus_inverser() { bonus_start(BONUS_SWAPPED, TONE_INVERSER); }

void bonus_bigger() {
  player_t *p = bonus_paddle();
  p->size = p->base_size + kBiggerBy;
  bonus_start(BONUS_SIZE, TONE_BIGGER);
}

void bonus_smaller() {
  player_t *p = bonus_paddle();
  p->size = p->base_size - kSmallerBy;
  bonus_start(BONUS_SIZE, TONE_SMALLER);
}

void bonus_display() {}
