// bonus.h -- the six power-ups, each started from its own key
#pragma once

// Each timed power-up starts here by stamping the tick into its player_t field;
// the module that uses the effect also ends it once the time has run out.
//
//   key    starts with        player_t field     lasts   ended by
//   d      bonus_split        (none: at once)    -       -
//   f      bonus_transverser  transverser_time   5 s     bricker, at a contact
//   g      bonus_speed        speed_time         10 s    roller
//   h      bonus_inverser     inverser_time      10 s    physics
//   Up     bonus_bigger       resize_time, size  10 s    player
//   Down   bonus_smaller      resize_time, size  10 s    player
void bonus_split();
void bonus_transverser();
void bonus_speed();
void bonus_inverser();
void bonus_bigger();
void bonus_smaller();
void bonus_display();
