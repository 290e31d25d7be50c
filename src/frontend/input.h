// input.h -- what each key and pad button asks for, on the title, in play, while paused and at the end
#pragma once

#include <SDL/SDL.h>

// What an event asks of the screen that takes it. Turning is not among them:
// the arrows, the stick and the d-pad hold the paddle's turn flags themselves.
enum input_action_t {
  INPUT_NOTHING,
  INPUT_START,  // the title's: into play
  INPUT_QUIT,   // the game ends, with status 0
  INPUT_SPLIT,  // the power-ups
  INPUT_PASS_THROUGH,
  INPUT_FASTER,
  INPUT_SWAP,
  INPUT_BIGGER,
  INPUT_SMALLER,
  INPUT_MUTE,
  INPUT_PAUSE,  // into the pause, or out of it
  INPUT_HOLD,   // the window lost in play: into the pause, never out
  INPUT_FULLSCREEN,
  INPUT_RESIZE,  // the window manager gave the window the event's size
  INPUT_REDRAW,  // the window was exposed
};

// Where the game stands; each row of the action table says where it acts.
enum input_screen_t { INPUT_TITLE = 1, INPUT_PLAY = 2, INPUT_PAUSED = 4, INPUT_RESULT = 8 };

// Key repeat on, no key or button held, the paddle not turning: as play begins.
void input_create();
// Takes one event in, in the screen the game stands in, and says what it asks
// for. Of the mouse, only a click on the result asks for anything here: the
// title's areas are the title's.
input_action_t input_take(const SDL_Event &event, input_screen_t screen);
// The keys held now, and their repeats, ask for nothing until they are let
// go: a player holding an arrow as the last ball slips past must still see
// the result.
void input_ignore_held();
// Waits for the next event; without events the game could never go on or be
// quit: "SDL_WaitEvent: ..." and status 1.
SDL_Event input_wait();
// Play goes on after a pause: a way the stick or the d-pad still holds turns
// the paddle again, as a held arrow key's repeats do.
void input_resume();
