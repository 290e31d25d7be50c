// pause.h -- play held still: whether it is, the wait while it is, and the clock shift after it
#pragma once

#include <SDL/SDL.h>

// Whether play is held, by the player or by losing the window.
bool pause_active();
// Holds play or lets it go on; going on, what the pad still holds turns the paddle again.
void pause_set(bool paused);
// Waits on events while the game is paused, showing the paused frame, and
// returns once the player resumes, with every running timer moved on by the
// time spent paused.
void pause_hold();

// Moves every running effect's start tick and the frame clock on by the
// given milliseconds, in which play could not be seen.
void pause_shift(Uint32 paused_ms);
