// input.cpp -- what each key and pad button asks for, on the title, in play, while paused and at the end
#include "frontend/input.h"

#include <cstdio>

#include "core/game.h"
#include "frontend/input_local.h"
#include "frontend/pad.h"
#include "playfield/bonus.h"
#include "playfield/player.h"
#include "render/video.h"

namespace {
constexpr int kRepeatDelay = 20;  // ms before the first repeat
constexpr int kRepeatInterval = 20;

constexpr int kNoButton = -1;
// Rows for every key or every button but those rows above them that act in the same screen.
constexpr SDLKey kAnyKey = SDLK_LAST;
constexpr int kAnyButton = 256;
constexpr unsigned kTitle = INPUT_TITLE, kPlay = INPUT_PLAY, kPaused = INPUT_PAUSED, kResult = INPUT_RESULT;

// The keyboard and the pad each hold their own keys and ways, so that letting
// go of one leaves the other as it was.
enum input_source_t { INPUT_KEYS, INPUT_PAD };

// One thing a key or a pad button does, and where. Each button stands for the
// key beside it, so that it acts once per press or while paused exactly as
// that key does. A key with rows for several screens does in each what its
// row there says.
struct input_row_t {
  input_action_t action;
  SDLKey key;  // SDLK_UNKNOWN: no key; kAnyKey
  int button;  // pad_button_t, kNoButton or kAnyButton
  unsigned where;
  // Key repeat sends further key-downs for a held key. Each split doubles the
  // balls, so a held d would multiply them without bound within a second; a
  // held m, p or F11 would toggle the sound, the pause or the mode every few
  // milliseconds. These act on the first press after a release only.
  bool once;
  bool on_release;  // the title starts when Space is let go, not while it is held
  // Pressed, and acted on, since the last release: the key and its button
  // apart, so each acts once per press of its own and neither's release
  // re-arms the other while it is held.
  bool held[2];
};

// Turning has no action: the arrows' rows hold the turn flags instead.
constexpr input_action_t kTurn = INPUT_NOTHING;

input_row_t g_rows[] = {
    // action            key           button     where                   once   on_release
    {INPUT_QUIT, SDLK_ESCAPE, kNoButton, kTitle | kPlay | kPaused, false, false, {}},
    // With no key at hand, Start pauses and Back then leaves; in play Back is the sound.
    {INPUT_QUIT, SDLK_UNKNOWN, PAD_BACK, kTitle | kPaused, false, false, {}},
    {INPUT_START, SDLK_SPACE, PAD_A, kTitle, false, true, {}},
    {INPUT_START, SDLK_UNKNOWN, PAD_START, kTitle, false, true, {}},
    // The title sets no key repeat.
    {INPUT_FULLSCREEN, SDLK_F11, kNoButton, kTitle, false, false, {}},
    {INPUT_FULLSCREEN, SDLK_F11, kNoButton, kPlay | kPaused | kResult, true, false, {}},
    {INPUT_PAUSE, SDLK_p, PAD_START, kPlay | kPaused, true, false, {}},
    {INPUT_MUTE, SDLK_m, PAD_BACK, kPlay, true, false, {}},
    {INPUT_SPLIT, SDLK_d, PAD_A, kPlay, true, false, {}},
    {INPUT_PASS_THROUGH, SDLK_f, PAD_B, kPlay, false, false, {}},
    {INPUT_FASTER, SDLK_g, PAD_X, kPlay, false, false, {}},
    {INPUT_SWAP, SDLK_h, PAD_Y, kPlay, false, false, {}},
    {INPUT_BIGGER, SDLK_UP, PAD_RB, kPlay, false, false, {}},
    {INPUT_SMALLER, SDLK_DOWN, PAD_LB, kPlay, false, false, {}},
    // The stick and the d-pad press these two as well (input_pad_arrows).
    {kTurn, SDLK_LEFT, kNoButton, kPlay, false, false, {}},
    {kTurn, SDLK_RIGHT, kNoButton, kPlay, false, false, {}},
    // The result: anything the player presses leaves it (a click too, below).
    {INPUT_QUIT, kAnyKey, kAnyButton, kResult, false, false, {}},
};

// Keys held as the result appeared, until let go.
bool g_ignored[SDLK_LAST] = {};

// Whether the play window holds the input focus, as far as play has seen:
// only a focus gained during play can be lost in a way that pauses it.
bool g_has_focus = false;

struct input_ways_t {
  bool right;  // as move_right: towards increasing angle
  bool left;
};
input_ways_t g_ways[2] = {};

// Looked up at every arrow event, press and release alike, so a key released
// under the other mapping clears the other flag.
bool input_inverted() { return bonus_active(g_game->player[0], BONUS_SWAPPED); }

void input_turn(SDLKey key, bool on, input_source_t from) {
  const bool right = key == SDLK_RIGHT;
  if (right != input_inverted())
    g_ways[from].right = on;
  else
    g_ways[from].left = on;
  g_game->move_right = g_ways[INPUT_KEYS].right || g_ways[INPUT_PAD].right;
  g_game->move_left = g_ways[INPUT_KEYS].left || g_ways[INPUT_PAD].left;
}

// A key (`button` kNoButton) or a pad button (`key` SDLK_UNKNOWN) pressed or
// let go in `screen`.
input_action_t input_press(SDLKey key, int button, input_source_t from, bool down, input_screen_t screen) {
  input_action_t action = INPUT_NOTHING;
  bool acted = false;
  for (input_row_t &row : g_rows) {
    const bool matches = button == kNoButton
                             ? row.key != SDLK_UNKNOWN && (row.key == key || row.key == kAnyKey)
                             : row.button == button || row.button == kAnyButton;
    if (!matches) continue;
    const bool here = (row.where & screen) != 0;
    if (!down) {
      // Releases count in every screen, so a key let go while paused does not
      // stay held. The title has no paddle to turn yet.
      row.held[from] = false;
      if (row.action == kTurn && screen != INPUT_TITLE) input_turn(key, false, from);
      if (here && row.on_release && !acted) action = row.action, acted = true;
      continue;
    }
    // While paused, nothing else is pressed into play.
    if (!here || row.on_release || acted) continue;
    acted = true;
    if (row.action == kTurn) input_turn(key, true, from);
    if (row.once && row.held[from]) continue;
    row.held[from] = row.once;
    action = row.action;
  }
  return action;
}

// The stick and the d-pad hold the arrows: a way entered presses its arrow, a
// way left releases it, so the swap and the pause take them as they take keys.
void input_pad_arrows(pad_turn_t was, pad_turn_t now, input_screen_t screen) {
  if (now.left != was.left) input_press(SDLK_LEFT, kNoButton, INPUT_PAD, now.left, screen);
  if (now.right != was.right) input_press(SDLK_RIGHT, kNoButton, INPUT_PAD, now.right, screen);
}

// Iconified, the field cannot be seen. The focus lost by the title window at
// the switch to play, or never given to the play window (no window manager),
// does not pause: only a focus gained or held in play and then lost does.
input_action_t input_active(const SDL_ActiveEvent &active) {
  if (active.gain) {
    if (active.state & SDL_APPINPUTFOCUS) g_has_focus = true;
    return INPUT_NOTHING;
  }
  bool hold = (active.state & SDL_APPACTIVE) != 0;
  if ((active.state & SDL_APPINPUTFOCUS) && g_has_focus) {
    g_has_focus = false;
    hold = true;
  }
  return hold ? INPUT_HOLD : INPUT_NOTHING;
}
}  // namespace

