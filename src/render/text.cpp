// text.cpp -- integers and words written into the scene in a bitmap font, at the view's scale
#include "render/text.h"

#include <GL/glut.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "render/text_local.h"

char *IntToString(int value) {
  // Work on the magnitude as unsigned so that INT_MIN, whose negation does not
  // fit an int, still comes out right.
  const bool negative = value < 0;
  unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);

  int digits = 1;
  for (unsigned t = magnitude; t / 10 != 0; t /= 10) ++digits;

  const int length = digits + (negative ? 1 : 0);
  char *text = static_cast<char *>(std::malloc(length + 1));
  if (text == nullptr) return nullptr;

  if (negative) text[0] = '-';
  for (int i = length - 1; i >= length - digits; --i) {
    text[i] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  text[length] = '\0';
  return text;
}

namespace {
// A bitmap glyph cannot be scaled, so every printable character of the font is
// drawn once, when a mode is set, into a cell of a texture of its own, and the
// text is drawn from there at the view's scale.
constexpr int kCell = 32;       // pixels each way: a glyph of the game's font with room around it
constexpr int kCellOrigin = 8;  // where in its cell a glyph's raster position stands
// A raster position a rounding error short of a pixel's edge counts as on it:
// the GL places a bitmap so (Mesa by this very margin), and so must a cell.
constexpr float kOnEdge = 0.0001f;
constexpr int kFirstGlyph = 32, kLastGlyph = 126;
// Cells in the texture: six rows hold every glyph, eight make both sides a
// power of two (512x256), which a driver before OpenGL 2.0 requires.
constexpr int kColumns = 16, kRows = 8;
constexpr float kTextureWidth = kColumns * kCell, kTextureHeight = kRows * kCell;

struct text_glyphs_t {
  GLuint texture;  // 0 while there is none: the font's own bitmaps are drawn
  void *font;
  float scale;
  int advance[kLastGlyph + 1];  // font pixels from one glyph to the next
};
text_glyphs_t g_glyphs{};

// Pixels of the window as the coordinates, with the view where it is.
void text_pixel_space(const GLint (&view)[4]) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(view[0], view[0] + view[2], view[1], view[1] + view[3], -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void text_object_space() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

// The text from the glyph texture, from the raster position just set, in the
// colour a bitmap would take from it.
void text_draw_glyphs(const unsigned char *text, bool centred) {
  GLboolean valid = GL_FALSE;
  glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
  if (!valid) return;  // outside the view volume: nothing, as for a bitmap
  GLfloat raster[4], color[4];
  GLint view[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
  glGetFloatv(GL_CURRENT_RASTER_COLOR, color);
  glGetIntegerv(GL_VIEWPORT, view);
  float x = raster[0];
  // The same float arithmetic as the bitmap's move, so that it lands on the same pixel.
  if (centred) x += -0.5f * static_cast<float>(glutBitmapLength(g_glyphs.font, text)) * g_glyphs.scale;

  text_pixel_space(view);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, g_glyphs.texture);
  glEnable(GL_ALPHA_TEST);  // the cell around a glyph leaves the picture as it is
  glAlphaFunc(GL_GREATER, 0.5f);
  glColor4fv(color);
  glBegin(GL_QUADS);
  int pen = 0;
  for (const unsigned char *c = text; *c != '\0'; ++c) {
    if (*c < kFirstGlyph || *c > kLastGlyph) continue;
    const text_box_t box = text_cell_box(x, raster[1], pen, g_glyphs.scale);
    // A bitmap glyph lies within its advance from its origin: only those
    // columns of the cell, and one more on either side, are drawn.
    const float from = kCellOrigin - 1, to = static_cast<float>(kCellOrigin + g_glyphs.advance[*c] + 1);
    const int cell = *c - kFirstGlyph;
    const float left = (cell % kColumns) * kCell, bottom = (cell / kColumns) * kCell;
    const float u0 = (left + from) / kTextureWidth, u1 = (left + to) / kTextureWidth;
    const float v0 = bottom / kTextureHeight, v1 = (bottom + kCell) / kTextureHeight;
    const float x0 = box.x0 + from * g_glyphs.scale, x1 = box.x0 + to * g_glyphs.scale;
    glTexCoord2f(u0, v0);
    glVertex2f(x0, box.y0);
    glTexCoord2f(u1, v0);
    glVertex2f(x1, box.y0);
    glTexCoord2f(u1, v1);
    glVertex2f(x1, box.y1);
    glTexCoord2f(u0, v1);
    glVertex2f(x0, box.y1);
    pen += g_glyphs.advance[*c];
  }
  glEnd();
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_TEXTURE_2D);
  text_object_space();
}

// Moves the raster position left by half the text's width when centred, so a
// word stands centred on its point whatever the font.
void text_write(float x, float y, float z, void *font, const char *text, bool centred) {
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  // Bitmap glyphs take their colour from the moment the raster position is
  // set, so the white below only affects what is drawn after this call.
  glRasterPos3f(x, y, z);
  glPushMatrix();
  // Out of memory: no digits this frame, but the GL state is left as usual.
  const auto *bytes = reinterpret_cast<const unsigned char *>(text);
  if (text != nullptr && g_glyphs.texture != 0 && font == g_glyphs.font) {
    text_draw_glyphs(bytes, centred);
  } else if (text != nullptr) {
    if (centred) glBitmap(0, 0, 0, 0, -0.5f * static_cast<float>(glutBitmapLength(font, bytes)), 0, nullptr);
    for (const char *c = text; *c != '\0'; ++c) glutBitmapCharacter(font, *c);
  }
  glColor3f(1, 1, 1);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();
}
}  // namespace

