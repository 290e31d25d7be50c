// text.h -- integers and words written into the scene in a bitmap font
#pragma once

void text_display(float x, float y, float z, void *font, int value);
// A word centred on the point, for messages over the field.
void text_display_centred(float x, float y, float z, void *font, const char *text);
