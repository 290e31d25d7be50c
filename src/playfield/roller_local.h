// roller_local.h -- the balls' angle helpers, shared with the unit tests only
#pragma once

// An angle wrapped into the closed range [0, 360].
float norm_angle(float angle);
// Whether angle lies within half degrees of centre on the circle, both ends included.
bool is_collision(float centre, float angle, float half);
