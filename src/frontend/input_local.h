// input_local.h -- the action of one in-game event, shared with the unit tests only
#pragma once

#include <SDL/SDL.h>

void input_handle(const SDL_Event &event);
