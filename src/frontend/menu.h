// menu.h -- the title screen
#pragma once

#include <SDL/SDL.h>

struct menu_t {
  SDL_Surface *image;
  SDL_Surface *screen;
};

void menu_init();
void menu_create();
void menu_display();
// Whether the title's window is in the play window's mode, so that play keeps
// the window, and its focus, instead of opening another.
bool menu_keeps_window();
