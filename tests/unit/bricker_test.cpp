// bricker_test.cpp -- bricks settling, square contact, counting, bouncing balls away, falling out
#include "playfield/bricker.h"

#include <cstdlib>
#include <vector>

#include "fixture.h"
#include "playfield/player.h"
#include "playfield_helpers.h"

namespace {

class BrickTest : public GameTest {
 protected:
  bricker_t *mother() {
    bricker_mother_create(0, 0, 0);
    return g_game->map->bricks;
  }
  void frame_at(Uint32 now) { run_at(now, bricker_update); }
};

TEST_F(BrickTest, NormalBrickDrawsColourThenHeightFromRandInThatOrder) {
  std::srand(7);
  int seq[5];
  for (int &v : seq) v = std::rand();
  std::srand(7);
  bricker_create(10, 90, 0, 0.5f, 1.0f);
  EXPECT_EQ(std::rand(), seq[4]) << "exactly four draws";

  const bricker_t *b = g_game->map->bricks;
  ASSERT_NE(b, nullptr);
  for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(b->color[c], (seq[c] % 1000) / 1000.0f + 0.5f) << c;
  EXPECT_EQ(b->pos.y, static_cast<float>(seq[3] % 10 + 20));
  EXPECT_NEAR(b->pos.x, 0, 1e-5);
  EXPECT_FLOAT_EQ(b->pos.z, -10);
  EXPECT_EQ(b->rho, 10.0f);
  EXPECT_EQ(b->theta, 90.0f);
  EXPECT_EQ(b->core_radius, 0.5f);
  EXPECT_EQ(b->shell_radius, 1.0f);
  EXPECT_EQ(b->fall_speed, 0.015f);
  EXPECT_EQ(b->is_hit, 0);
  EXPECT_EQ(b->is_mother, 0);
  EXPECT_EQ(b->next, nullptr);
}

TEST_F(BrickTest, MotherBrickIsRedLargeRestingAndDrawsNothing) {
  bricker_t *older = put_brick(10);
  std::srand(3);
  const int first = std::rand();
  std::srand(3);
  bricker_t *m = mother();
  EXPECT_EQ(std::rand(), first);
  EXPECT_EQ(m->next, older);
  EXPECT_EQ(m->pos.y, 0.0f);
  EXPECT_EQ(std::vector<float>(m->color, m->color + 3), (std::vector<float>{1, 0, 0}));
  EXPECT_EQ(m->core_radius, 1.0f);
  EXPECT_EQ(m->shell_radius, 4.0f);
  EXPECT_EQ(m->fall_speed, 0.015f);
  EXPECT_EQ(m->is_mother, 1);
  EXPECT_EQ(m->is_hit, 0);
}

TEST_F(BrickTest, SettlingBrickComesToRestAfterAboutOnePointTwoSevenSecondsUntouchable) {
  bricker_t *b = put_brick(20);
  b->pos.y = 20;
  roller_t *under = put_ball({20, 0.4f, 0}, {0, 0, 1});
  run_frames(bricker_update, 10, 126);
  EXPECT_GT(b->pos.y, 1.0f);
  EXPECT_EQ(g_game->score, 0);
  EXPECT_EQ(under->dir.z, 1.0f);  // passed below unaffected

  run_frames(bricker_update, 10);
  EXPECT_LE(b->pos.y, 1.0f);
  const float rest = b->pos.y;
  // Resting now: the ball beneath counts it at the next step.
  run_frames(bricker_update, 10);
  EXPECT_EQ(b->pos.y, rest);
  EXPECT_EQ(g_game->score, 20);
}

// Offsets of the ball from the brick's centre along x and z, the brick, and
// whether they touch: the zone is a square on whole-unit gaps, 2 for a normal
// brick and 5 for the mother brick, both bounds excluded.
struct ContactCase {
  float dx, dz;
  bool is_mother, touches;
};

class BallNearBrick : public BrickTest, public ::testing::WithParamInterface<ContactCase> {};

TEST_P(BallNearBrick, TouchesOnlyInsideTheSquare) {
  const ContactCase c = GetParam();
  const bricker_t *b = c.is_mother ? mother() : put_brick(20);
  put_ball({b->pos.x + c.dx, 0.4f, b->pos.z + c.dz}, {0, 0, 0});
  frame_at(0);
  EXPECT_EQ(g_game->score, c.touches ? 20 : 0);
}

const ContactCase kSquare[] = {{1.99f, 1.99f, false, true}, {-1.99f, -1.99f, false, true},
                               {2.0f, 0, false, false},     {0, 2.0f, false, false},
                               {-2.0f, 0, false, false},    {0, -2.0f, false, false},
                               {4.99f, 4.99f, true, true},  {-4.99f, 0, true, true},
                               {5.0f, 0, true, false},      {0, -5.0f, true, false}};
INSTANTIATE_TEST_SUITE_P(Square, BallNearBrick, ::testing::ValuesIn(kSquare));

TEST_F(BrickTest, TwoBallsOnOneBrickCountItOnceAndBothBounce) {
  bricker_t *b = put_brick(20);
  roller_t *left = put_ball({19.5f, 0.4f, 0.5f}, {1, 0, 0});
  roller_t *right = put_ball({20.5f, 1.0f, -0.5f}, {-1, 0, 0});  // heights play no part
  frame_at(0);
  EXPECT_EQ(g_game->score, 20);
  EXPECT_EQ(g_game->map->bricks_left, 149);
  EXPECT_EQ(b->is_hit, 1);
  EXPECT_EQ(left->dir.x, -1.0f);
  EXPECT_EQ(left->dir.z, 1.0f);
  EXPECT_EQ(right->dir.x, 1.0f);
  EXPECT_EQ(right->dir.z, -1.0f);

  // Once hit, the brick falls and touches nothing more.
  left->dir = {1, 0, 0};
  frame_at(0);
  EXPECT_EQ(g_game->score, 20);
  EXPECT_EQ(left->dir.x, 1.0f);
}

TEST_F(BrickTest, MotherBrickCountsOnlyWhenItIsTheLastBrick) {
  bricker_t *other = put_brick(20);
  bricker_t *m = mother();
  roller_t *r = put_ball({1, 0.4f, 1}, {-1, 0, 0});
  frame_at(100);
  EXPECT_EQ(g_game->score, 0);
  EXPECT_EQ(g_game->map->bricks_left, 150);
  EXPECT_EQ(m->is_hit, 0);
  EXPECT_EQ(m->pos.y, 0.0f);  // stays where it is
  EXPECT_EQ(r->dir.x, 1.0f);  // but the ball bounces off it
  EXPECT_EQ(r->dir.z, 1.0f);

  // A hit brick still falling away keeps the mother brick safe.
  other->is_hit = 1;
  frame_at(100);
  EXPECT_EQ(g_game->score, 0);
  EXPECT_EQ(m->is_hit, 0);

  other->pos.y = -29.99f;
  frame_at(100);  // the other brick drops below -30 and is removed
  ASSERT_EQ(brick_count(), 1);
  frame_at(100);
  EXPECT_EQ(g_game->score, 20);
  EXPECT_EQ(g_game->map->bricks_left, 149);
  EXPECT_EQ(m->is_hit, 1);
  frame_at(100);
  EXPECT_FLOAT_EQ(m->pos.y, -1.5f);  // falls away from the next step on
}

TEST_F(BrickTest, BallLeavesHeadingAwayFromTheLaterOfTwoBricksItTouches) {
  put_brick(20);
  put_brick(22);  // head of the list
  roller_t *r = put_ball({21, 0.4f, 0.5f}, {0, 0, 1});
  frame_at(0);
  EXPECT_EQ(g_game->score, 40);
  EXPECT_EQ(r->dir.x, 1.0f);  // away from the brick at 20
  EXPECT_EQ(r->dir.z, 0.5f);
}

TEST_F(BrickTest, BallOnABrickCentreKeepsItsDirection) {
  put_brick(20);
  roller_t *r = put_ball({20, 0.4f, 0}, {1, 0, 0});
  frame_at(0);
  EXPECT_EQ(g_game->score, 20);
  EXPECT_EQ(r->dir.x, 1.0f);
  EXPECT_EQ(r->dir.z, 0.0f);
}

TEST_F(BrickTest, PassThroughCountsWithoutBouncingUntilTheFirstContactAfterFiveSeconds) {
  paddle()->transverser_time = 1000;
  roller_t *r = put_ball({20, 0.4f, 0.5f}, {0, 0, 1});
  put_brick(20);
  frame_at(6000);  // exactly 5000 ms on: still on
  EXPECT_EQ(g_game->score, 20);
  EXPECT_EQ(r->dir.z, 1.0f);
  EXPECT_EQ(paddle()->transverser_time, 1000.0f);

  r->pos = {-30, 0.4f, 0};  // away from every brick
  put_brick(30);
  bricker_t *later = g_game->map->bricks;
  put_brick(32);  // head: met first in the walk
  frame_at(9000);
  EXPECT_EQ(paddle()->transverser_time, 1000.0f) << "no contact, no expiry";

  // Touching both: the first contact passes through and ends the effect, the
  // one later in the same pass bounces.
  r->pos = {31, 0.4f, 0.5f};
  frame_at(9000);
  EXPECT_EQ(g_game->score, 60);
  EXPECT_EQ(paddle()->transverser_time, -1.0f);
  EXPECT_EQ(later->is_hit, 1);
  EXPECT_EQ(r->dir.x, 1.0f);  // away from the brick at 30
  EXPECT_EQ(r->dir.z, 0.5f);
}

TEST_F(BrickTest, BrickBeyondThePaddleFallsUncounted) {
  bricker_t *b = put_brick(47.5f);
  put_ball({47.5f, 0.4f, 0}, {1, 0, 0});
  frame_at(100);
  EXPECT_EQ(g_game->score, 0);
  EXPECT_FLOAT_EQ(b->pos.y, 1.0f - 1.5f);
}

TEST_F(BrickTest, FallenBricksAreRemovedBelowMinusThirtyKeepingTheOrder) {
  bricker_t *tail = put_brick(10);
  bricker_t *middle = put_brick(12);
  bricker_t *head = put_brick(14);
  middle->is_hit = 1;
  middle->pos.y = -29.99f;
  frame_at(10);
  ASSERT_EQ(brick_count(), 2);
  EXPECT_EQ(g_game->map->bricks, head);
  EXPECT_EQ(head->next, tail);

  head->is_hit = 1;
  head->pos.y = -30;  // exactly -30 stays
  tail->is_hit = 1;
  tail->pos.y = -29.99f;
  frame_at(0);
  EXPECT_EQ(brick_count(), 2);
  frame_at(10);
  EXPECT_EQ(brick_count(), 0);
  EXPECT_EQ(g_game->map->bricks, nullptr);
}

TEST_F(BrickTest, NothingHappensWithoutBallsOrWithoutBricks) {
  frame_at(100);  // no bricks
  bricker_t *b = put_brick(20);
  frame_at(100);  // no balls
  EXPECT_EQ(b->pos.y, 1.0f);
  EXPECT_EQ(b->is_hit, 0);
  EXPECT_EQ(g_game->score, 0);
}

}  // namespace
