// graphic.h -- the OpenGL window and the drawing of every frame
#pragma once

#include <SDL/SDL.h>

struct graphic_t {
  SDL_Surface *screen;
};

void graphic_create(int fullscreen);
void graphic_display();
void graphic_update();
// Draws what glutSolidSphere(radius, slices, stacks) draws, replaying a mesh
// compiled once for each distinct size. Needs the window's GL context.
void graphic_sphere(float radius, int slices, int stacks);
void graphic_destroy();
