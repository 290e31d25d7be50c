// game_local.h -- what each event does in play, shared with the unit tests only
#pragma once

#include <SDL/SDL.h>

// Acts on one event as play does, paused or not.
void game_handle_event(const SDL_Event &event);
// Acts on every event queued, in order.
void game_handle_events();
