// text.h -- integers and words written into the scene in a bitmap font, at the view's scale
#pragma once

// Makes the glyphs of `font` ready to be drawn at `scale` times their size, in
// the GL context just set up (they belong to it, like every GL object), for
// every text in that font until the next mode. Before the first frame: it
// draws in the corner of the view.
void text_prepare(void *font, float scale);

void text_display(float x, float y, float z, void *font, int value);
// A word centred on the point, for messages over the field.
void text_display_centred(float x, float y, float z, void *font, const char *text);
