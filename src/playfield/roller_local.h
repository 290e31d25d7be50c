// roller_local.h -- the balls' angle helpers and paddle contact, shared with the unit tests only
#pragma once

#include <optional>

#include "playfield/player.h"
#include "playfield/roller.h"

// An angle wrapped into the closed range [0, 360].
float norm_angle(float angle);
// Whether angle lies within half degrees of centre on the circle, both ends included.
bool is_collision(float centre, float angle, float half);
// Where the step of dt ms that takes a ball from `from` to `to` (the same ball,
// placed where the step ends) meets the paddle: the fraction of the step at
// which the ball stops to bounce (0: it stays where it was), or none where it
// goes the whole step. Each end is judged by the polar place stored with it.
std::optional<double> roller_contact(const roller_t *from, const roller_t *to, double dt,
                                     const player_t *paddle);
