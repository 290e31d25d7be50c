// bonus_test.cpp -- the split power-up, and the timed ones: their start times and how long each lasts
#include "playfield/bonus.h"

#include "core/physics.h"
#include "fixture.h"
#include "playfield/player.h"
#include "playfield_helpers.h"

namespace {

using BonusTest = GameTest;

TEST_F(BonusTest, SplitDoublesTheBallsWithATwinVeeringOff) {
  roller_t *first = new_ball(35, 0, 1, 0);
  for (int expected : {2, 4, 8}) {
    bonus_split();
    EXPECT_EQ(ball_count(), expected);
  }
  roller_t *twin = ball_at(6);  // the first split's twin sits just before its ball
  ASSERT_EQ(twin->next, first);
  EXPECT_FLOAT_EQ(twin->dir.x, 0.9f);
  EXPECT_EQ(twin->dir.y, 0.0f);
  EXPECT_FLOAT_EQ(twin->dir.z, -0.1f);
  EXPECT_EQ(twin->speed, 0.015f);
  EXPECT_EQ(first->dir.x, 1.0f);  // the ball itself is unchanged
}

TEST_F(BonusTest, TwinOfAMovedBallStartsAtItsPlaceAsANewBall) {
  roller_t *r = put_ball({-10, 0.4f, 20}, {1, 0, 0});
  bonus_split();
  roller_t *twin = g_game->map->rollers;
  EXPECT_FLOAT_EQ(twin->pos.x, -10);
  EXPECT_FLOAT_EQ(twin->pos.z, 20);
  EXPECT_EQ(twin->pos.y, 1.0f);
  EXPECT_EQ(twin->rho, r->rho);
  EXPECT_EQ(twin->theta, -r->theta);  // stored in the placing sense
}

TEST_F(BonusTest, TwinOfABallThatHasNotMovedYetIsNotMirrored) {
  roller_t *r = new_ball(35, 30, 1, 0);  // z is negative here
  bonus_split();
  bonus_split();  // the first twin has not moved either
  ASSERT_EQ(ball_count(), 4);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(ball_at(i)->pos.x, r->pos.x, 1e-4) << i;
    EXPECT_NEAR(ball_at(i)->pos.z, r->pos.z, 1e-4) << i;
  }
}

TEST_F(BonusTest, TwinOfAFallingBallFallsToo) {
  put_ball({50, -10, 0}, {1, 0, 0});
  put_ball({10, 0.4f, 0}, {1, 0, 0});  // keeps the game going
  bonus_split();
  roller_t *twin = ball_at(0);  // the last twin made heads the list
  EXPECT_FLOAT_EQ(twin->pos.x, 50);
  EXPECT_EQ(twin->pos.y, 1.0f);
  run_at(100, roller_update);
  EXPECT_LT(twin->pos.y, 1.0f - 1.4f);
}

TEST_F(BonusTest, SplitNeverTakesTheBallListPastItsBound) {
  for (int i = 0; i < 200; ++i) put_ball({10, 0.4f, 0}, {1, 0, 0});
  bonus_split();
  EXPECT_EQ(ball_count(), 256);
  bonus_split();
  EXPECT_EQ(ball_count(), 256);
}

TEST_F(BonusTest, RepeatedSplitsFromOneBallStopAtTheBound) {
  roller_create(35, 0, 0, 1, 0, 0);
  for (int i = 0; i < 12; ++i) bonus_split();
  EXPECT_EQ(ball_count(), 256);
}

TEST_F(BonusTest, TimedPowerUpsStampTheTickTheyStartAt) {
  player_t *p = g_game->player[0];
  run_at(1234, bonus_transverser);
  bonus_speed();
  bonus_inverser();
  EXPECT_EQ(p->transverser_time, 1234.0f);
  EXPECT_EQ(p->speed_time, 1234.0f);
  EXPECT_EQ(p->inverser_time, 1234.0f);
  EXPECT_EQ(p->resize_time, -1.0f);

  bonus_bigger();
  EXPECT_EQ(p->size, 8.0f);
  run_at(16777217, bonus_smaller);  // 2^24 + 1 rounds to the nearest float
  EXPECT_EQ(p->size, 2.0f);         // the later one decides
  EXPECT_EQ(p->resize_time, 16777216.0f);
  bonus_speed();  // restarting overwrites
  EXPECT_EQ(p->speed_time, 16777216.0f);
}

// Each timed power-up, started by its key's operation, and the update that ends it.
struct TimedCase {
  const char *name;
  void (*start)();
  void (*update)();
  float player_t::*field;
  Uint32 lasts;  // ms
  float size_while_on;
};

void paddle_update() { player_update(0); }

const TimedCase kTimed[] = {
    {"PassThrough", bonus_transverser, bricker_update, &player_t::transverser_time, 5000, 4},
    {"FasterBalls", bonus_speed, roller_update, &player_t::speed_time, 10000, 4},
    {"SwappedKeys", bonus_inverser, physics_update, &player_t::inverser_time, 10000, 4},
    {"Bigger", bonus_bigger, paddle_update, &player_t::resize_time, 10000, 8},
    {"Smaller", bonus_smaller, paddle_update, &player_t::resize_time, 10000, 2}};

// A start tick and the float it is stored as: past 2^24 ms floats hold every
// second tick (ties to the even one), past 2^25 every fourth, and the duration
// counts from the stored value.
struct StartTick {
  Uint32 at, stored;
};
const StartTick kStarts[] = {{1000, 1000}, {16777217, 16777216}, {16777219, 16777220}, {36000003, 36000004}};

class TimedEffect : public BonusTest, public ::testing::WithParamInterface<TimedCase> {
 protected:
  void SetUp() override {
    BonusTest::SetUp();
    // A still ball on the mother brick, which does not count while another
    // brick is left: every update has a ball, the brick update a contact.
    put_brick(20);
    bricker_mother_create(0, 0, 0);
    put_ball({1, 0.4f, 1}, {0, 0, 0});
  }
  // The effect's own update at `now`, with no time passed so that nothing
  // moves; answers how often it read the clock.
  unsigned update_at(Uint32 now) {
    g_game->last_tick = now;
    run_at(now, GetParam().update);
    return fake_clock_reads();
  }
};

TEST_P(TimedEffect, EndsAtTheFirstUpdateMoreThanItsDurationAfterItsStoredStart) {
  const TimedCase &c = GetParam();
  for (const StartTick &start : kStarts) {
    run_at(start.at, c.start);
    EXPECT_EQ(paddle()->*c.field, static_cast<float>(start.stored)) << start.at;
    const Uint32 last_on = start.stored + c.lasts;
    const unsigned reads_while_on = update_at(last_on);
    EXPECT_EQ(paddle()->*c.field, static_cast<float>(start.stored)) << start.at;
    EXPECT_EQ(paddle()->size, c.size_while_on);
    update_at(last_on + 1);
    EXPECT_EQ(paddle()->*c.field, -1.0f) << start.at;
    EXPECT_EQ(paddle()->size, 4.0f);
    EXPECT_EQ(update_at(last_on + 2), reads_while_on - 1)
        << "the clock is read for the effect only while it runs";
  }
}

INSTANTIATE_TEST_SUITE_P(Effects, TimedEffect, ::testing::ValuesIn(kTimed),
                         [](const ::testing::TestParamInfo<TimedCase> &info) { return info.param.name; });

}  // namespace
