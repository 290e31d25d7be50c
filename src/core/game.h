// game.h -- the game context every module reaches its data through
#pragma once

#include <SDL/SDL.h>

#include <cstddef>
#include <cstdint>

#include "frontend/input.h"

struct player_t;
struct map_t;
struct graphic_t;
struct camera_t;
struct menu_t;

struct game_t {
  player_t *player[2];  // indexed by player number; only player 0 exists
  map_t *map;
  graphic_t *graphic;
  camera_t *camera;
  SDL_Event event;  // starting content of the polling buffers
  menu_t *menu;
  int32_t score;
  Uint32 last_tick;    // tick stamped at the end of the previous simulation step
  int32_t move_right;  // nonzero while the paddle turns towards increasing angle
  int32_t move_left;
  bool over;  // the last ball is gone: play has ended, and its result is shown
};

extern game_t *g_game;

// Milliseconds since last_tick, in unsigned 32-bit arithmetic so that the
// tick counter's wrap still gives the right span. The clock is read afresh at
// every call, so ticks that pass inside one update count too.
double game_elapsed_ms();

// Allocates a record that the game cannot run without. On failure it prints
// "quorvane: out of memory (<what>)" on standard error and ends the game with
// status 1: every later step dereferences these records.
void *game_alloc(std::size_t size, const char *what);

// Every end of the game: the game's modules and the media library shut down,
// then the process ended with `status`.
[[noreturn]] void game_exit(int status);

// Waits on events in `screen`, whose still frame `draw` draws, drawing it
// again only when something may have wiped it: the window exposed, resized or
// switched to or from fullscreen. Returns the first other action it is asked
// for; a quit ends the game.
input_action_t game_rest(input_screen_t screen, void (*draw)());

void game_init();
void game_create();
void game_update();
void game_destroy();
