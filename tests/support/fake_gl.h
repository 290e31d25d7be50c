// fake_gl.h -- stand-ins for the GL, GLU, GLUT and SDL calls whose effect the unit tests check
#pragma once

#include <string>
#include <vector>

// Linked into the unit tests in place of the libraries' own, so that no
// display is needed: they record what would be drawn instead. Without a GL
// context every other GL call does nothing.

// One number as drawn: where the raster position was set, the font and the glyphs.
struct fake_text_t {
  float x, y, z;
  void *font;
  std::string glyphs;
};
// Every glRasterPos3f starts a run; glutBitmapCharacter adds to the last.
std::vector<fake_text_t> &fake_gl_texts();
// The arguments of every gluLookAt.
std::vector<std::vector<double>> &fake_gl_views();

// SDL_SetVideoMode is wrapped at link time: every mode asked for is recorded,
// the next `count` are refused and the others set by the library.
struct fake_mode_t {
  int w, h;
  bool fullscreen;
  bool operator==(const fake_mode_t &o) const { return w == o.w && h == o.h && fullscreen == o.fullscreen; }
};
std::vector<fake_mode_t> &fake_video_modes();
void fake_video_refuse(int count);
