// game.cpp -- the game context and the start-up order
#include "core/game.h"

#include <cstdio>
#include <cstdlib>

#include "core/game_local.h"
#include "core/pause.h"
#include "core/physics.h"
#include "core/result.h"
#include "frontend/input.h"
#include "frontend/menu.h"
#include "frontend/pad.h"
#include "frontend/sound.h"
#include "playfield/bonus.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "render/graphic.h"

game_t *g_game = nullptr;

namespace {
// Setting a new mode can take a good part of a second with nothing on
// screen; counted into the next frame, it would throw the balls out of the
// field. Like a pause it does not count into play (a pause counts it itself).
template <class Change>
void game_change_mode(Change change) {
  const Uint32 start = SDL_GetTicks();
  change();
  if (!pause_active()) pause_shift(static_cast<Uint32>(SDL_GetTicks() - start));
}
}  // namespace

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
  game_destroy();
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

void game_handle_event(const SDL_Event &event) {
  switch (input_take(event, pause_active() ? INPUT_PAUSED : INPUT_PLAY)) {
    case INPUT_QUIT:
      game_exit(0);
    case INPUT_SPLIT:
      bonus_split();
      break;
    case INPUT_PASS_THROUGH:
      bonus_transverser();
      break;
    case INPUT_FASTER:
      bonus_speed();
      break;
    case INPUT_SWAP:
      bonus_inverser();
      break;
    case INPUT_BIGGER:
      bonus_bigger();
      break;
    case INPUT_SMALLER:
      bonus_smaller();
      break;
    case INPUT_MUTE:
      sound_toggle_mute();
      break;
    case INPUT_PAUSE:
      pause_set(!pause_active());
      break;
    case INPUT_HOLD:
      pause_set(true);
      break;
    case INPUT_FULLSCREEN:
      game_change_mode(graphic_toggle_fullscreen);
      break;
    case INPUT_RESIZE:
      game_change_mode([&event] { graphic_resize(event.resize.w, event.resize.h); });
      break;
    default:  // an exposed window: the next frame draws it anyway
      break;
  }
}

void game_handle_events() {
  SDL_Event event = g_game->event;
  while (SDL_PollEvent(&event)) game_handle_event(event);
}

input_action_t game_rest(input_screen_t screen, void (*draw)()) {
  for (;;) {
    const SDL_Event event = input_wait();
    const input_action_t action = input_take(event, screen);
    switch (action) {
      case INPUT_QUIT:
        game_exit(0);
      case INPUT_FULLSCREEN:
        graphic_toggle_fullscreen();
        draw();
        break;
      case INPUT_RESIZE:
        graphic_resize(event.resize.w, event.resize.h);
        draw();
        break;
      case INPUT_REDRAW:
        draw();
        break;
      case INPUT_NOTHING:
        break;
      default:
        return action;
    }
  }
}

void game_update() {
  game_handle_events();
  if (pause_active()) pause_hold();
  physics_update();
  // The step only marks the end; showing it is the frame loop's, so that the
  // step neither draws nor waits for anybody.
  if (g_game->over) result_hold();
  graphic_update();
}

void game_destroy() {
  sound_close();
  graphic_destroy();
  physics_destroy();
}
