// text_local.h -- the number-to-text conversion and the glyphs' places, shared with the unit tests and
// benchmarks only
#pragma once

// The decimal digits of value, with a minus sign when negative, or nullptr
// when out of memory. The caller frees the text.
char *IntToString(int value);

// A rectangle of the window in pixels, from its bottom left corner (GL's rows).
struct text_box_t {
  float x0, y0, x1, y1;
};
// Where the cell of a glyph goes that stands `pen` font pixels after the start
// of a text starting at the raster position (x, y), drawn at `scale`.
text_box_t text_cell_box(float x, float y, int pen, float scale);

// Back to the font's own bitmaps until the next text_prepare.
void text_forget();
