// player_test.cpp -- the paddle turning by elapsed time
#include "playfield/player.h"

#include <cmath>

#include "fixture.h"
#include "playfield_helpers.h"

namespace {

class PaddleTest : public GameTest {
 protected:
  static void update() { player_update(0); }
  void step_at(Uint32 now) { run_at(now, update); }
};

TEST_F(PaddleTest, StartsOnTheRimAtAngleZeroWithEveryEffectOff) {
  const player_t *p = paddle();
  EXPECT_EQ(p->pos.x, 45.0f);
  EXPECT_EQ(p->pos.z, 0.0f);
  EXPECT_EQ(p->rho, 45.0f);
  EXPECT_EQ(p->theta, 0.0f);
  EXPECT_EQ(p->speed, 0.075f);
  EXPECT_EQ(p->size, 4.0f);
  EXPECT_EQ(p->base_size, 4.0f);
  for (float t : {p->transverser_time, p->speed_time, p->inverser_time, p->resize_time}) EXPECT_EQ(t, -1.0f);
}

TEST_F(PaddleTest, WithoutAFlagStaysPutButRecomputesItsPosition) {
  paddle()->theta = 90;
  paddle()->pos = {1, 2, 3};
  step_at(5000);
  EXPECT_EQ(paddle()->theta, 90.0f);
  EXPECT_EQ(paddle()->pos.z, -45.0f);
  EXPECT_EQ(paddle()->pos.y, 0.0f);
}

TEST_F(PaddleTest, TurnsSeventyFiveDegreesPerSecondEitherWayWithoutWrapping) {
  g_game->move_right = 1;
  step_at(1000);
  EXPECT_FLOAT_EQ(paddle()->theta, 75.0f);

  paddle()->theta = 0;
  g_game->move_right = 0;
  g_game->move_left = 1;
  step_at(1000);
  EXPECT_FLOAT_EQ(paddle()->theta, -75.0f);  // not 285

  // A full circle takes 4.8 s, and the angle keeps growing past 360.
  paddle()->theta = 0;
  g_game->move_left = 0;
  g_game->move_right = 1;
  run_frames(update, 4800, 2);
  EXPECT_FLOAT_EQ(paddle()->theta, 720.0f);
}

TEST_F(PaddleTest, DoesNotTurnWhenNoTimeHasPassed) {
  g_game->move_right = 1;
  g_game->last_tick = 1234;
  step_at(1234);
  EXPECT_EQ(paddle()->theta, 0.0f);
}

TEST_F(PaddleTest, BothFlagsTurnByTheTicksBetweenTheTwoReadings) {
  g_game->move_right = 1;
  g_game->move_left = 1;
  run_at(1000, update, 1);  // the second reading sees one more millisecond
  EXPECT_NEAR(paddle()->theta, -0.075f, 1e-5);
}

TEST_F(PaddleTest, MeasuresElapsedTimeAcrossTheWrapOfTheTickCounter) {
  g_game->move_right = 1;
  g_game->last_tick = 0xFFFFFF00u;  // 256 ms before the wrap
  step_at(232);                     // 488 ms later
  EXPECT_NEAR(paddle()->theta, 36.6f, 1e-4);
}

}  // namespace
