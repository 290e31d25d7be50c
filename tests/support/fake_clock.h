// fake_clock.h -- a settable tick counter standing in for SDL_GetTicks in tests
#pragma once

#include <SDL/SDL.h>

// Every reading returns the current value, then advances it by the step.
void fake_clock_set(Uint32 now, Uint32 step_per_read = 0);
Uint32 fake_clock_now();
// How many times the game has read the clock since the last set.
unsigned fake_clock_reads();
// Sets the clock as above, then runs one update of the game at that time.
inline void run_at(Uint32 now, void (*update)(), Uint32 step_per_read = 0) {
  fake_clock_set(now, step_per_read);
  update();
}
