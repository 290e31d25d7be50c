// longplay_test.cpp -- a long game: the tick counter's wrap and effect start times past 2^24 ms
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/physics.h"
#include "fixture.h"
#include "playfield/bonus.h"
#include "playfield/player.h"
#include "playfield/roller.h"
#include "playfield_helpers.h"

namespace {

constexpr Uint32 kTwoTo24 = 16777216;  // ms, about 4.7 hours: floats stop holding every tick
constexpr Uint32 kFrame = 16;          // ms, a 60 Hz frame

class LongPlay : public GameTest {
 protected:
  // One frame ending at `now`, the previous one `kFrame` earlier.
  void frame_at(Uint32 now) {
    g_game->last_tick = now - kFrame;
    run_at(now, physics_update);
  }
  // A resting ball that never moves, so the game goes on however long it runs.
  roller_t *still_ball() { return put_ball({10, 0.4f, 0}, {0, 0, 0}); }
};

// ---- Across the wrap of the 32-bit tick counter --------------------------

TEST_F(LongPlay, BallsMoveBySpeedTimesFrameTimeFrameAfterFrameAcrossTheWrap) {
  // 4000 ms of 16 ms frames centred on the wrap; from x = -20 at 0.015 units
  // per ms the ball reaches x = 40, short of the paddle's band at 43.8.
  roller_t *ball = put_ball({-20, 0.4f, 0}, {1, 0, 0});
  Uint32 now = 0u - 2000u;
  g_game->last_tick = now;
  float max_step = 0;
  for (int i = 0; i < 250; ++i) {
    const float before = ball->pos.x;
    run_at(now += kFrame, physics_update);
    max_step = std::max(max_step, ball->pos.x - before);
    ASSERT_EQ(g_game->last_tick, now);
  }
  EXPECT_EQ(now, 2000u);               // wrapped
  EXPECT_NEAR(max_step, 0.24f, 1e-5);  // 16 ms x 0.015, never billions of ms
  EXPECT_NEAR(ball->pos.x, 40.0f, 1e-3);
  EXPECT_FLOAT_EQ(ball->pos.y, 0.4f);
}

TEST_F(LongPlay, OneFrameSpanningTheWrapMovesTheBallByItsTrueElapsedTime) {
  roller_t *ball = put_ball({10, 0.4f, 0}, {1, 0, 0});
  g_game->last_tick = 0xFFFFFF00u;       // 256 ms before the wrap
  run_at(0x100u, physics_update);        // 256 ms after it
  EXPECT_FLOAT_EQ(ball->pos.x, 17.68f);  // 10 + 512 x 0.015
}

TEST_F(LongPlay, ThePaddleTurnsByTheTrueElapsedTimeAcrossTheWrap) {
  still_ball();
  g_game->move_right = 1;
  g_game->last_tick = 0u - 296u;
  run_at(704, physics_update);  // 1000 ms later
  EXPECT_FLOAT_EQ(paddle()->theta, 75.0f);
}

// ---- Effect start times stored as floats past 2^24 ms ---------------------
// Past 2^24 a float holds only every second tick, so a start time is rounded to
// an even tick, and the effect's 10000 ms are counted from that rounded value.

TEST_F(LongPlay, AnEffectStartedOnAnOddTickPast2To24IsStoredRoundedDownAndEndsAMillisecondEarly) {
  roller_t *ball = still_ball();
  const Uint32 start = kTwoTo24 + 1;  // halfway between 2^24 and 2^24 + 2: ties go to even
  run_at(start, bonus_speed);
  EXPECT_EQ(paddle()->speed_time, 16777216.0f);

  frame_at(start + 9999);  // 10000 after the stored start: not strictly more
  EXPECT_NE(paddle()->speed_time, -1);
  frame_at(start + 10000);  // exactly 10000 after the real start, 10001 after the stored one
  EXPECT_EQ(paddle()->speed_time, -1);
  EXPECT_FLOAT_EQ(ball->pos.x, 10);
}

TEST_F(LongPlay, AnEffectStartedOnATieRoundedUpLastsAMillisecondLonger) {
  still_ball();
  const Uint32 start = kTwoTo24 + 3;  // between +2 and +4: ties go to +4, the even mantissa
  run_at(start, bonus_bigger);
  EXPECT_EQ(paddle()->resize_time, 16777220.0f);
  EXPECT_FLOAT_EQ(paddle()->size, 8);

  frame_at(start + 10001);  // 10000 after the stored start
  EXPECT_FLOAT_EQ(paddle()->size, 8);
  frame_at(start + 10002);
  EXPECT_FLOAT_EQ(paddle()->size, 4);
  EXPECT_EQ(paddle()->resize_time, -1);
}

TEST_F(LongPlay, InvertedControlsStartedAfterHoursOfPlayEndFromTheirStoredStart) {
  still_ball();
  // Ten hours in, floats hold every fourth tick: 36000003 is stored as 36000004.
  const Uint32 start = 36000003;
  run_at(start, bonus_inverser);
  EXPECT_EQ(paddle()->inverser_time, 36000004.0f);

  frame_at(start + 10001);
  EXPECT_NE(paddle()->inverser_time, -1);
  frame_at(start + 10002);
  EXPECT_EQ(paddle()->inverser_time, -1);
}

TEST_F(LongPlay, BallsKeepMovingAtDoubleSpeedWhileTheSpeedEffectRunsHoursIntoTheGame) {
  roller_t *ball = put_ball({-20, 0.4f, 0}, {1, 0, 0});
  const Uint32 now = kTwoTo24 + 5000;
  run_at(now, bonus_speed);
  g_game->last_tick = now;
  // 1000 ms of frames at 0.03 units per ms: 30 units.
  run_frames(physics_update, kFrame, 62);
  run_frames(physics_update, 8);
  EXPECT_NEAR(ball->pos.x, 10.0f, 1e-3);
  EXPECT_NE(paddle()->speed_time, -1);
}

}  // namespace
