// menu_local.h -- what one title-screen event asks for, shared with the unit tests only
#pragma once

#include <SDL/SDL.h>

enum menu_action_t { MENU_NOTHING, MENU_START, MENU_QUIT, MENU_REDRAW, MENU_FULLSCREEN };
menu_action_t menu_event_action(const SDL_Event &event);
