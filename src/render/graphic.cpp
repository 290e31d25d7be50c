// graphic.cpp -- the OpenGL window and the drawing of every frame
#include "render/graphic.h"

#include <GL/glut.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/game.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "render/camera.h"
#include "render/pace.h"
#include "render/screen.h"
#include "render/sphere.h"
#include "render/text.h"
#include "render/video.h"

namespace {
constexpr char kPausedWord[] = "PAUSED";
constexpr char kClearedWords[] = "FIELD CLEARED";
constexpr char kGameOverWords[] = "GAME OVER";
constexpr char kLeaveHint[] = "Any key, a click or a pad button to leave";
// The result's lines, in pixels of the 640x480 view up from its bottom.
constexpr float kResultTitleRow = 290, kResultScoreRow = 250, kResultLeftRow = 224, kResultHintRow = 170;
// How much of the field shows through behind the result.
constexpr float kDimmedBy = 0.65f;
// Heights above the field centre, in field units, of what is written over it.
constexpr float kBricksLeftHeight = 23;
constexpr float kScoreHeight = 25;
constexpr float kPausedHeight = 16;

// Whether the window is wider or taller than the view, with black bands beside it.
bool g_bands = false;

constexpr GLfloat kLightAmbient[] = {0.1f, 0.1f, 0.1f, 0.1f};
constexpr GLfloat kLightDiffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
constexpr GLfloat kLightPosition[] = {0, 10, 0, 1};  // above the field centre

// The field keeps its shape at any window size: it is drawn into the largest
// 4:3 part of the window, and the scissor keeps the numbers from spilling
// into the bands.
screen_view_t graphic_set_view(const SDL_Surface *screen) {
  const screen_view_t view = screen_fit(screen->w, screen->h);
  const int from_bottom = screen->h - view.y - view.h;  // GL counts rows upwards
  glViewport(view.x, from_bottom, view.w, view.h);
  glScissor(view.x, from_bottom, view.w, view.h);
  g_bands = view.w != screen->w || view.h != screen->h;
  if (g_bands)
    glEnable(GL_SCISSOR_TEST);
  else
    glDisable(GL_SCISSOR_TEST);
  return view;
}

void graphic_init_opengl() {
  const screen_view_t view = graphic_set_view(g_game->graphic->screen);
  const float aspect = static_cast<float>(kViewWidth) / static_cast<float>(kViewHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, aspect, 1.0, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glShadeModel(GL_SMOOTH);
  glClearColor(0, 0, 0, 0);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  sphere_reset();
  // The numbers grow with the view, as the field does.
  text_prepare(GLUT_BITMAP_HELVETICA_18, static_cast<float>(view.h) / kViewHeight);
}

void graphic_init() {
  graphic_init_opengl();
  camera_create();
}

void graphic_prepare_display() {
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_LIGHTING);
  // Placed before the modelview reset below, so the light goes through the
  // previous frame's view and trails the camera by one frame.
  glLightfv(GL_LIGHT1, GL_AMBIENT, kLightAmbient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, kLightDiffuse);
  glLightfv(GL_LIGHT1, GL_POSITION, kLightPosition);
  glEnable(GL_LIGHT1);

  glClearColor(0, 0, 0, 0);
  // The bands are cleared with the view: nothing else ever draws there.
  if (g_bands) glDisable(GL_SCISSOR_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (g_bands) glEnable(GL_SCISSOR_TEST);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);

  glLoadIdentity();
  camera_update();
}

// A new mode may come with a new GL context, which has none of the old one's
// state or display lists, and comes at a new size. The view goes back in as
// the last frame left it, since the next frame's light goes through it.
void graphic_rebuild() {
  graphic_init_opengl();
  camera_update();
  pace_restart();
}

void graphic_draw_field() {
  graphic_prepare_display();
  map_display();
  player_display(0);
  if (map_cleared(g_game->map))
    text_display_centred(0, kBricksLeftHeight, 0, GLUT_BITMAP_HELVETICA_18, kClearedWords);
  else
    text_display(0, kBricksLeftHeight, 0, GLUT_BITMAP_HELVETICA_18, g_game->map->bricks_left);
  text_display(0, kScoreHeight, 0, GLUT_BITMAP_HELVETICA_18, g_game->score);
}

// Drawn over whatever the view holds, in the view's own 640x480 pixels, so
// that it scales with the view as the numbers do.
void graphic_draw_result() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(0, kViewWidth, 0, kViewHeight);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // A veil of black, so that the words read over the brightest bricks.
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, kDimmedBy);
  glRectf(0, 0, kViewWidth, kViewHeight);
  glDisable(GL_BLEND);
  glColor3f(1, 1, 1);

  const map_t *map = g_game->map;
  const std::string score = "SCORE " + std::to_string(g_game->score);
  const std::string left = "BRICKS LEFT " + std::to_string(std::max(map->bricks_left, 0));
  void *font = GLUT_BITMAP_HELVETICA_18;
  constexpr float kMiddle = kViewWidth / 2.0f;
  text_display_centred(kMiddle, kResultTitleRow, 0, font, map_cleared(map) ? kClearedWords : kGameOverWords);
  text_display_centred(kMiddle, kResultScoreRow, 0, font, score.c_str());
  text_display_centred(kMiddle, kResultLeftRow, 0, font, left.c_str());
  text_display_centred(kMiddle, kResultHintRow, 0, font, kLeaveHint);

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}
}  // namespace

