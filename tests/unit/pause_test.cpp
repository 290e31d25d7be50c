// pause_test.cpp -- a pause stops every timer: effects keep their time left, the frame clock skips it
#include "core/pause.h"

#include "core/physics.h"
#include "fixture.h"
#include "playfield/bonus.h"
#include "playfield/player.h"
#include "playfield_helpers.h"

namespace {

using PauseTest = GameTest;

TEST_F(PauseTest, EveryRunningEffectStartsLaterByThePausedTime) {
  run_at(1000, bonus_transverser);
  run_at(2000, bonus_speed);
  run_at(3000, bonus_inverser);
  run_at(4000, bonus_bigger);
  pause_shift(60000);
  EXPECT_EQ(paddle()->transverser_time, 61000.0f);
  EXPECT_EQ(paddle()->speed_time, 62000.0f);
  EXPECT_EQ(paddle()->inverser_time, 63000.0f);
  EXPECT_EQ(paddle()->resize_time, 64000.0f);
  paddle()->resize_time = -1;
  pause_shift(1000);
  EXPECT_EQ(paddle()->resize_time, -1.0f) << "an effect that is off stays off";
}

// Bigger paddle at 1000 (10 s), paused at 8000 with 3 s left, for 60 s.
TEST_F(PauseTest, AnEffectWithThreeSecondsLeftKeepsThemOverAMinute) {
  run_at(1000, bonus_bigger);
  run_at(3000, bonus_inverser);
  pause_shift(60000);
  run_at(71000, [] { player_update(0); });
  EXPECT_EQ(paddle()->size, 8.0f);
  run_at(71001, [] { player_update(0); });
  EXPECT_EQ(paddle()->size, 4.0f);
  EXPECT_EQ(paddle()->resize_time, -1.0f);

  put_ball({20, 0.4f, 0}, {0, 0, 0});  // a ball that never moves keeps the game going
  run_at(73000, physics_update);
  EXPECT_NE(paddle()->inverser_time, -1.0f);
  run_at(73001, physics_update);
  EXPECT_EQ(paddle()->inverser_time, -1.0f);
}

// Last frame stamped at 4000, paused from 4010 to 64010, next frame at 64026:
// the paddle turns for the 26 ms of play, not for the minute.
TEST_F(PauseTest, TheFirstFrameAfterAPauseMeasuresOnlyThePlayAroundIt) {
  g_game->last_tick = 4000;
  g_game->move_right = 1;
  pause_shift(60000);
  put_ball({20, 0.4f, 0}, {0, 0, 0});
  run_at(64026, physics_update);
  EXPECT_FLOAT_EQ(paddle()->theta, 26 * 0.075f);
  EXPECT_EQ(g_game->last_tick, 64026u);
}

}  // namespace
