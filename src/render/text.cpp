// text.cpp -- integers and words written into the scene in a bitmap font
#include "render/text.h"

#include <GL/glut.h>

#include <cstdlib>

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
  glColor3f(1, 1, 1);
  // Out of memory: no digits this frame, but the GL state is left as usual.
  if (text != nullptr) {
    if (centred) {
      const int width = glutBitmapLength(font, reinterpret_cast<const unsigned char *>(text));
      glBitmap(0, 0, 0, 0, -0.5f * static_cast<float>(width), 0, nullptr);
    }
    for (const char *c = text; *c != '\0'; ++c) glutBitmapCharacter(font, *c);
  }
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();
}
}  // namespace

void text_display(float x, float y, float z, void *font, int value) {
  char *text = IntToString(value);
  text_write(x, y, z, font, text, false);
  std::free(text);
}

void text_display_centred(float x, float y, float z, void *font, const char *text) {
  text_write(x, y, z, font, text, true);
}
