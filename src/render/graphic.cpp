// graphic.cpp -- the OpenGL window and the drawing of every frame
#include "render/graphic.h"

#include <GL/glut.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/game.h"
#include "icon_data.h"  // data/icon.bmp, built into the program (CMakeLists.txt)
#include "playfield/map.h"
#include "playfield/player.h"
#include "render/camera.h"
#include "render/pace.h"
#include "render/screen.h"
#include "render/sphere.h"
#include "render/text.h"

namespace {
constexpr char kPausedWord[] = "PAUSED";
// Heights above the field centre, in field units, of what is written over it.
constexpr float kBricksLeftHeight = 23;
constexpr float kScoreHeight = 25;
constexpr float kPausedHeight = 16;

// Whether the window is wider or taller than the view, with black bands beside it.
bool g_bands = false;

constexpr GLfloat kLightAmbient[] = {0.1f, 0.1f, 0.1f, 0.1f};
constexpr GLfloat kLightDiffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
constexpr GLfloat kLightPosition[] = {0, 10, 0, 1};  // above the field centre

// Without a window there is nothing to draw into: report and stop.
[[noreturn]] void graphic_fail(const char *what) {
  std::printf("%s: %s\n", what, SDL_GetError());
  game_exit(1);
}

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
  // The mother brick's hit takes the count to -1; the player sees 0 left.
  text_display(0, kBricksLeftHeight, 0, GLUT_BITMAP_HELVETICA_18, std::max(g_game->map->bricks_left, 0));
  text_display(0, kScoreHeight, 0, GLUT_BITMAP_HELVETICA_18, g_game->score);
}
}  // namespace

void graphic_choose_driver() {
  if (std::getenv("SDL_VIDEODRIVER") == nullptr) setenv("SDL_VIDEODRIVER", "x11", 1);
}

void graphic_init_video() {
  // The launcher names the window's class or app_id "quorvane"; the library
  // would take it from the program file's name, which a copy may change.
  setenv("SDL_APP_ID", "quorvane", 0);
  setenv("SDL_VIDEO_X11_WMCLASS", "quorvane", 0);
  if (SDL_Init(SDL_INIT_VIDEO) == -1) graphic_fail("SDL_Init");
}

bool graphic_on_wayland() {
  char name[32] = "";
  return SDL_VideoDriverName(name, sizeof name) != nullptr && std::strcmp(name, "wayland") == 0;
}

bool graphic_over_sdl3() {
  // sdl12-compat and sdl2-compat load the library below them by name.
  void *sdl3 = dlopen("libSDL3.so.0", RTLD_LAZY | RTLD_NOLOAD);
  if (sdl3 != nullptr) dlclose(sdl3);
  return sdl3 != nullptr;
}

SDL_Surface *graphic_open_window(int depth, Uint32 flags) {
  graphic_init_video();
  screen_note_desktop();  // before the first mode, after which the library reports that mode
  screen_set_icon(kWindowIcon, kWindowIconSize);  // before the first mode too, for the classic library

  if ((flags & SDL_OPENGL) != 0) {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);  // where the driver can, a swap waits for the display
  }

  SDL_Surface *screen = screen_set(depth, flags);
  if (screen == nullptr) graphic_fail("SDL_SetVideoMode");

  std::atexit(SDL_Quit);
  SDL_WM_SetCaption(kWindowCaption, "");
  return screen;
}

SDL_Surface *graphic_toggle_mode(int depth, Uint32 flags) {
  SDL_Surface *now = screen_toggle(depth, flags);
  if (now == nullptr) graphic_fail("SDL_SetVideoMode");
  SDL_WM_SetCaption(kWindowCaption, "");
  return now;
}

SDL_Surface *graphic_resize_mode(int w, int h, int depth, Uint32 flags) {
  screen_take_resizes(&w, &h);
  if (!screen_resize_changes(w, h)) return nullptr;
  SDL_Surface *now = screen_resize(w, h, depth, flags);
  if (now == nullptr) graphic_fail("SDL_SetVideoMode");
  SDL_WM_SetCaption(kWindowCaption, "");
  return now;
}

void graphic_require_gl() {
  if (SDL_GL_LoadLibrary(nullptr) == -1) graphic_fail("SDL_GL_LoadLibrary");
}

void graphic_require_x_display() {
  // Debian's freeglut speaks X alone, and ends the process itself in glutInit
  // when no X display opens, even where SDL draws on Wayland.
  Display *display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    const char *name = std::getenv("DISPLAY");
    std::fprintf(stderr,
                 "quorvane: no X display opens (DISPLAY=%s), and freeglut needs one even on Wayland\n",
                 name != nullptr ? name : "");
    game_exit(1);
  }
  XCloseDisplay(display);
}

int graphic_refresh_hz() {
  Display *display = XOpenDisplay(nullptr);
  if (display == nullptr) return 0;
  int hz = 0;
  int event_base = 0;
  int error_base = 0;
  // Asked without the extension, the request would be an X error, which ends the process.
  if (XRRQueryExtension(display, &event_base, &error_base) != 0) {
    if (XRRScreenConfiguration *config = XRRGetScreenInfo(display, DefaultRootWindow(display))) {
      hz = XRRConfigCurrentRate(config);
      XRRFreeScreenConfigInfo(config);
    }
  }
  XCloseDisplay(display);
  return hz;
}

void graphic_create() {
  auto *graphic = static_cast<graphic_t *>(game_alloc(sizeof(graphic_t), "window"));
  g_game->graphic = graphic;
  graphic->screen = graphic_open_window(kGlWindowDepth, kGlWindowFlags);

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
  // The game never changes the display's mode, so its rate is read once.
  pace_start(graphic_refresh_hz());
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
  graphic->screen = graphic_toggle_mode(kGlWindowDepth, kGlWindowFlags);
  graphic_rebuild();
}

void graphic_resize(int w, int h) {
  SDL_Surface *now = graphic_resize_mode(w, h, kGlWindowDepth, kGlWindowFlags);
  if (now == nullptr) return;
  g_game->graphic->screen = now;
  graphic_rebuild();
}

void graphic_update() {}
void graphic_destroy() {}
