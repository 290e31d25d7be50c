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
