// bricker.h -- the bricks: settling, contact with balls, scoring, falling away
#pragma once

#include <cstdint>

#include "geometry/toolkit_sphere.h"

struct bricker_t {
  vec3_t pos;
  float rho;
  float theta;  // placing (sphere2cart) sense
  float phi;
  float color[3];
  float core_radius;
  float shell_radius;  // also the contact size and the resting height
  float fall_speed;
  uint8_t is_mother;
  uint8_t is_hit;
  bricker_t *next;
};

void bricker_create(float rho, float theta, float phi, float core_radius, float shell_radius);
void bricker_mother_create(float rho, float theta, float phi);
void bricker_update();
void bricker_display();
void bricker_destroy();
