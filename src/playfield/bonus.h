// bonus.h -- the six power-ups, each started from its own key, and how long the timed ones last
#pragma once

#include "playfield/player.h"

// Each timed power-up starts here by stamping the tick into its player_t
// field; the module that uses the effect also ends it, with bonus_expire.
//
//   key    starts with        effect              ended by
//   d      bonus_split        (none: at once)     -
//   f      bonus_transverser  BONUS_PASS_THROUGH  bricker, at a contact
//   g      bonus_speed        BONUS_FASTER        roller, at each ball
//   h      bonus_inverser     BONUS_SWAPPED       physics, after the frame stamp
//   Up     bonus_bigger       BONUS_SIZE          player, which restores the size
//   Down   bonus_smaller      BONUS_SIZE          player
enum bonus_timed_t { BONUS_PASS_THROUGH, BONUS_FASTER, BONUS_SWAPPED, BONUS_SIZE, BONUS_TIMED };

struct bonus_effect_t {
  float player_t::*start;  // the tick it began at, as a float; exactly -1 while off
  double duration;         // ms; it runs out once more than this has passed
};

// Every timed effect, indexed by bonus_timed_t: whatever acts on all of them walks this.
inline constexpr bonus_effect_t kBonusEffects[BONUS_TIMED] = {
    {&player_t::transverser_time, 5000},
    {&player_t::speed_time, 10000},
    {&player_t::inverser_time, 10000},
    {&player_t::resize_time, 10000},
};

// A start tick of exactly this means the effect is off.
constexpr float kBonusOff = -1;

inline bool bonus_active(const player_t *p, bonus_timed_t effect) {
  return p->*kBonusEffects[effect].start != kBonusOff;
}

// Ends the effect if it runs and more than its duration has passed since its
// start; the clock is read only while it runs. True when it ends now.
bool bonus_expire(player_t *p, bonus_timed_t effect);

void bonus_split();
void bonus_transverser();
void bonus_speed();
void bonus_inverser();
void bonus_bigger();
void bonus_smaller();
void bonus_display();
