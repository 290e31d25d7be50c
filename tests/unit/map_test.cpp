// map_test.cpp -- the lay-out of a new field
#include "playfield/map.h"

#include <cmath>
#include <vector>

#include "fixture.h"
#include "playfield/bricker.h"
#include "playfield/player.h"
#include "playfield_helpers.h"

namespace {

class FieldTest : public GameTest {
 protected:
  // Lays out a field in place of the fixture's empty one.
  void lay_out(unsigned seed) {
    field_free();
    std::srand(seed);
    map_create();
  }
  std::vector<bricker_t> bricks() {
    std::vector<bricker_t> out;
    for (const bricker_t *b = g_game->map->bricks; b != nullptr; b = b->next) out.push_back(*b);
    return out;
  }
};

TEST_F(FieldTest, HoldsTheMotherBrickFirstThenOneHundredFiftyBricksAndOneBall) {
  lay_out(1);
  const std::vector<bricker_t> all = bricks();
  ASSERT_EQ(all.size(), 151u);
  EXPECT_EQ(all[0].is_mother, 1);
  EXPECT_EQ(all[0].pos.x, 0.0f);
  EXPECT_EQ(all[0].pos.y, 0.0f);
  for (size_t i = 1; i < all.size(); ++i) {
    const bricker_t &b = all[i];
    EXPECT_EQ(b.is_mother, 0);
    EXPECT_EQ(b.rho, std::floor(b.rho));
    EXPECT_GE(b.rho, 5.0f);
    EXPECT_LE(b.rho, 24.0f);
    EXPECT_EQ(b.theta, std::floor(b.theta));
    EXPECT_GE(b.theta, 0.0f);
    EXPECT_LE(b.theta, 359.0f);
    EXPECT_EQ(b.core_radius, 0.5f);
    EXPECT_EQ(b.shell_radius, 1.0f);
  }
  EXPECT_EQ(g_game->map->bricks_left, 150);

  ASSERT_EQ(ball_count(), 1);
  const roller_t *r = ball_at(0);
  EXPECT_EQ(r->rho, 35.0f);
  EXPECT_EQ(r->theta, 0.0f);
  EXPECT_FLOAT_EQ(r->pos.x, 35);
  EXPECT_EQ(r->pos.y, 1.0f);
  EXPECT_EQ(r->dir.x, 1.0f);
  EXPECT_EQ(r->dir.y, 0.0f);
  EXPECT_EQ(r->dir.z, 0.0f);
}

TEST_F(FieldTest, DrawsSixNumbersPerBrickDistanceFirst) {
  std::srand(11);
  std::vector<int> seq(901);
  for (int &v : seq) v = std::rand();
  lay_out(11);
  EXPECT_EQ(std::rand(), seq[900]) << "900 draws in all";

  const bricker_t oldest = bricks().back();
  EXPECT_EQ(oldest.rho, static_cast<float>(seq[0] % 20 + 5));
  EXPECT_EQ(oldest.theta, static_cast<float>(seq[1] % 360));
  EXPECT_EQ(oldest.pos.y, static_cast<float>(seq[5] % 10 + 20));
  const bricker_t newest = bricks()[1];
  EXPECT_EQ(newest.rho, static_cast<float>(seq[894] % 20 + 5));
  EXPECT_EQ(newest.theta, static_cast<float>(seq[895] % 360));
}

TEST_F(FieldTest, SameRandomSequenceGivesTheSameFieldBrickForBrick) {
  lay_out(5);
  const std::vector<bricker_t> first = bricks();
  lay_out(5);
  const std::vector<bricker_t> second = bricks();
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].rho, second[i].rho) << i;
    EXPECT_EQ(first[i].theta, second[i].theta) << i;
    EXPECT_EQ(first[i].pos.y, second[i].pos.y) << i;
    for (int c = 0; c < 3; ++c) EXPECT_EQ(first[i].color[c], second[i].color[c]) << i;
  }
}

TEST_F(FieldTest, FirstBallStartsTenUnitsInsideWhereverThePaddleIs) {
  paddle()->theta = 90;
  lay_out(1);
  const roller_t *r = ball_at(0);
  EXPECT_EQ(r->theta, 90.0f);
  EXPECT_FLOAT_EQ(r->pos.z, -35);
}

}  // namespace
