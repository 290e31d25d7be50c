// input_local.h -- the keys held as the result appears, set from a key state; for the unit tests only
#pragma once

#include <SDL/SDL.h>

// As input_ignore_held, for the keys set in `keys` (SDL_GetKeyState's form).
void input_ignore_keys(const Uint8 *keys, int count);
