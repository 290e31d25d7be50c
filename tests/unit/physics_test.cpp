// physics_test.cpp -- the simulation step: its order, the frame clock and the inverted controls
#include "core/physics.h"

#include "fixture.h"
#include "playfield/bricker.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "playfield/roller.h"
#include "playfield_helpers.h"

namespace {

// A resting ball well inside the field that never moves, so that the step
// has a ball to update and the game does not end.
class StepTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    put_ball({20, 0.4f, 0}, {0, 0, 0});
  }
  void step_at(Uint32 now) { run_at(now, physics_update); }
};

TEST_F(StepTest, CreationStampsTheFrameClock) {
  run_at(777, physics_create);
  EXPECT_EQ(g_game->last_tick, 777u);
}

TEST_F(StepTest, StampsTheClockAfterTheUpdatesSoEachFrameMeasuresFromThePreviousOne) {
  g_game->move_right = 1;
  step_at(1000);
  EXPECT_EQ(g_game->last_tick, 1000u);
  EXPECT_FLOAT_EQ(paddle()->theta, 75.0f);
  step_at(1400);
  EXPECT_FLOAT_EQ(paddle()->theta, 105.0f);  // 400 ms more, not 1400
}

TEST_F(StepTest, TwoFramesInTheSameMillisecondMoveNothing) {
  g_game->move_left = 1;
  step_at(500);
  const float theta = paddle()->theta;
  step_at(500);
  EXPECT_EQ(paddle()->theta, theta);
}

TEST_F(StepTest, KeepsTimeAcrossTheWrapOfTheTickCounter) {
  g_game->move_right = 1;
  g_game->last_tick = 0xFFFFFFFFu - 199;  // 200 ms before the wrap
  step_at(800);                           // 1000 ms later
  EXPECT_FLOAT_EQ(paddle()->theta, 75.0f);
  EXPECT_EQ(g_game->last_tick, 800u);
}

TEST_F(StepTest, InvertedControlsExpiryReadsTheClockAfterTheStamp) {
  // The clock advances one tick per reading: the stamp sees one tick and the
  // expiry test the next, so an effect due exactly at the stamp still ends.
  paddle()->inverser_time = 3000;
  g_game->last_tick = 12000;
  g_game->map->rollers->dir = {0, 0, 0};
  run_at(12990, physics_update, 0);
  ASSERT_EQ(paddle()->inverser_time, 3000.0f);

  // Find how many readings the step makes before the stamp, then line the
  // stamp up with tick 13000 so that only the second reading is past it.
  const unsigned reads = fake_clock_reads();
  ASSERT_GE(reads, 2u);
  run_at(13000 - (reads - 2), physics_update, 1);
  EXPECT_EQ(g_game->last_tick, 13000u);
  EXPECT_EQ(paddle()->inverser_time, -1.0f);
}

// The step that loses the last ball is the last: no brick settles after it,
// and its clock is not stamped.
TEST_F(StepTest, EndsAtTheBallsWhenTheLastIsLost) {
  roller_destroy();  // the last ball, gone in this step's walk
  put_brick(20)->pos.y = 5;
  step_at(110);
  EXPECT_TRUE(g_game->over);
  EXPECT_EQ(g_game->map->bricks->pos.y, 5.0f);
  EXPECT_EQ(g_game->last_tick, 0u);
}

TEST_F(StepTest, LeavesThePassThroughToABrickContact) {
  paddle()->transverser_time = 5;
  step_at(900000);
  EXPECT_EQ(paddle()->transverser_time, 5.0f);
}

}  // namespace
