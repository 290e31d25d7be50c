// pause.h -- play held still: the wait while paused and the clock shift after it
#pragma once

#include <SDL/SDL.h>

// Waits on events while the game is paused, showing the paused frame, and
// returns once the player resumes, with every running timer moved on by the
// time spent paused.
void pause_hold();

// Module-internal, declared here for the unit tests: moves every running
// effect's start tick and the frame clock on by the paused milliseconds.
void pause_shift(Uint32 paused_ms);
