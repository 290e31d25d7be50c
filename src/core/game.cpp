// game.cpp -- the game context and the start-up order
#include "core/game.h"

#include <cstdio>
#include <cstdlib>

#include "core/pause.h"
#include "core/physics.h"
#include "frontend/input.h"
#include "frontend/menu.h"
#include "frontend/pad.h"
#include "frontend/sound.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "render/graphic.h"

game_t *g_game = nullptr;

void *game_alloc(std::size_t size, const char *what) {
  // Zeroed so that no slot or field is ever read uninitialised.
  void *p = std::calloc(1, size);
  if (p == nullptr) {
    std::fprintf(stderr, "quorvane: out of memory (%s)\n", what);
    game_exit(1);
  }
  return p;
}

void game_exit(int status) {
  SDL_Quit();
  std::exit(status);
}

double game_elapsed_ms() {
  return static_cast<double>(static_cast<Uint32>(SDL_GetTicks() - g_game->last_tick));
}

void game_init() { g_game = static_cast<game_t *>(game_alloc(sizeof(game_t), "game")); }

void game_create() {
  game_init();
  menu_create();
  pad_open();  // before the title waits, so that the pad can start the game
  menu_display();
  graphic_create();  // in the mode F11 left the title in
  sound_open();      // only now: the title is silent
  input_create();
  player_create(0);
  map_create();  // places the first ball relative to the paddle
  physics_create();
  g_game->score = 0;
}

void game_update() {
  input_update();
  if (g_game->paused) pause_hold();
  physics_update();
  graphic_update();
}

void game_destroy() {
  sound_close();
  graphic_destroy();
  physics_destroy();
}