void graphic_create() {
  auto *graphic = static_cast<graphic_t *>(game_alloc(sizeof(graphic_t), "window"));
  g_game->graphic = graphic;
  graphic->screen = video_open(VIDEO_PLAY);

  // freeglut refuses to draw spheres and glyphs until it has been initialised,
  // even into a context it did not create.
  static bool glut_ready = false;
  if (!glut_ready) {
    int argc = 1;
    char name[] = "quorvane";
    char *argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glut_ready = true;
  }

  graphic_init();
  pace_start(video_refresh_hz());
}

void graphic_display() {
  graphic_draw_field();
  glFlush();
  // Where a driver holding the swap would wait: frames then reach the screen
  // a period apart, however long each took to draw.
  pace_frame();
  SDL_GL_SwapBuffers();
}

void graphic_display_paused() {
  graphic_draw_field();
  // Above the field centre, so it stands on the centre column whatever the
  // paddle's angle, in the dark band between the numbers and the bricks.
  text_display_centred(0, kPausedHeight, 0, GLUT_BITMAP_HELVETICA_18, kPausedWord);
  glFlush();
  SDL_GL_SwapBuffers();
}

void graphic_display_result() {
  graphic_draw_field();
  graphic_draw_result();
  glFlush();
  SDL_GL_SwapBuffers();
}

void graphic_display_picture(const SDL_Surface *screen, SDL_Surface *picture) {
  const screen_view_t view = screen_fit(screen->w, screen->h);
  // Scaled on the CPU by the rounding the clicks use, then copied as it is:
  // the buttons stay where the picture shows them at every size.
  constexpr Uint32 kRed = SDL_BYTEORDER == SDL_BIG_ENDIAN ? 0xff000000 : 0x000000ff;
  constexpr Uint32 kGreen = SDL_BYTEORDER == SDL_BIG_ENDIAN ? 0x00ff0000 : 0x0000ff00;
  constexpr Uint32 kBlue = SDL_BYTEORDER == SDL_BIG_ENDIAN ? 0x0000ff00 : 0x00ff0000;
  constexpr Uint32 kAlpha = SDL_BYTEORDER == SDL_BIG_ENDIAN ? 0x000000ff : 0xff000000;
  SDL_Surface *scaled = SDL_CreateRGBSurface(SDL_SWSURFACE, std::max(view.w, 1), std::max(view.h, 1), 32,
                                             kRed, kGreen, kBlue, kAlpha);
  if (scaled == nullptr || screen_stretch(picture, scaled, {0, 0, view.w, view.h}) != 0)
    std::printf("ERROR in SDL_BlitSurface\n");
  glViewport(0, 0, screen->w, screen->h);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  if (scaled != nullptr && view.w > 0 && view.h > 0) {
    // Rows go down from the view's top left corner, as the picture's do.
    glViewport(view.x, screen->h - view.y - view.h, view.w, view.h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2f(-1, 1);
    glPixelZoom(1, -1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, scaled->pitch / 4);
    glDrawPixels(view.w, view.h, GL_RGBA, GL_UNSIGNED_BYTE, scaled->pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelZoom(1, 1);
  }
  SDL_FreeSurface(scaled);
  glFlush();
  SDL_GL_SwapBuffers();
}

void graphic_toggle_fullscreen() {
  graphic_t *graphic = g_game->graphic;
  graphic->screen = video_toggle_fullscreen();
  graphic_rebuild();
}

void graphic_resize(int w, int h) {
  SDL_Surface *now = video_resize(w, h);
  if (now == nullptr) return;
  g_game->graphic->screen = now;
  graphic_rebuild();
}

void graphic_update() {}
void graphic_destroy() {}
