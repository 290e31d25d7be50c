// text.h -- integers written into the scene in a bitmap font
#pragma once

void text_display(float x, float y, float z, void *font, int value);
