// input.cpp -- the in-game keyboard controls
#include "frontend/input.h"

#include <cstdio>
#include <cstdlib>

#include "core/game.h"
#include "core/pause.h"
#include "frontend/input_local.h"
#include "frontend/sound.h"
#include "playfield/bonus.h"
#include "playfield/player.h"
#include "render/graphic.h"

namespace {
constexpr int kRepeatDelay = 20;  // ms before the first repeat
constexpr int kRepeatInterval = 20;

// Key repeat sends further key-downs for a held key. Each split doubles the
// balls, so a held d would multiply them without bound within a second: only
// the first press after a release splits.
bool g_split_held = false;
// The same for m: a held key would toggle the sound on and off in turn.
bool g_mute_held = false;
// Key repeat would also toggle the pause, or the mode, every few
// milliseconds while p or F11 is held.
bool g_pause_held = false;
bool g_fullscreen_held = false;
// Whether the play window holds the input focus, as far as play has seen:
// only a focus gained during play can be lost in a way that pauses it.
bool g_has_focus = false;

[[noreturn]] void input_quit() {
  SDL_Quit();
  std::exit(0);
}

// Looked up at every arrow event, press and release alike, so a key released
// under the other mapping clears the other flag.
bool input_inverted() { return g_game->player[0]->inverser_time != -1; }

void input_turn(SDLKey key, int32_t value) {
  const bool right = key == SDLK_RIGHT;
  if (right != input_inverted())
    g_game->move_right = value;
  else
    g_game->move_left = value;
}

// Setting a new mode can take a good part of a second with nothing on
// screen; counted into the next frame, it would throw the balls out of the
// field. Like a pause it does not count into play (a pause counts it itself).
template <class Change>
void input_change_mode(Change change) {
  const Uint32 start = SDL_GetTicks();
  change();
  if (!g_game->paused) pause_shift(static_cast<Uint32>(SDL_GetTicks() - start));
}

// The keys that act in play and while paused alike; answers whether the key is one.
bool input_key_always(SDLKey key) {
  switch (key) {
    case SDLK_ESCAPE:
      input_quit();
    case SDLK_p:
      if (!g_pause_held) g_game->paused = !g_game->paused;
      g_pause_held = true;
      return true;
    case SDLK_F11:
      if (!g_fullscreen_held) input_change_mode(graphic_toggle_fullscreen);
      g_fullscreen_held = true;
      return true;
    default:
      return false;
  }
}

void input_key_down(SDLKey key) {
  switch (key) {
    case SDLK_d:
      if (!g_split_held) bonus_split();
      g_split_held = true;
      break;
    case SDLK_m:
      if (!g_mute_held) sound_toggle_mute();
      g_mute_held = true;
      break;
    case SDLK_f:
      bonus_transverser();
      break;
    case SDLK_g:
      bonus_speed();
      break;
    case SDLK_h:
      bonus_inverser();
      break;
    case SDLK_UP:
      bonus_bigger();
      break;
    case SDLK_DOWN:
      bonus_smaller();
      break;
    case SDLK_RIGHT:
    case SDLK_LEFT:
      input_turn(key, 1);
      break;
    default:
      break;
  }
}

// Releases count while paused too, so a key let go then does not stay held.
void input_key_up(SDLKey key) {
  switch (key) {
    case SDLK_d:
      g_split_held = false;
      break;
    case SDLK_m:
      g_mute_held = false;
      break;
    case SDLK_p:
      g_pause_held = false;
      break;
    case SDLK_F11:
      g_fullscreen_held = false;
      break;
    case SDLK_RIGHT:
    case SDLK_LEFT:
      input_turn(key, 0);
      break;
    default:
      break;
  }
}

// Iconified, the field cannot be seen. The focus lost by the title window at
// the switch to play, or never given to the play window (no window manager),
// does not pause: only a focus gained in play and then lost does.
void input_active(const SDL_ActiveEvent &active) {
  if (active.gain) {
    if (active.state & SDL_APPINPUTFOCUS) g_has_focus = true;
    return;
  }
  if (active.state & SDL_APPACTIVE) g_game->paused = true;
  if ((active.state & SDL_APPINPUTFOCUS) && g_has_focus) {
    g_has_focus = false;
    g_game->paused = true;
  }
}
}  // namespace

void input_create() {
  SDL_EnableKeyRepeat(kRepeatDelay, kRepeatInterval);
  g_game->move_right = 0;
  g_game->move_left = 0;
  g_split_held = false;
  g_mute_held = false;
  g_pause_held = false;
  g_fullscreen_held = false;
  g_has_focus = false;
}

void input_handle(const SDL_Event &event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      // While paused, nothing else is pressed into play.
      if (!input_key_always(event.key.keysym.sym) && !g_game->paused) input_key_down(event.key.keysym.sym);
      break;
    case SDL_KEYUP:
      input_key_up(event.key.keysym.sym);
      break;
    case SDL_ACTIVEEVENT:
      input_active(event.active);
      break;
    case SDL_VIDEORESIZE:  // the window manager gave the window a new size
      input_change_mode([&event] { graphic_resize(event.resize.w, event.resize.h); });
      break;
    case SDL_QUIT:  // the window is being closed
      input_quit();
    default:
      // Mouse presses included: nothing in play takes a click.
      break;
  }
}

SDL_Event input_wait() {
  SDL_Event event = g_game->event;
  // Without its events the game could never be resumed or quit.
  if (SDL_WaitEvent(&event) == 0) {
    std::printf("SDL_WaitEvent: %s\n", SDL_GetError());
    SDL_Quit();
    std::exit(1);
  }
  input_handle(event);
  return event;
}

void input_update() {
  SDL_Event event = g_game->event;
  while (SDL_PollEvent(&event)) input_handle(event);
}
