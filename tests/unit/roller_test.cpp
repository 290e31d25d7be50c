// roller_test.cpp -- balls moving by elapsed time, bouncing off the paddle, dropping out
#include "playfield/roller.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "fixture.h"
#include "playfield/player.h"
#include "playfield/roller_local.h"
#include "playfield_helpers.h"

namespace {

class BallTest : public GameTest {
 protected:
  void frame(Uint32 dt, int n = 1) { run_frames(roller_update, dt, n); }
  // A resting ball at distance rho under the placing angle, as the paddle
  // would see it.
  roller_t *put_ball_at_angle(float rho, float angle) {
    const vec3_t at = sphere2cart(rho, angle, 0);
    return put_ball({at.x, 0.4f, at.z}, {1, 0, 0});
  }
};

TEST_F(BallTest, NewBallStartsOneUnitAboveItsPlaceAtTheHeadOfTheList) {
  roller_t *first = new_ball(35, 0, 1, 0);
  roller_t *r = new_ball(20, 90, 0, -1);
  ASSERT_NE(r, first);
  EXPECT_EQ(r->next, first);
  EXPECT_EQ(first->next, nullptr);
  EXPECT_NEAR(r->pos.x, 0, 1e-5);
  EXPECT_EQ(r->pos.y, 1.0f);
  EXPECT_FLOAT_EQ(r->pos.z, -20);
  EXPECT_EQ(r->rho, 20.0f);
  EXPECT_EQ(r->theta, 90.0f);  // kept in the placing sense until it moves
  EXPECT_EQ(r->speed, 0.015f);
  EXPECT_EQ(r->radius, 0.4f);
  EXPECT_EQ(r->dir.z, -1.0f);
}

TEST_F(BallTest, NewBallSettlesToRestingHeightWithinFortyMillisecondsAndStays) {
  roller_t *r = new_ball(35, 0, 1, 0);
  for (int i = 0; i < 5 && r->pos.y > 0.4f; ++i) frame(10);
  EXPECT_LE(r->pos.y, 0.4f);
  EXPECT_GE(r->pos.y, 0.4f - 0.015f * 10);
  const float rest = r->pos.y;
  frame(10, 10);
  EXPECT_EQ(r->pos.y, rest);
  EXPECT_NEAR(r->pos.x, 35 + 0.015 * 150, 1e-3);  // moved on horizontally all along
}

TEST_F(BallTest, EachCoordinateReadsTheClockAfresh) {
  roller_t *r = put_ball({10, 0.4f, 10}, {1, 0, 1});
  run_at(100, roller_update, 10);  // x sees dt 100, y 110, z 120
  EXPECT_FLOAT_EQ(r->pos.x, 11.5f);
  EXPECT_FLOAT_EQ(r->pos.z, 11.8f);
  EXPECT_EQ(fake_clock_reads(), 3u);
  // The committed polar position is measured from the new place.
  EXPECT_FLOAT_EQ(r->rho, std::hypot(11.5f, 11.8f));
  EXPECT_NEAR(r->theta, std::atan2(11.8, 11.5) * 180 / 3.141592653589793, 1e-4);
}

// Distance from the field centre of the ball's next position, and whether the
// paddle (rho 45, radius 0.4) catches it: the band is 43.8..45.8.
struct BandCase {
  float rho;
  bool caught;
};

class BallAtBandEdge : public BallTest, public ::testing::WithParamInterface<BandCase> {};

TEST_P(BallAtBandEdge, BouncesOnlyInsideTheRadialBand) {
  roller_t *r = put_ball({GetParam().rho, 0.4f, 0}, {1, 0, 0});
  frame(0);  // nothing moves: the next position is the stored one
  EXPECT_EQ(r->dir.x, GetParam().caught ? -1.0f : 1.0f);
  EXPECT_EQ(r->dir.z, 0.0f);
}

const BandCase kBandEdges[] = {{43.81f, true},  {45.79f, true}, {43.79f, false},
                               {45.81f, false}, {45.0f, true},  {40.0f, false}};
INSTANTIATE_TEST_SUITE_P(Edges, BallAtBandEdge, ::testing::ValuesIn(kBandEdges));

TEST(AngleWindow, IncludesBothEndsAcrossZeroAndExcludesBeyond) {
  const float half = 7.1396f;
  for (float in : {353.0f, 360.0f, 0.0f, 7.0f, 7.1396f}) EXPECT_EQ(is_collision(0, in, half), 1) << in;
  for (float out : {352.5f, 7.5f, 180.0f}) EXPECT_EQ(is_collision(0, out, half), 0) << out;
  // {paddle, ball, caught}: a window that does not cross 0/360, then windows
  // crossing at the top end and at 360 itself.
  const float rows[][3] = {{90, 83, 1}, {90, 97, 1}, {90, 82.5f, 0}, {90, 270, 0}, {355, 2, 1},
                           {355, 3, 0}, {360, 0, 1}, {360, 353, 1},  {360, 8, 0}};
  for (const auto &row : rows)
    EXPECT_EQ(is_collision(row[0], row[1], half), row[2] != 0) << row[0] << " " << row[1];
}

TEST(AngleWindow, WrapsIntoTheClosedTurn) {
  EXPECT_EQ(norm_angle(725), 5.0f);
  EXPECT_EQ(norm_angle(-30), 330.0f);
  EXPECT_EQ(norm_angle(360), 360.0f);
}

// Paddle size, the ball's placing angle (paddle at 0), and whether it is
// under the paddle. The half-widths at distance 45 are 3.5662 (size 2),
// 7.1396 (size 4) and 14.3365 (size 8).
struct WindowCase {
  float size, angle;
  bool caught;
};

class BallUnderPaddle : public BallTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(BallUnderPaddle, IsCaughtWithinTheWidenedHalfWidth) {
  paddle()->size = GetParam().size;
  roller_t *r = put_ball_at_angle(45, GetParam().angle);
  frame(0);
  EXPECT_TRUE(GetParam().caught ? r->dir.x < 0 : r->dir.x == 1.0f) << r->dir.x;
}

const WindowCase kHalfWidths[] = {{4, 7.0f, true},    {4, 7.3f, false}, {4, -7.0f, true}, {4, 353.0f, true},
                                  {4, 352.5f, false}, {4, 180, false},  {2, 3.5f, true},  {2, 3.65f, false},
                                  {8, 14.3f, true},   {8, 14.4f, false}};
INSTANTIATE_TEST_SUITE_P(HalfWidths, BallUnderPaddle, ::testing::ValuesIn(kHalfWidths));

// Steps that could miss the paddle, on paths through a point (placing angle,
// paddle at 0; the window reaches 7.34 degrees at 43.8, 7.25 at 44.3, 7.17 at
// 44.8), a ball starting `lead` headings before it. Diagonal paths enter the
// band 6 degrees off the middle or 9 off beside the window. One enters beside
// the end at 7.5 degrees heading for the middle (7.0 at 44.8), first covered
// at 44.283; one stands in the band at 7.6 heading out through the window (6.0
// at 45.3), first covered at 44.534. Heading inwards, a ball meets the paddle
// only on its way out: stopping it would hold it there at every step.
struct Path {
  float rho, angle, dx, dz, lead;
};
const Path kIn{43.8f, 6, 1, 1, 1.25f}, kBeside{43.8f, -9, 1, 1, 1.25f}, kAtEnd{43.8f, 7.5f, 1, 0.2472f, 0.3f},
    kOut{44.3f, 7.6f, 1, 0.9849f, 0}, kInwards{44.5f, 0, -1, 0, 0};
struct LongStep {
  Uint32 dt;
  float speed;
  const Path *path;
  float back_at;  // where it stops to bounce; 0: it goes the whole step
};

class BallOverTheBand : public BallTest, public ::testing::WithParamInterface<LongStep> {};

TEST_P(BallOverTheBand, StopsAtTheFirstPointThePaddleCoversOrGoesTheWholeStep) {
  const LongStep &step = GetParam();
  const Path &p = *step.path;
  const vec3_t at = sphere2cart(p.rho, p.angle, 0);
  const roller_t *from = put_ball({at.x - p.lead * p.dx, 0.4f, at.z - p.lead * p.dz}, {p.dx, 0, p.dz});
  const float reach = step.dt * step.speed;
  const roller_t *to = put_ball({from->pos.x + reach * p.dx, 0.4f, from->pos.z + reach * p.dz}, from->dir);
  const std::optional<double> stop = roller_contact(from, to, step.dt, paddle());
  if (step.back_at == 0) {
    EXPECT_FALSE(stop) << "stopped at " << stop.value_or(0) << " of the step";
  } else {
    ASSERT_TRUE(stop) << "goes the whole step";
    const double rho = std::hypot(from->pos.x + *stop * (to->pos.x - from->pos.x),
                                  from->pos.z + *stop * (to->pos.z - from->pos.z));
    EXPECT_NEAR(rho, step.back_at, 2e-3) << "not stopped where the paddle first covers the path";
  }
}

// At 33 ms a step is judged where it lands, and bounces from where it was.
const LongStep kLongSteps[] = {
    {250, 0.015f, &kIn, 43.8f},      {400, 0.015f, &kIn, 43.8f},       {1000, 0.015f, &kIn, 43.8f},
    {250, 0.03f, &kIn, 43.8f},       {400, 0.03f, &kIn, 43.8f},        {1000, 0.03f, &kIn, 43.8f},
    {250, 0.015f, &kBeside, 0},      {400, 0.015f, &kBeside, 0},       {1000, 0.015f, &kBeside, 0},
    {250, 0.03f, &kBeside, 0},       {400, 0.03f, &kBeside, 0},        {1000, 0.03f, &kBeside, 0},
    {250, 0.015f, &kAtEnd, 44.283f}, {1000, 0.015f, &kAtEnd, 44.283f}, {34, 0.03f, &kAtEnd, 44.283f},
    {100, 0.015f, &kAtEnd, 44.283f}, {33, 0.03f, &kAtEnd, 43.512f},    {250, 0.015f, &kOut, 44.534f},
    {1000, 0.015f, &kOut, 44.534f},  {250, 0.015f, &kInwards, 0}};
INSTANTIATE_TEST_SUITE_P(Steps, BallOverTheBand, ::testing::ValuesIn(kLongSteps));

// Heading straight out 5 degrees off the paddle's middle, a ball leaves with
// the sideways part that steps of 33 ms or less give on that path: from -0.64
// to -0.711, bouncing at the band's inner edge, however long the steps.
TEST_F(BallTest, LeavesThePaddleAsAfterShortStepsWhateverTheStepLength) {
  for (Uint32 dt : {16u, 250u, 1000u}) {
    const vec3_t at = sphere2cart(20, 5, 0);
    roller_t *r = put_ball({at.x, 0.4f, at.z}, normalize(at.x, 0, at.z));
    for (int i = 0; i < 200 && r->dir.x > 0; ++i) frame(dt);
    EXPECT_LT(r->dir.z, -0.64f) << dt << " ms";
    EXPECT_GT(r->dir.z, -0.712f) << dt << " ms";
    roller_destroy();
  }
}

TEST_F(BallTest, PaddleAngleIsWrappedBeforeTheWindowTest) {
  paddle()->theta = 725;  // same place as 5
  roller_t *near = put_ball_at_angle(45, 5);
  roller_t *beyond = put_ball_at_angle(45, 13);
  frame(0);
  EXPECT_LT(near->dir.x, 0);
  EXPECT_EQ(beyond->dir.x, 1.0f);

  paddle()->theta = -30;
  roller_t *under = put_ball_at_angle(45, 330);
  roller_t *aside = put_ball_at_angle(45, 340);
  frame(0);
  EXPECT_NE(under->dir.x, 1.0f);
  EXPECT_EQ(aside->dir.x, 1.0f);
}

TEST_F(BallTest, BouncesAwayFromThePaddleContactPointWithoutMoving) {
  // Contact point: 4 units outside the rim on the paddle's radial line, (49, 0, 0).
  roller_t *middle = put_ball({44, 0.4f, 0}, {1, 0, 0});
  roller_t *side = put_ball({44, 0.4f, -4}, {1, 0, 0});
  frame(10);
  EXPECT_EQ(middle->dir.x, -1.0f);
  EXPECT_EQ(middle->dir.y, 0.0f);
  EXPECT_EQ(middle->dir.z, 0.0f);
  EXPECT_EQ(side->dir.x, -1.0f);
  EXPECT_FLOAT_EQ(side->dir.z, -0.8f);
  // Neither ball moved in the frame it bounced; polar fields are kept too.
  EXPECT_EQ(middle->pos.x, 44.0f);
  EXPECT_EQ(side->pos.x, 44.0f);
  EXPECT_EQ(side->pos.z, -4.0f);
  EXPECT_FLOAT_EQ(side->rho, std::hypot(44.0f, 4.0f));
}

TEST_F(BallTest, ContactPointFollowsThePaddleSizeAndAngle) {
  paddle()->size = 8;  // contact at (53, 0, 0)
  roller_t *r = put_ball({44, 0.4f, -4}, {1, 0, 0});
  frame(10);
  EXPECT_EQ(r->dir.x, -1.0f);
  EXPECT_FLOAT_EQ(r->dir.z, -4.0f / 9);

  paddle()->size = 4;
  paddle()->theta = 90;  // contact at about (0, 0, -49)
  roller_t *q = put_ball({4, 0.4f, -44}, {0, 0, -1});
  frame(10);
  EXPECT_NEAR(q->dir.x, 0.8f, 1e-6);
  EXPECT_EQ(q->dir.z, 1.0f);
}

TEST_F(BallTest, BallAtTheContactPointKeepsItsDirection) {
  // A slow frame carries the ball from the contact point into the band.
  roller_t *r = put_ball({49, 0.4f, 0}, {-1, 0, 0});
  frame(300);
  EXPECT_EQ(r->dir.x, -1.0f);
  EXPECT_EQ(r->dir.z, 0.0f);
  EXPECT_FALSE(std::isnan(r->dir.x) || std::isnan(r->dir.z));
}

TEST_F(BallTest, FirstBallReachesThePaddleAndComesBack) {
  roller_t *r = new_ball(35, 0, 1, 0);
  float furthest = 0;
  for (int i = 0; i < 100; ++i) {
    frame(10);
    furthest = std::max(furthest, r->pos.x);
  }
  EXPECT_GE(furthest, 43.6f);
  EXPECT_LT(furthest, 43.8f);  // the frame that would enter the band bounces instead
  EXPECT_EQ(r->dir.x, -1.0f);
  EXPECT_LT(r->pos.x, 43.0f);
}

TEST_F(BallTest, SpeedEffectDoublesTheSpeedAlongEachAxis) {
  paddle()->speed_time = 500;
  roller_t *straight = put_ball({10, 0.4f, 0}, {1, 0, 0});
  roller_t *diagonal = put_ball({10, 0.4f, 10}, {1, 0, 1});
  frame(100);
  EXPECT_FLOAT_EQ(straight->pos.x, 13);
  EXPECT_FLOAT_EQ(diagonal->pos.x, 13);
  EXPECT_FLOAT_EQ(diagonal->pos.z, 13);
  EXPECT_EQ(straight->speed, 0.015f);  // the base speed itself is untouched
}

TEST_F(BallTest, LostBallFallsAtBaseSpeedEvenWithTheSpeedEffect) {
  paddle()->speed_time = 500;
  roller_t *r = put_ball({48, 0.4f, 0}, {1, 0, 0});
  frame(100);
  EXPECT_FLOAT_EQ(r->pos.x, 51);  // still moving outwards at the raised speed
  EXPECT_FLOAT_EQ(r->pos.y, 0.4f - 1.5f);
}

TEST_F(BallTest, SpeedEffectEndsAtTheBallThatFindsItExpired) {
  paddle()->speed_time = 0;
  roller_t *last = put_ball({10, 0.4f, -5}, {1, 0, 0});
  roller_t *ending = put_ball({10, 0.4f, 5}, {1, 0, 0});
  roller_t *first = put_ball({10, 0.4f, 0}, {1, 0, 0});
  g_game->last_tick = 9900;
  // Every reading advances the clock by 1 ms. The first ball reads 10000 for
  // the expiry (not more than 10000: still on), then 10001..10003 to move;
  // the second reads 10004 and ends the effect; the third reads no expiry.
  run_at(10000, roller_update, 1);
  EXPECT_NEAR(first->pos.x, 10 + 101 * 0.03, 1e-4);
  EXPECT_NEAR(ending->pos.x, 10 + 105 * 0.03, 1e-4);
  EXPECT_NEAR(last->pos.x, 10 + 108 * 0.015, 1e-4);
  EXPECT_EQ(paddle()->speed_time, -1.0f);
}

TEST_F(BallTest, BallJustOutsideTheLostLimitStaysOnTheField) {
  roller_t *edge = put_ball({47, 0.4f, 0}, {0, 0, 0});
  roller_t *lost = put_ball({47.01f, 0.4f, 0}, {0, 0, 0});
  frame(100);
  EXPECT_EQ(edge->pos.y, 0.4f);
  EXPECT_FLOAT_EQ(lost->pos.y, 0.4f - 1.5f);
}

TEST_F(BallTest, DeadBallFromTheMiddleIsRemovedKeepingTheOrderOfTheOthers) {
  roller_t *c = put_ball({20, 0.4f, 0}, {0, 0, 1});
  put_ball({50, -29.9f, 0}, {0, 0, 0});
  roller_t *a = put_ball({10, 0.4f, 0}, {0, 0, 1});
  frame(10);  // the middle ball sinks to -30.05
  ASSERT_EQ(ball_count(), 2);
  EXPECT_EQ(ball_at(0), a);
  EXPECT_EQ(ball_at(1), c);
}

TEST_F(BallTest, DeadHeadAndTailAreRemovedAroundASurvivor) {
  put_ball({50, -29.9f, 0}, {0, 0, 0});
  roller_t *m = put_ball({10, 0.4f, 0}, {0, 0, 1});
  put_ball({50, -29.9f, 0}, {0, 0, 0});
  frame(10);
  ASSERT_EQ(ball_count(), 1);
  EXPECT_EQ(ball_at(0), m);
  EXPECT_EQ(m->next, nullptr);
}

TEST_F(BallTest, BallAtExactlyMinusThirtyIsNotYetRemoved) {
  roller_t *r = put_ball({50, -30, 0}, {0, 0, 0});
  frame(0);
  ASSERT_EQ(ball_count(), 1);
  EXPECT_EQ(r->pos.y, -30.0f);
}

using BallDeathTest = BallTest;

// The step only marks the end; the frame loop shows the result.
TEST_F(BallDeathTest, PlayIsOverWhenTheLastBallIsRemoved) {
  put_ball({50, -29.99f, 0}, {1, 0, 0});
  frame(10);
  EXPECT_TRUE(g_game->over);
}

TEST_F(BallDeathTest, PlayIsOverWhenTheWalkFindsNoBall) {
  frame(10);
  EXPECT_TRUE(g_game->over);
}

TEST_F(BallDeathTest, PlayGoesOnWhileOneBallIsLeft) {
  put_ball({50, -29.99f, 0}, {1, 0, 0});
  put_ball({10, 0.4f, 0}, {1, 0, 0});
  frame(10);
  EXPECT_EQ(ball_count(), 1);
  EXPECT_FALSE(g_game->over);
}

}  // namespace
