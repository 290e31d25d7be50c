// player.h -- the paddle turning around the rim of the field
#pragma once

#include "geometry/toolkit_sphere.h"

// Effect start times hold the tick at which the effect began, as a float;
// exactly -1 means the effect is off. The power-ups and how long each lasts
// are in bonus.h.
struct player_t {
  vec3_t pos;   // cartesian position on the circle, height 0
  float rho;    // radius of the paddle's circle; the bar's inner face
  float theta;  // degrees, never wrapped
  float phi;
  float speed;  // turning rate, degrees per ms (a ball's speed is units per ms)
  float size;   // current half-length of the bar
  float base_size;
  float transverser_time;  // pass-through
  float speed_time;        // faster balls
  float spare_time;        // a fifth slot that no effect uses: always -1
  float inverser_time;     // swapped keys
  float resize_time;       // paddle size
};

void player_create(int index);
void player_update(int index);
void player_display(int index);
void player_destroy();
