// input.cpp -- the in-game controls: the keyboard, and the gamepad standing in for its keys
#include "frontend/input.h"

#include <cstdio>

#include "core/game.h"
#include "core/pause.h"
#include "frontend/input_local.h"
#include "frontend/menu.h"
#include "frontend/pad.h"
#include "frontend/sound.h"
#include "playfield/bonus.h"
#include "playfield/player.h"
#include "render/graphic.h"

namespace {
constexpr int kRepeatDelay = 20;  // ms before the first repeat
constexpr int kRepeatInterval = 20;

// Whether the play window holds the input focus, as far as play has seen:
// only a focus gained during play can be lost in a way that pauses it.
bool g_has_focus = false;

// Looked up at every arrow event, press and release alike, so a key released
// under the other mapping clears the other flag.
bool input_inverted() { return bonus_active(g_game->player[0], BONUS_SWAPPED); }

// The keyboard and the pad each hold their own ways, so that letting go of
// one leaves the other turning.
enum input_source_t { INPUT_KEYS, INPUT_PAD };
struct input_ways_t {
  bool right;  // as move_right: towards increasing angle
  bool left;
};
input_ways_t g_ways[2] = {};

void input_turn(SDLKey key, bool on, input_source_t from) {
  const bool right = key == SDLK_RIGHT;
  if (right != input_inverted())
    g_ways[from].right = on;
  else
    g_ways[from].left = on;
  g_game->move_right = g_ways[INPUT_KEYS].right || g_ways[INPUT_PAD].right;
  g_game->move_left = g_ways[INPUT_KEYS].left || g_ways[INPUT_PAD].left;
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

void input_pad_arrows(pad_turn_t was, pad_turn_t now);

// Stick and d-pad moves are ignored while paused, like key presses; one still
// held when play resumes turns the paddle, as a held arrow key's repeats do.
void input_toggle_pause() {
  g_game->paused = !g_game->paused;
  if (!g_game->paused) input_pad_arrows({}, pad_turn());
}

void input_toggle_fullscreen() { input_change_mode(graphic_toggle_fullscreen); }

// Key repeat sends further key-downs for a held key. Each split doubles the
// balls, so a held d would multiply them without bound within a second; a
// held m, p or F11 would toggle the sound, the pause or the mode every few
// milliseconds. These keys act on the first press after a release only.
struct input_once_t {
  SDLKey key;
  void (*act)();
  bool while_paused;  // acts while paused too
  // Pressed, and acted on, since the last release: the key and its pad button
  // apart, so each acts once per press of its own and neither's release
  // re-arms the other while it is held.
  bool held[2] = {};
};
input_once_t g_once_keys[] = {{SDLK_d, bonus_split, false},
                              {SDLK_m, sound_toggle_mute, false},
                              {SDLK_p, input_toggle_pause, true},
                              {SDLK_F11, input_toggle_fullscreen, true}};

// Each pad button presses the key whose action it takes, so it acts once per
// press or while paused exactly as that key does.
struct input_pad_key_t {
  Uint8 button;
  SDLKey key;
};
constexpr input_pad_key_t kPadKeys[] = {{PAD_A, SDLK_d},    {PAD_B, SDLK_f},     {PAD_X, SDLK_g},
                                        {PAD_Y, SDLK_h},    {PAD_LB, SDLK_DOWN}, {PAD_RB, SDLK_UP},
                                        {PAD_BACK, SDLK_m}, {PAD_START, SDLK_p}};

input_once_t *input_once_key(SDLKey key) {
  for (input_once_t &once : g_once_keys)
    if (once.key == key) return &once;
  return nullptr;
}

// A key pressed in play that neither quits nor acts once per press.
void input_key_play(SDLKey key, input_source_t from) {
  switch (key) {
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
      input_turn(key, true, from);
      break;
    default:
      break;
  }
}

void input_key_down(SDLKey key, input_source_t from) {
  if (key == SDLK_ESCAPE) game_exit(0);
  // While paused, nothing else is pressed into play.
  input_once_t *once = input_once_key(key);
  if (g_game->paused && (once == nullptr || !once->while_paused)) return;
  if (once == nullptr) {
    input_key_play(key, from);
  } else {
    if (!once->held[from]) once->act();
    once->held[from] = true;
  }
}

// Releases count while paused too, so a key let go then does not stay held.
void input_key_up(SDLKey key, input_source_t from) {
  if (input_once_t *once = input_once_key(key)) once->held[from] = false;
  if (key == SDLK_RIGHT || key == SDLK_LEFT) input_turn(key, false, from);
}

void input_pad_button(const SDL_JoyButtonEvent &button) {
  if (!pad_take_button(button)) return;
  const bool down = button.type == SDL_JOYBUTTONDOWN;
  // With no key at hand, Start pauses and Back then leaves; in play Back
  // stays the sound.
  if (down && button.button == PAD_BACK && g_game->paused) game_exit(0);
  for (const input_pad_key_t &pad : kPadKeys) {
    if (pad.button != button.button) continue;
    if (down)
      input_key_down(pad.key, INPUT_PAD);
    else
      input_key_up(pad.key, INPUT_PAD);
  }
}

// The stick and the d-pad hold the arrows: a way entered presses its arrow, a
// way left releases it, so the swap and the pause take them as they take keys.
void input_pad_arrow(SDLKey key, bool was, bool now) {
  if (now && !was) input_key_down(key, INPUT_PAD);
  if (was && !now) input_key_up(key, INPUT_PAD);
}

void input_pad_arrows(pad_turn_t was, pad_turn_t now) {
  input_pad_arrow(SDLK_LEFT, was.left, now.left);
  input_pad_arrow(SDLK_RIGHT, was.right, now.right);
}

// Iconified, the field cannot be seen. The focus lost by the title window at
// the switch to play, or never given to the play window (no window manager),
// does not pause: only a focus gained or held in play and then lost does.
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
  for (input_once_t &once : g_once_keys) once.held[INPUT_KEYS] = once.held[INPUT_PAD] = false;
  g_ways[INPUT_KEYS] = g_ways[INPUT_PAD] = {};
  pad_rest();
  // A title drawn in the play window's mode hands play its window, focus
  // and all, and no focus event comes to say so.
  g_has_focus = menu_keeps_window() && (SDL_GetAppState() & SDL_APPINPUTFOCUS) != 0;
}

void input_handle(const SDL_Event &event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      input_key_down(event.key.keysym.sym, INPUT_KEYS);
      break;
    case SDL_KEYUP:
      input_key_up(event.key.keysym.sym, INPUT_KEYS);
      break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
      input_pad_button(event.jbutton);
      break;
    case SDL_JOYAXISMOTION:
    case SDL_JOYHATMOTION: {
      const pad_turn_t was = pad_turn();
      pad_read(event);
      input_pad_arrows(was, pad_turn());
      break;
    }
    case SDL_ACTIVEEVENT:
      input_active(event.active);
      break;
    case SDL_VIDEORESIZE:  // the window manager gave the window a new size
      input_change_mode([&event] { graphic_resize(event.resize.w, event.resize.h); });
      break;
    case SDL_QUIT:  // the window is being closed
      game_exit(0);
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
    game_exit(1);
  }
  input_handle(event);
  return event;
}

void input_update() {
  SDL_Event event = g_game->event;
  while (SDL_PollEvent(&event)) input_handle(event);
}
