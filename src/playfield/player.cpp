// player.cpp -- the paddle turning around the rim of the field
#include "playfield/player.h"

#include <GL/gl.h>

#include "core/game.h"
#include "playfield/bonus.h"

namespace {
constexpr float kPaddleRadius = 45;
constexpr float kTurnRate = 0.075f;  // degrees per ms: a full circle in 4.8 s
constexpr float kBaseSize = 4;
constexpr float kBarBottom = 0.4f;  // the bar floats just above the field
constexpr float kBarTop = 1.1f;
// The faces' colours: red, green, blue, alpha. Lit by the field's dim light,
// components above 1 are what makes the upright faces bright.
constexpr GLfloat kInnerFaceColor[4] = {5, 5, 5, 0.2f};
constexpr GLfloat kTopFaceColor[4] = {1, 1, 1, 0.9f};
constexpr GLfloat kOuterFaceColor[4] = {8, 8, 8, 0.2f};
constexpr GLfloat kBottomFaceColor[4] = {1, 1, 1, 1};

// A face of the bar standing upright at distance z from the centre.
void player_upright_face(float s, float z) {
  glVertex3f(-s, kBarBottom, z);
  glVertex3f(-s, kBarTop, z);
  glVertex3f(s, kBarTop, z);
  glVertex3f(s, kBarBottom, z);
}

// A face of the bar lying flat at height y, between the radii r and r1.
void player_flat_face(float s, float y, float r, float r1) {
  glVertex3f(s, y, r1);
  glVertex3f(s, y, r);
  glVertex3f(-s, y, r);
  glVertex3f(-s, y, r1);
}
}  // namespace

void player_create(int index) {
  const vec3_t start = sphere2cart(kPaddleRadius, 0, 0);
  auto *p = static_cast<player_t *>(game_alloc(sizeof(player_t), "paddle"));
  g_game->player[index] = p;
  p->pos = start;
  p->rho = kPaddleRadius;
  p->theta = 0;
  p->phi = 0;
  p->speed = kTurnRate;
  p->size = kBaseSize;
  p->base_size = kBaseSize;
  p->spare_time = kBonusOff;
  for (const bonus_effect_t &effect : kBonusEffects) p->*effect.start = kBonusOff;
}

void player_update(int index) {
  player_t *p = g_game->player[index];
  // Each direction reads the clock itself: with both keys held the two turns
  // differ by the ticks that pass between the readings.
  if (g_game->move_right) p->theta = static_cast<float>(p->theta + game_elapsed_ms() * p->speed);
  if (g_game->move_left) p->theta = static_cast<float>(p->theta - game_elapsed_ms() * p->speed);
  p->pos = sphere2cart(p->rho, p->theta, p->phi);

  if (bonus_expire(p, BONUS_SIZE)) p->size = p->base_size;
}

void player_display(int index) {
  const player_t *p = g_game->player[index];
  const float s = p->size;
  const float r = p->rho;
  const float r1 = p->rho + 1;

  glPushMatrix();
  glRotatef(p->theta + 90, 0, 1, 0);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glDisable(GL_DEPTH_TEST);

  glBegin(GL_QUADS);
  glColor4fv(kInnerFaceColor);
  player_upright_face(s, r);  // towards the centre
  glColor4fv(kTopFaceColor);
  player_flat_face(s, kBarTop, r, r1);
  glColor4fv(kOuterFaceColor);
  player_upright_face(s, r1);  // towards the camera
  glColor4fv(kBottomFaceColor);
  player_flat_face(s, kBarBottom, r, r1);
  glEnd();

  glEnable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glPopMatrix();
}

void player_destroy() {}
