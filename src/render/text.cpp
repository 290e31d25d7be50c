// text.cpp -- integers written into the scene in a bitmap font
#include "render/text.h"

void text_display(float, float, float, void *, int) {}
char *IntToString(int) { return nullptr; }
