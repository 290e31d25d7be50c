// input.h -- the in-game keyboard controls
#pragma once

#include <SDL/SDL.h>

void input_create();
void input_update();

// Module-internal, declared here for the unit tests: the action of one event.
void input_handle(const SDL_Event &event);