text_box_t text_cell_box(float x, float y, int pen, float scale) {
  // At 1, whole pixels from the raster position rounded down, as a bitmap is placed.
  const float left = std::floor(x + kOnEdge) + (static_cast<float>(pen) - kCellOrigin) * scale;
  const float bottom = std::floor(y + kOnEdge) - kCellOrigin * scale;
  return {left, bottom, left + kCell * scale, bottom + kCell * scale};
}

void text_forget() {
  // A new context never made the texture and ignores its name.
  if (g_glyphs.texture != 0) glDeleteTextures(1, &g_glyphs.texture);
  g_glyphs.texture = 0;
}

void text_prepare(void *font, float scale) {
  text_forget();
  GLint view[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, view);
  // The glyphs are drawn one by one in the view's corner, which the first
  // frame clears; a view too small for a cell keeps the font's own bitmaps.
  if (view[2] < kCell || view[3] < kCell) return;
  GLuint texture = 0;
  glGenTextures(1, &texture);
  if (texture == 0) return;

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);  // sharp at any scale
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_INTENSITY8, kColumns * kCell, kRows * kCell, 0, GL_LUMINANCE,
               GL_UNSIGNED_BYTE, nullptr);
  // A driver that refuses the texture (too large for it, say) leaves it
  // without pixels, and a quad drawn from it is a white block: the font's own
  // bitmaps instead.
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  if (width != kColumns * kCell) {
    glPopAttrib();
    glDeleteTextures(1, &texture);
    return;
  }
  for (const GLenum off : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_LIGHTING, GL_BLEND, GL_ALPHA_TEST, GL_FOG})
    glDisable(off);
  // A row of the texture at a time, or as much of it as the view holds: each
  // copy out of the frame waits for the drawing before it.
  const int fit = std::min(kColumns, view[2] / kCell);
  glEnable(GL_SCISSOR_TEST);
  glScissor(view[0], view[1], fit * kCell, kCell);
  glClearColor(0, 0, 0, 0);
  glColor3f(1, 1, 1);
  text_pixel_space(view);
  for (int row = 0; row < kRows; ++row) {
    for (int first = 0; first < kColumns; first += fit) {
      glClear(GL_COLOR_BUFFER_BIT);
      const int count = std::min(fit, kColumns - first);
      for (int i = 0; i < count; ++i) {
        const int c = kFirstGlyph + row * kColumns + first + i;
        if (c > kLastGlyph) break;
        // Half a pixel in, so that rounding in the projection cannot move the glyph.
        glRasterPos2f(view[0] + i * kCell + kCellOrigin + 0.5f, view[1] + kCellOrigin + 0.5f);
        glutBitmapCharacter(font, c);
        g_glyphs.advance[c] = glutBitmapWidth(font, c);
      }
      glCopyTexSubImage2D(GL_TEXTURE_2D, 0, first * kCell, row * kCell, view[0], view[1], count * kCell,
                          kCell);
    }
  }
  text_object_space();
  glPopAttrib();
  g_glyphs.texture = texture;
  g_glyphs.font = font;
  g_glyphs.scale = scale;
}

void text_display(float x, float y, float z, void *font, int value) {
  char *text = IntToString(value);
  text_write(x, y, z, font, text, false);
  std::free(text);
}

void text_display_centred(float x, float y, float z, void *font, const char *text) {
  text_write(x, y, z, font, text, true);
}
