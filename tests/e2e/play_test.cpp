// play_test.cpp -- the real game in play: the first frame, turning, paddle size and quitting
#include <X11/keysym.h>

#include <sstream>

#include "harness.h"
#include "scene.h"

namespace e2e {
namespace {

// Where the paddle must appear, worked out by hand from the camera (eye 70 out
// and 18 up, looking at the centre), the 45-degree projection of the 640x480
// window and the bar (half-length 4, from 45 to 46 out, 0.4 to 1.1 high): its
// faces cover rows 447 to 472 and its face towards the camera is 2 x 84 pixels
// wide, centred on the window's middle column.
constexpr int kPaddleTop = 440, kPaddleBottom = 476;
constexpr int kNormalWidthLow = 150, kNormalWidthHigh = 185;

std::string describe(const PaddleSpan &p) {
  std::ostringstream out;
  out << "paddle row " << p.row << ", x " << p.left << ".." << p.right << ", " << p.bright << " bright";
  return out.str();
}

// The bar is solid, on its rows near the bottom, and centred left to right.
::testing::AssertionResult at_bottom_centre(const PaddleSpan &p) {
  if (p.row < kPaddleTop || p.row > kPaddleBottom || p.bright * 10 < p.width() * 9 ||
      std::abs(p.left + p.right - 639) > 8)
    return ::testing::AssertionFailure() << describe(p);
  return ::testing::AssertionSuccess() << describe(p);
}

::testing::AssertionResult normal_width(const PaddleSpan &p) {
  if (p.width() < kNormalWidthLow || p.width() > kNormalWidthHigh)
    return ::testing::AssertionFailure() << describe(p);
  return ::testing::AssertionSuccess();
}

std::string describe(const std::vector<TextBlock> &blocks) {
  std::ostringstream out;
  out << blocks.size() << " text blocks";
  for (const TextBlock &b : blocks)
    out << "; rows " << b.top << ".." << b.bottom << " x " << b.left << ".." << b.right << " glyphs "
        << b.glyphs << (b.hollow ? " hollow" : "");
  return out.str();
}

// The score "0" above the bricks-left count "150", both starting at the middle
// column, with their baselines about 28 and 46 pixels below the top edge.
bool score_and_count_shown(const std::vector<TextBlock> &blocks) {
  if (blocks.size() != 2) return false;
  const TextBlock &score = blocks[0], &count = blocks[1];
  auto starts_mid = [](const TextBlock &b) { return b.left >= 319 && b.left <= 324; };
  return starts_mid(score) && starts_mid(count) && score.bottom >= 25 && score.bottom <= 31 &&
         count.bottom >= 43 && count.bottom <= 49 && score.glyphs == 1 && score.hollow && count.glyphs == 3 &&
         count.width() > 2 * score.width();
}

class PlayScreen : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(passed(title_wait(s, QUORVANE_MENU_BMP)));
    ASSERT_TRUE(passed(play_enter(s, &first)));
  }

  // Waits until the bricks have come to rest, so that what still changes on
  // screen comes from the test; returns the last picture.
  Picture steady_picture() {
    Picture before = screenshot(s), now;
    const bool steady = poll_until(Millis(8000), [&] {
      pause_for(Millis(150));
      now = screenshot(s);
      const bool calm = picture_diff(before, now, 40, kSceneTop, kSceneBottom) < kCalm;
      before = now;
      return calm;
    });
    EXPECT_TRUE(steady) << "the picture never came to rest";
    return now;
  }

  // Rows between the numbers and the paddle, where the field is seen.
  static constexpr int kSceneTop = 60, kSceneBottom = 440;
  // A moving ball changes a few hundred pixels at most.
  static constexpr int kCalm = 1500;
  Picture first;
};

TEST_F(PlayScreen, FirstFrameShowsThePaddleBottomCentreAndTheNumbersTopCentre) {
  const PaddleSpan paddle = paddle_find(first);
  EXPECT_TRUE(at_bottom_centre(paddle));
  EXPECT_TRUE(normal_width(paddle));

  // Falling bricks may cross the numbers for a moment; they stand still.
  std::vector<TextBlock> blocks;
  EXPECT_TRUE(poll_until(Millis(3000), [&] {
    return score_and_count_shown(blocks = text_blocks(screenshot(s)));
  })) << describe(blocks);
}

TEST_F(PlayScreen, EscapeQuitsWithStatusZero) {
  key_tap(s, XK_Escape);
  EXPECT_TRUE(ends_with_status(s, 0, Millis(5000)));
}

TEST_F(PlayScreen, ClosingTheWindowQuitsWithStatusZero) {
  ASSERT_TRUE(polite_close(s));
  EXPECT_TRUE(ends_with_status(s, 0, Millis(5000)));
}

TEST_F(PlayScreen, HoldingAnArrowTurnsTheViewAroundThePaddle) {
  // Held until the field has visibly turned (about 30 degrees take 400 ms).
  auto turn = [&](unsigned long key, const Picture &from, Picture &now) {
    key_press(s, key);
    const bool turned = poll_until(Millis(3000), [&] {
      return picture_diff(from, now = screenshot(s), 40, kSceneTop, kSceneBottom) > 4 * kCalm;
    });
    key_release(s, key);
    return turned;
  };
  Picture turned, back;
  EXPECT_TRUE(turn(XK_Right, steady_picture(), turned)) << "Right did not turn the field";
  EXPECT_TRUE(at_bottom_centre(paddle_find(turned))) << "while turning";
  EXPECT_TRUE(normal_width(paddle_find(turned))) << "while turning";

  // Released, the view comes to rest again; Left turns it as well.
  EXPECT_TRUE(turn(XK_Left, steady_picture(), back)) << "Left did not turn the field";
  EXPECT_TRUE(at_bottom_centre(paddle_find(back))) << "while turning back";
  EXPECT_TRUE(normal_width(paddle_find(back))) << "while turning back";
}

TEST_F(PlayScreen, UpDoublesAndDownHalvesThePaddle) {
  const PaddleSpan normal = paddle_find(first);
  ASSERT_TRUE(normal_width(normal));
  PaddleSpan now;

  key_tap(s, XK_Up);
  EXPECT_TRUE(poll_until(Millis(3000), [&] {
    now = paddle_find(screenshot(s));
    return now.width() > normal.width() * 3 / 2;
  })) << describe(now);
  EXPECT_TRUE(at_bottom_centre(now));
  EXPECT_NEAR(now.width(), 2.0 * normal.width(), 0.08 * normal.width()) << describe(now);

  key_tap(s, XK_Down);
  EXPECT_TRUE(poll_until(Millis(3000), [&] {
    now = paddle_find(screenshot(s));
    return now.width() < normal.width() * 3 / 4;
  })) << describe(now);
  EXPECT_TRUE(at_bottom_centre(now));
  EXPECT_NEAR(now.width(), 0.5 * normal.width(), 0.06 * normal.width()) << describe(now);
}

}  // namespace
}  // namespace e2e
