// input.h -- the in-game keyboard controls
#pragma once

#include <SDL/SDL.h>

void input_create();
void input_update();
// Waits for the next event and acts on it as play does; returns it.
SDL_Event input_wait();
