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

// ---- Effects past 2^24 ms (how long each lasts there: bonus_test) ---------

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
