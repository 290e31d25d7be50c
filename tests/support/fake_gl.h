// fake_gl.h -- stand-ins for the GL, GLU, GLUT and SDL calls whose effect the unit tests check
#pragma once

#include <array>
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
  bool operator==(const fake_text_t &o) const {
    return x == o.x && y == o.y && z == o.z && font == o.font && glyphs == o.glyphs;
  }
};
// Every glRasterPos3f starts a run; glutBitmapCharacter adds to the last.
std::vector<fake_text_t> &fake_gl_texts();
// The arguments of every gluLookAt.
std::vector<std::vector<double>> &fake_gl_views();

// SDL_SetVideoMode is wrapped at link time: every mode asked for is recorded
// (width, height, 1 for fullscreen), the next g_fake_video_refusals are
// refused and the others set by the library.
std::vector<std::array<int, 3>> &fake_video_modes();
inline int g_fake_video_refusals = 0;
