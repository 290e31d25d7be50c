// input.h -- the in-game controls: the keyboard, and the gamepad standing in for its keys
#pragma once

#include <SDL/SDL.h>

void input_create();
void input_update();
// Waits for the next event and acts on it as play does; returns it.
SDL_Event input_wait();
