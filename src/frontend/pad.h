// pad.h -- the gamepad: the first one SDL lists, its buttons, and which way its stick and d-pad turn
#pragma once

#include <SDL/SDL.h>

// An Xbox-style pad's buttons as the kernel numbers them; both SDL 1.2
// libraries hand that numbering on unchanged.
enum pad_button_t { PAD_A, PAD_B, PAD_X, PAD_Y, PAD_LB, PAD_RB, PAD_BACK, PAD_START };

// The ways the left stick and the d-pad, together, hold the paddle turning.
struct pad_turn_t {
  bool left;
  bool right;
};

// Starts the joystick subsystem and opens the first joystick, if there is one.
// If the subsystem cannot start, the game plays with the keyboard and says so
// once on standard error.
void pad_open();
// Takes a button event in; false for one to ignore: a release with no press
// of that button seen since its last release (or since the pad was opened, or
// play began).
bool pad_take_button(const SDL_JoyButtonEvent &button);
// Takes a joystick event in: only the left stick's x and the d-pad turn.
void pad_read(const SDL_Event &event);
pad_turn_t pad_turn();
// Stick, d-pad and buttons taken as at rest, as a new game starts with no key held.
void pad_rest();
