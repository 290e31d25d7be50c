// camera.cpp -- the view from behind the paddle
#include "render/camera.h"

#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>

#include "core/game.h"
#include "playfield/player.h"

namespace {
constexpr float kEyeBehindPaddle = 25;  // beyond the paddle's circle
constexpr float kEyeHeight = 18;
}  // namespace

int camera_init() {
  auto *camera = static_cast<camera_t *>(std::malloc(sizeof(camera_t)));
  g_game->camera = camera;
  return camera == nullptr ? 1 : 0;
}

void camera_create() {
  if (camera_init() != 0) {
    // Every frame writes the eye into the record, so there is no going on.
    std::printf("Error during camera_init in camera\n");
    game_exit(1);
  }
  gluLookAt(5, 5, -5, 0, 0, 0, 0, 1, 0);
}

void camera_update() {
  const player_t *p = g_game->player[0];
  const float r = p->rho + kEyeBehindPaddle;
  const vec3_t eye = sphere2cart(r, p->theta, p->phi);
  g_game->camera->eye = eye;
  // The raise is added in float before widening, and never stored.
  const float eye_y = eye.y + kEyeHeight;
  gluLookAt(eye.x, eye_y, eye.z, 0, 0, 0, 0, 1, 0);
}
