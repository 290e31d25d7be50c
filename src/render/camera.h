// camera.h -- the view from behind the paddle
#pragma once

#include "geometry/toolkit_sphere.h"

struct camera_t {
  vec3_t eye;  // last eye position on the field plane, before the raise
};

int camera_init();
void camera_create();
void camera_update();
