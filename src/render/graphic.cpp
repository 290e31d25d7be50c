// graphic.cpp -- the OpenGL window and the drawing of every frame
#include "render/graphic.h"

void graphic_create(int) {}
void graphic_display() {}
void graphic_update() {}
void graphic_destroy() {}
