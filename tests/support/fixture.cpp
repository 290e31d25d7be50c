// fixture.cpp -- a fresh game context for each test, without a window
#include "fixture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "core/pause.h"
#include "fake_gl.h"
#include "frontend/input.h"
#include "frontend/sound_local.h"
#include "playfield_helpers.h"

namespace {
// The game ends the process when its last ball is gone. In the middle of a
// test that is a fault, and it must not pass for a clean exit of the test.
bool g_in_test = false;
void fail_if_the_game_ended() {
  if (!g_in_test || ::testing::internal::InDeathTestChild()) return;
  std::fputs("the game ended the process in the middle of a test\n", stderr);
  _exit(1);
}
}  // namespace

void GameTest::SetUp() {
  static const int guarded = std::atexit(fail_if_the_game_ended);
  (void)guarded;
  g_in_test = true;
  fake_clock_set(0);
  game_fresh();
  g_game->map = static_cast<map_t *>(std::calloc(1, sizeof(map_t)));
  g_game->map->bricks_left = 150;
  input_create();  // also forgets keys held in the previous test
  pause_set(false);
  fake_gl_texts().clear();
  fake_gl_views().clear();
}

void GameTest::TearDown() {
  g_in_test = false;
  sound_mixer_init(sound_mixer(), 0);  // silent again, as before the device opens
  if (g_game == nullptr) return;
  field_free();
  std::free(g_game->camera);
  std::free(g_game->player[0]);
  std::free(g_game);
  g_game = nullptr;
}
