// text_test.cpp -- numbers turned into text and written at their places on screen
#include "render/text.h"

#include <GL/glut.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "fixture.h"
#include "playfield/map.h"
#include "render/camera.h"
#include "render/graphic.h"
#include "render/text_local.h"

namespace {

// One number as drawn: where the raster position was set, the font and the glyphs.
struct text_run_t {
  float x, y, z;
  void *font;
  std::string glyphs;
};
std::vector<text_run_t> g_runs;

std::string to_text(int value) {
  char *text = IntToString(value);
  EXPECT_NE(text, nullptr);
  std::string out = text == nullptr ? "" : text;
  std::free(text);
  return out;
}

}  // namespace

// Stand-ins for the drawing calls, so that no display is needed: they record
// what would be drawn instead. Without a GL context the remaining GL calls do nothing.
extern "C" void glRasterPos3f(GLfloat x, GLfloat y, GLfloat z) { g_runs.push_back({x, y, z, nullptr, ""}); }
extern "C" void glutBitmapCharacter(void *font, int character) {
  if (g_runs.empty()) g_runs.push_back({0, 0, 0, nullptr, ""});
  g_runs.back().font = font;
  g_runs.back().glyphs += static_cast<char>(character);
}
extern "C" void SDL_GL_SwapBuffers(void) {}
extern "C" int glutBitmapLength(void * /*font*/, const unsigned char * /*text*/) { return 0; }

TEST(IntToString, WritesNonNegativeNumbersAsPlainDigits) {
  EXPECT_EQ(to_text(0), "0");
  EXPECT_EQ(to_text(7), "7");
  EXPECT_EQ(to_text(9), "9");
  EXPECT_EQ(to_text(10), "10");
  EXPECT_EQ(to_text(150), "150");
  EXPECT_EQ(to_text(1000), "1000");
  EXPECT_EQ(to_text(INT_MAX), "2147483647");
}

TEST(IntToString, WritesNegativeNumbersWithAMinusSign) {
  EXPECT_EQ(to_text(-1), "-1");
  EXPECT_EQ(to_text(-10), "-10");
  EXPECT_EQ(to_text(-150), "-150");
  // Its magnitude does not fit an int. Run under the sanitizer build, these
  // also catch a byte written past the text.
  EXPECT_EQ(to_text(INT_MIN), "-2147483648");
}

TEST(TextDisplay, DrawsTheDigitsFromTheGivenPointInTheGivenFont) {
  g_runs.clear();
  text_display(1.5f, 2, -3, GLUT_BITMAP_HELVETICA_18, 2040);
  ASSERT_EQ(g_runs.size(), 1u);
  EXPECT_EQ(g_runs[0].x, 1.5f);
  EXPECT_EQ(g_runs[0].y, 2.0f);
  EXPECT_EQ(g_runs[0].z, -3.0f);
  EXPECT_EQ(g_runs[0].font, GLUT_BITMAP_HELVETICA_18);
  EXPECT_EQ(g_runs[0].glyphs, "2040");
}

// The frame writes the bricks-left count at height 23 and the score above it at 25.
class ScreenNumbersTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_EQ(camera_init(), 0);
    g_runs.clear();
  }
  void TearDown() override {
    std::free(g_game->camera);
    GameTest::TearDown();
  }
};

TEST_F(ScreenNumbersTest, FirstFrameShowsTheFullCountBelowAZeroScore) {
  g_game->map->bricks_left = 150;
  g_game->score = 0;
  graphic_display();
  ASSERT_EQ(g_runs.size(), 2u);
  EXPECT_EQ(g_runs[0].y, 23.0f);
  EXPECT_EQ(g_runs[0].glyphs, "150");
  EXPECT_EQ(g_runs[1].y, 25.0f);
  EXPECT_EQ(g_runs[1].glyphs, "0");
  for (const text_run_t &run : g_runs) {
    EXPECT_EQ(run.x, 0.0f);
    EXPECT_EQ(run.z, 0.0f);
    EXPECT_EQ(run.font, GLUT_BITMAP_HELVETICA_18);
  }
}

TEST_F(ScreenNumbersTest, CountShowsZeroOnceTheMotherBrickHasBeenCounted) {
  g_game->map->bricks_left = -1;  // 150 bricks and then the mother brick
  g_game->score = 3020;
  graphic_display();
  ASSERT_EQ(g_runs.size(), 2u);
  EXPECT_EQ(g_runs[0].glyphs, "0");
  EXPECT_EQ(g_runs[1].glyphs, "3020");
}

TEST_F(ScreenNumbersTest, ThePausedFrameAddsTheWordAboveTheFieldCentre) {
  graphic_display_paused();
  ASSERT_EQ(g_runs.size(), 3u);
  EXPECT_EQ(g_runs[2].glyphs, "PAUSED");
  EXPECT_EQ(g_runs[2].font, GLUT_BITMAP_HELVETICA_18);
  EXPECT_EQ(g_runs[2].x, 0.0f);
  EXPECT_EQ(g_runs[2].z, 0.0f);
}
