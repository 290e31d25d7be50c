// graphic.h -- the OpenGL window and the drawing of every frame
#pragma once

#include <SDL/SDL.h>

struct graphic_t {
  SDL_Surface *screen;
};

void graphic_create(int fullscreen);
void graphic_display();
void graphic_update();
void graphic_destroy();
