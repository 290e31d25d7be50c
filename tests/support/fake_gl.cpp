// fake_gl.cpp -- stand-ins for the GL, GLU, GLUT and SDL calls whose effect the unit tests check
#include "fake_gl.h"

#include <GL/glu.h>
#include <GL/glut.h>
#include <SDL/SDL.h>

std::vector<fake_text_t> &fake_gl_texts() {
  static std::vector<fake_text_t> texts;
  return texts;
}

std::vector<std::vector<double>> &fake_gl_views() {
  static std::vector<std::vector<double>> views;
  return views;
}

extern "C" void glRasterPos3f(GLfloat x, GLfloat y, GLfloat z) {
  fake_gl_texts().push_back({x, y, z, nullptr, ""});
}

extern "C" void glutBitmapCharacter(void *font, int character) {
  std::vector<fake_text_t> &texts = fake_gl_texts();
  if (texts.empty()) texts.push_back({0, 0, 0, nullptr, ""});
  texts.back().font = font;
  texts.back().glyphs += static_cast<char>(character);
}

extern "C" void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
                          GLdouble ux, GLdouble uy, GLdouble uz) {
  fake_gl_views().push_back({ex, ey, ez, cx, cy, cz, ux, uy, uz});
}

extern "C" void SDL_GL_SwapBuffers(void) {}

std::vector<std::array<int, 3>> &fake_video_modes() {
  static std::vector<std::array<int, 3>> modes;
  return modes;
}

extern "C" SDL_Surface *__real_SDL_SetVideoMode(int w, int h, int bpp, Uint32 flags);
extern "C" SDL_Surface *__wrap_SDL_SetVideoMode(int w, int h, int bpp, Uint32 flags) {
  fake_video_modes().push_back({w, h, (flags & SDL_FULLSCREEN) != 0});
  if (g_fake_video_refusals == 0) return __real_SDL_SetVideoMode(w, h, bpp, flags);
  --g_fake_video_refusals;
  SDL_SetError("refused by the test");
  return nullptr;
}

// Centred text measures itself first; a zero width keeps its start where asked.
extern "C" int glutBitmapLength(void * /*font*/, const unsigned char * /*text*/) { return 0; }
