// fixture.h -- a fresh game context for each test, without a window, and the key and button events it takes
#pragma once

#include <gtest/gtest.h>

#include "core/game.h"
#include "fake_clock.h"

// An event with nothing but its type set.
inline SDL_Event plain_event(Uint8 type) {
  SDL_Event e{};
  e.type = type;
  return e;
}

// A key event as the media library delivers it.
inline SDL_Event key_event(Uint8 type, SDLKey key) {
  SDL_Event e{};
  e.type = type;
  e.key.type = type;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = key;
  return e;
}

inline player_t *paddle() { return g_game->player[0]; }

inline SDL_Event button_event(Uint8 button, Uint16 x, Uint16 y, Uint8 type = SDL_MOUSEBUTTONDOWN) {
  SDL_Event e{};
  e.type = e.button.type = type;
  e.button.button = button;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = x;
  e.button.y = y;
  return e;
}

// Builds the context and the paddle as start-up does, minus the window, with a
// full brick count, no key held and no GL call recorded, and releases them
// afterwards. Balls and bricks are the test's to add.
class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};
