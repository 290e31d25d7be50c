// reference_frame.cpp -- one frame drawn with the plain GL calls of the game's drawing rules
#include "reference_frame.h"

#include <GL/glut.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <string>

#include "core/game.h"
#include "geometry/toolkit_sphere.h"
#include "playfield/bricker.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "playfield/roller.h"

namespace {
void reference_prepare() {
  static const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 0.1f};
  static const GLfloat diffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
  static const GLfloat position[] = {0, 10, 0, 1};
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_LIGHTING);
  glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT1, GL_POSITION, position);
  glEnable(GL_LIGHT1);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);

  glLoadIdentity();
  const player_t *p = g_game->player[0];
  const float r = p->rho + 25;
  const vec3_t eye = sphere2cart(r, p->theta, p->phi);
  const float eye_y = eye.y + 18;
  gluLookAt(eye.x, eye_y, eye.z, 0, 0, 0, 0, 1, 0);
}

void reference_balls() {
  for (const roller_t *r = g_game->map->rollers; r != nullptr; r = r->next) {
    glPushMatrix();
    glColor3f(1, 1, 1);
    glTranslatef(r->pos.x, r->pos.y, r->pos.z);
    glutSolidSphere(r->radius, 10, 10);
    glPopMatrix();
  }
}

void reference_bricks() {
  for (const bricker_t *b = g_game->map->bricks; b != nullptr; b = b->next) {
    glPushMatrix();
    glTranslatef(b->pos.x, b->pos.y, b->pos.z);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glColor4f(1, 1, 1, 0.3f);
    glutSolidSphere(b->shell_radius, 10, 4);
    glColor4f(b->color[0], b->color[1], b->color[2], 0.5f);
    glutSolidSphere(b->core_radius, 10, 4);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glPopMatrix();
    glColor3f(1, 1, 1);
  }
}

// White text in the font's own bitmaps, over everything, from the centre
// column or centred on it.
void reference_text(float height, const std::string &text, bool centred = false) {
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glRasterPos3f(0, height, 0);
  const auto *bytes = reinterpret_cast<const unsigned char *>(text.c_str());
  if (centred)
    glBitmap(0, 0, 0, 0, -0.5f * static_cast<float>(glutBitmapLength(GLUT_BITMAP_HELVETICA_18, bytes)), 0,
             nullptr);
  for (const char c : text) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, c);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
}
}  // namespace

void reference_frame() {
  reference_prepare();
  reference_balls();
  reference_bricks();
  // The paddle is the game's own drawing: what is compared here is the
  // spheres, the bricks' state and the numbers.
  player_display(0);
  // The count gives way once the mother brick has been counted too.
  const int left = g_game->map->bricks_left;
  reference_text(23, left < 0 ? "FIELD CLEARED" : std::to_string(left), left < 0);
  reference_text(25, std::to_string(g_game->score));
  glFlush();
  SDL_GL_SwapBuffers();
}
