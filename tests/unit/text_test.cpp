// text_test.cpp -- numbers turned into text and written at their places on screen, at the view's scale
#include "render/text.h"

#include <GL/glut.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "fake_gl.h"
#include "fixture.h"
#include "playfield/map.h"
#include "render/camera.h"
#include "render/graphic.h"
#include "render/text_local.h"

namespace {

std::vector<fake_text_t> &g_runs = fake_gl_texts();

std::string to_text(int value) {
  char *text = IntToString(value);
  EXPECT_NE(text, nullptr);
  std::string out = text == nullptr ? "" : text;
  std::free(text);
  return out;
}

}  // namespace

// Plain digits, with a minus sign below zero, as the standard library writes
// them. INT_MIN's magnitude does not fit an int; run under the sanitizer
// build, these also catch a byte written past the text.
TEST(IntToString, WritesTheDigitsWithAMinusSignBelowZero) {
  for (int value : {0, 7, 9, 10, 150, 1000, INT_MAX, -1, -10, -150, INT_MIN})
    EXPECT_EQ(to_text(value), std::to_string(value));
}

TEST(TextDisplay, DrawsTheDigitsFromTheGivenPointInTheGivenFont) {
  g_runs.clear();
  text_display(1.5f, 2, -3, GLUT_BITMAP_HELVETICA_18, 2040);
  EXPECT_EQ(g_runs, (std::vector<fake_text_t>{{1.5f, 2, -3, GLUT_BITMAP_HELVETICA_18, "2040"}}));
}

// A glyph's cell lands on the pixels of the font's own bitmap at scale 1 (a
// raster position a rounding error short of a pixel's edge counts as on it),
// and grows about the raster position at other scales: x, y, pen, scale, box.
TEST(TextDisplay, GlyphCellsLandOnTheBitmapsPixelsAtOneAndGrowWithTheView) {
  const float rows[][8] = {{320.7f, 100.2f, 0, 1, 312, 92, 344, 124},
                           {319.99995f, 99.99995f, 13, 1, 325, 92, 357, 124},
                           {320, 100, 10, 2.25f, 324.5f, 82, 396.5f, 154}};
  for (const auto &r : rows) {
    const text_box_t b = text_cell_box(r[0], r[1], static_cast<int>(r[2]), r[3]);
    EXPECT_EQ((std::array{b.x0, b.y0, b.x1, b.y1}), (std::array{r[4], r[5], r[6], r[7]}))
        << r[0] << " " << r[3];
  }
}

// The frame writes the bricks-left count at height 23 and the score above it at 25.
class ScreenNumbersTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_EQ(camera_init(), 0);
  }
};

// As the fixture leaves them, 150 bricks and no score; then only the mother
// brick left; then the count past zero once she has been counted too.
TEST_F(ScreenNumbersTest, TheCountStandsBelowTheScoreUntilTheFieldIsCleared) {
  for (const auto &[left, score, left_shown, score_shown] :
       {std::tuple{150, 0, "150", "0"}, {0, 3000, "0", "3000"}, {-1, 3020, "FIELD CLEARED", "3020"}}) {
    g_game->map->bricks_left = left, g_game->score = score;
    g_runs.clear();
    graphic_display();
    EXPECT_EQ(g_runs, (std::vector<fake_text_t>{{0, 23, 0, GLUT_BITMAP_HELVETICA_18, left_shown},
                                                {0, 25, 0, GLUT_BITMAP_HELVETICA_18, score_shown}}));
  }
}
