// fixture.cpp -- a fresh game context for each test, without a window
#include "fixture.h"

#include <cstdlib>

#include "fake_gl.h"
#include "frontend/input.h"
#include "frontend/sound_local.h"
#include "playfield_helpers.h"

void GameTest::SetUp() {
  fake_clock_set(0);
  game_fresh();
  g_game->map = static_cast<map_t *>(std::calloc(1, sizeof(map_t)));
  g_game->map->bricks_left = 150;
  input_create();  // also forgets keys held in the previous test
  fake_gl_texts().clear();
  fake_gl_views().clear();
}

void GameTest::TearDown() {
  sound_mixer_init(sound_mixer(), 0);  // silent again, as before the device opens
  if (g_game == nullptr) return;
  field_free();
  std::free(g_game->camera);
  std::free(g_game->player[0]);
  std::free(g_game);
  g_game = nullptr;
}
