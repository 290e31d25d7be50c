// camera_test.cpp -- the view placed behind the paddle
#include "render/camera.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "fake_gl.h"
#include "fixture.h"
#include "playfield/player.h"

namespace {
std::vector<std::vector<double>> &g_views = fake_gl_views();

using CameraTest = GameTest;

TEST_F(CameraTest, StartsWithTheFixedViewBeforeThePaddleMatters) {
  paddle()->theta = 123;  // must not influence the initial view
  camera_create();
  ASSERT_NE(g_game->camera, nullptr);
  ASSERT_EQ(g_views.size(), 1u);
  // Eye, then the centre looked at, then up.
  EXPECT_EQ(g_views[0], (std::vector<double>{5, 5, -5, 0, 0, 0, 0, 1, 0}));
}

TEST_F(CameraTest, StandsSeventyOutAndEighteenUpBehindThePaddleAtAngleZero) {
  ASSERT_EQ(camera_init(), 0);
  camera_update();
  ASSERT_EQ(g_views.size(), 1u);
  EXPECT_EQ(g_views[0], (std::vector<double>{70, 18, 0, 0, 0, 0, 0, 1, 0}));
  // The stored eye stays on the field plane.
  EXPECT_EQ(g_game->camera->eye.x, 70.0f);
  EXPECT_EQ(g_game->camera->eye.y, 0.0f);
  EXPECT_EQ(g_game->camera->eye.z, 0.0f);
}

TEST_F(CameraTest, TurnsWithThePaddleToTheNegativeZSide) {
  ASSERT_EQ(camera_init(), 0);
  paddle()->theta = 90;
  camera_update();
  ASSERT_EQ(g_views.size(), 1u);
  EXPECT_NEAR(g_views[0][0], 0.0, 1e-4);
  EXPECT_EQ(g_views[0][1], 18.0);
  EXPECT_NEAR(g_views[0][2], -70.0, 1e-4);
  EXPECT_NEAR(g_game->camera->eye.z, -70.0f, 1e-4);
  EXPECT_EQ(g_game->camera->eye.y, 0.0f);

  // 225 degrees: back towards -x and round to +z, at the same distance.
  paddle()->theta = 225;
  camera_update();
  const double d = 70.0 / std::sqrt(2.0);
  EXPECT_NEAR(g_views[1][0], -d, 1e-4);
  EXPECT_NEAR(g_views[1][2], d, 1e-4);
}

TEST_F(CameraTest, KeepsTwentyFiveBeyondTheCircleOfThePaddle) {
  ASSERT_EQ(camera_init(), 0);
  paddle()->rho = 50;
  paddle()->theta = 180;
  camera_update();
  EXPECT_NEAR(g_views[0][0], -75.0, 1e-4);
  EXPECT_NEAR(g_views[0][2], 0.0, 1e-4);
}

}  // namespace
