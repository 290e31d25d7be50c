// roller.h -- the balls: motion, paddle bounce, falling out of the field
#pragma once

#include "geometry/toolkit_sphere.h"

// A split never makes the ball list longer than this: every ball is drawn and
// tested against every brick each frame (BENCHMARKS.md measures the cost).
constexpr int kMaxRollers = 256;

struct roller_t {
  float speed;  // base speed, units per ms (the paddle's speed is degrees per ms)
  float radius;
  float rho;  // polar position in the cart2sphere sense once the ball has moved
  float theta;
  float phi;
  vec3_t pos;
  vec3_t dir;  // velocity is dir times the speed in effect; not unit length
  roller_t *next;
};

// theta is in the placing (sphere2cart) sense.
void roller_create(float rho, float theta, float phi, float dx, float dy, float dz);
void roller_update();
// Heads the ball straight away from the point `from` in the field's plane, its
// height direction kept. A ball exactly on the point keeps its heading: there
// is no way out of it, and scaling 0 by 0 would poison the ball with NaN.
void roller_bounce(roller_t *r, const vec3_t &from);
void roller_display();
void roller_destroy();
