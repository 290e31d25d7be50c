// menu.h -- the title screen
#pragma once

#include <SDL/SDL.h>

struct menu_t {
  SDL_Surface *image;
  SDL_Surface *screen;
};

void menu_init(int fullscreen);
void menu_create(int fullscreen);
void menu_display();

// Module-internal, declared here for the unit tests: what one title-screen
// event asks for.
enum menu_action_t { MENU_NOTHING, MENU_START, MENU_QUIT };
menu_action_t menu_event_action(const SDL_Event &event);
