// render_test.cpp -- the game's frame draws exactly the picture of the plain reference drawing
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_field.h"
#include "core/game.h"
#include "playfield/bricker.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "playfield/roller.h"
#include "playfield_helpers.h"
#include "reference_frame.h"
#include "render/graphic.h"
#include "xsession.h"

namespace {
constexpr int kWidth = 640;
constexpr int kHeight = 480;

using Picture = std::vector<unsigned char>;  // RGBA rows, bottom row first
Picture g_captured;
bool g_window_ready = false;
}  // namespace

// Both drawings end with the buffer swap. Here the swap reads the finished
// frame from the back buffer instead, so the comparison does not depend on how
// the X server presents a frame.
extern "C" void SDL_GL_SwapBuffers(void) {
  g_captured.assign(static_cast<size_t>(kWidth) * kHeight * 4, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, g_captured.data());
}

namespace {
// Stopped at exit, after the window's own SDL_Quit.
xs::Session *g_server = nullptr;

void server_stop() { delete g_server; }

int lit_pixels(const Picture &p) {
  int n = 0;
  for (size_t i = 0; i < p.size(); i += 4) n += (p[i] | p[i + 1] | p[i + 2]) != 0;
  return n;
}

void ppm_save(const Picture &p, const std::string &path) {
  FILE *f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
  for (int y = kHeight - 1; y >= 0; --y)
    for (int x = 0; x < kWidth; ++x) std::fwrite(&p[(static_cast<size_t>(y) * kWidth + x) * 4], 1, 3, f);
  std::fclose(f);
}

// Both pictures byte for byte; on a difference, where and how much, and the
// two pictures kept for a look.
::testing::AssertionResult same_picture(const Picture &game, const Picture &reference, const char *scene) {
  int differing = 0, first_x = -1, first_y = -1;
  for (size_t i = 0; i < game.size(); i += 4) {
    if (game[i] != reference[i] || game[i + 1] != reference[i + 1] || game[i + 2] != reference[i + 2] ||
        game[i + 3] != reference[i + 3]) {
      if (differing++ == 0) {
        first_x = static_cast<int>(i / 4) % kWidth;
        first_y = kHeight - 1 - static_cast<int>(i / 4) / kWidth;
      }
    }
  }
  const std::string base = ::testing::TempDir() + "render_" + scene;
  // QUORVANE_RENDER_KEEP keeps the pictures of passing scenes too.
  if (differing != 0 || std::getenv("QUORVANE_RENDER_KEEP") != nullptr) {
    ppm_save(game, base + "_game.ppm");
    ppm_save(reference, base + "_reference.ppm");
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differing << " pixels differ, the first at (" << first_x << ", "
                                       << first_y << ") from the top left; pictures in " << base << "_*.ppm";
}

// Each drawing runs twice from the same starting state and the second frame
// is kept: the light is placed through the previous frame's view, so the
// second frame is lit exactly as every later frame of the same scene.
Picture draw(void (*frame)()) {
  for (int i = 0; i < 2; ++i) {
    // What a game frame starts from: nothing in the game sets a normal, and
    // the previous frame ended with white.
    glNormal3f(0, 0, 1);
    glColor4f(1, 1, 1, 1);
    frame();
  }
  return g_captured;
}

class FramePictureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The sanitizer build names the software rasteriser to keep loaded until
    // the leak check, as it does for the game (see scripts/sanitize-tests).
    std::string preload = std::getenv("QUORVANE_E2E_PRELOAD") ? std::getenv("QUORVANE_E2E_PRELOAD") : "";
    for (size_t at = 0, end; at < preload.size(); at = end + 1) {
      end = std::min(preload.find(':', at), preload.size());
      const std::string lib = preload.substr(at, end - at);
      if (lib.find("_dri.so") != std::string::npos) dlopen(lib.c_str(), RTLD_NOW | RTLD_NODELETE);
    }
    g_server = new xs::Session;
    std::atexit(server_stop);  // registered before SDL_Quit, so it runs after it
    if (!xs::server_start(*g_server).empty()) return;
    setenv("DISPLAY", (":" + std::to_string(g_server->display_number)).c_str(), 1);
    bench_field_game();
    graphic_create();
    g_window_ready = true;
  }

  void SetUp() override { ASSERT_TRUE(g_window_ready) << "no X server (Xvfb) could be started"; }

  // The scene as it stands, drawn by the game and by the reference.
  void expect_same_picture(const char *scene) {
    const Picture game = draw(graphic_display);
    const Picture reference = draw(reference_frame);
    ASSERT_EQ(game.size(), reference.size());
    EXPECT_GT(lit_pixels(reference), 2000) << "the scene drew almost nothing";
    EXPECT_TRUE(same_picture(game, reference, scene));
    last_ = game;
  }

  Picture last_;
};

TEST_F(FramePictureTest, NewGameWithItsBricksStillComingDown) {
  bench_field_reset(1, false);
  expect_same_picture("new_game");
}

TEST_F(FramePictureTest, SettledFieldWithTheBallBoundInPlay) {
  bench_field_reset(kMaxRollers);
  // Some of them still settling, some dropping out behind the paddle.
  int i = 0;
  for (roller_t *r = g_game->map->rollers; r != nullptr; r = r->next, ++i) {
    if (i % 5 == 0) r->pos.y = 1;
    if (i % 7 == 0) r->pos.y = -static_cast<float>(i % 30);
  }
  expect_same_picture("ball_bound");
}

TEST_F(FramePictureTest, PaddleTurnedAndResizedEitherWay) {
  bench_field_reset(16);
  player_t *p = g_game->player[0];
  p->theta = 137.25f;
  p->size = 8;
  expect_same_picture("paddle_bigger");
  const Picture bigger = last_;

  p->theta = -400.5f;
  p->size = 2;
  expect_same_picture("paddle_smaller");
  EXPECT_NE(bigger, last_) << "turning and resizing the paddle changed nothing on screen";
}

TEST_F(FramePictureTest, HitBricksFallingAwayAndTheFieldCleared) {
  bench_field_reset(4);
  int i = 0;
  for (bricker_t *b = g_game->map->bricks; b != nullptr; b = b->next, ++i) {
    if (i % 3 != 0) continue;
    b->is_hit = 1;
    b->pos.y = 1.0f - static_cast<float>(i % 31);
  }
  g_game->score = 2980;
  g_game->map->bricks_left = -1;
  expect_same_picture("bricks_falling");
}

TEST_F(FramePictureTest, LastBrickGoneOnlyBallsAndPaddleLeft) {
  bench_field_reset(3);
  bricks_free();
  g_game->score = 3020;
  expect_same_picture("no_bricks");
}
}  // namespace