void input_create() {
  SDL_EnableKeyRepeat(kRepeatDelay, kRepeatInterval);
  g_game->move_right = 0;
  g_game->move_left = 0;
  for (input_row_t &row : g_rows) row.held[INPUT_KEYS] = row.held[INPUT_PAD] = false;
  for (bool &ignored : g_ignored) ignored = false;
  g_ways[INPUT_KEYS] = g_ways[INPUT_PAD] = {};
  pad_rest();
  // A title drawn in the play window's mode hands play its window, focus
  // and all, and no focus event comes to say so.
  g_has_focus = video_title_through_gl() && (SDL_GetAppState() & SDL_APPINPUTFOCUS) != 0;
}

input_action_t input_take(const SDL_Event &event, input_screen_t screen) {
  switch (event.type) {
    case SDL_KEYDOWN:
      if (g_ignored[event.key.keysym.sym]) return INPUT_NOTHING;  // a repeat of a key held all along
      return input_press(event.key.keysym.sym, kNoButton, INPUT_KEYS, true, screen);
    case SDL_KEYUP:
      g_ignored[event.key.keysym.sym] = false;
      return input_press(event.key.keysym.sym, kNoButton, INPUT_KEYS, false, screen);
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
      if (!pad_take_button(event.jbutton)) return INPUT_NOTHING;
      return input_press(SDLK_UNKNOWN, event.jbutton.button, INPUT_PAD, event.type == SDL_JOYBUTTONDOWN,
                         screen);
    case SDL_JOYAXISMOTION:
    case SDL_JOYHATMOTION: {
      // The title is started, and the result left, with buttons alone.
      if (screen == INPUT_TITLE || screen == INPUT_RESULT) return INPUT_NOTHING;
      const pad_turn_t was = pad_turn();
      pad_read(event);
      input_pad_arrows(was, pad_turn(), screen);
      return INPUT_NOTHING;
    }
    case SDL_ACTIVEEVENT:
      return screen == INPUT_PLAY || screen == INPUT_PAUSED ? input_active(event.active) : INPUT_NOTHING;
    case SDL_MOUSEBUTTONDOWN: {
      // A button, not the wheel, which reports itself as buttons too.
      const Uint8 button = event.button.button;
      const bool click =
          button == SDL_BUTTON_LEFT || button == SDL_BUTTON_MIDDLE || button == SDL_BUTTON_RIGHT;
      return screen == INPUT_RESULT && click ? INPUT_QUIT : INPUT_NOTHING;
    }
    case SDL_VIDEORESIZE:
      return INPUT_RESIZE;
    case SDL_VIDEOEXPOSE:
      return INPUT_REDRAW;
    case SDL_QUIT:  // the window is being closed
      return INPUT_QUIT;
    default:
      return INPUT_NOTHING;
  }
}

SDL_Event input_wait() {
  SDL_Event event = g_game->event;
  if (SDL_WaitEvent(&event) == 0) {
    std::printf("SDL_WaitEvent: %s\n", SDL_GetError());
    game_exit(1);
  }
  return event;
}

void input_ignore_keys(const Uint8 *keys, int count) {
  for (int k = 0; k < SDLK_LAST; ++k) g_ignored[k] = k < count && keys[k] != 0;
}

void input_ignore_held() {
  int count = 0;
  const Uint8 *keys = SDL_GetKeyState(&count);
  input_ignore_keys(keys, count);
}

void input_resume() { input_pad_arrows({}, pad_turn(), INPUT_PLAY); }
