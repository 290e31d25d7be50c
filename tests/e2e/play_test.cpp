// play_test.cpp -- the real game in play: the first frame, turning, paddle size, pause, fullscreen, quitting
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "harness.h"

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
    ASSERT_TRUE(passed(play_enter(s, &first)));
  }

  // Waits until the bricks have come to rest, so that what still changes on
  // screen comes from the test; returns the last picture. The pictures are
  // the same span of play apart at any rate of the game's clock.
  Picture steady_picture() {
    Picture before = screenshot(s), now;
    const bool steady = poll_until(Millis(20000), [&] {
      pause_for(Millis(static_cast<long>(150 / rate)));
      now = screenshot(s);
      const bool calm = picture_diff(before, now, 40, kSceneTop, kSceneBottom) < kCalm;
      before = now;
      return calm;
    });
    return steady ? now : Picture{};
  }

  // Waits for a PAUSED frame, kept in `paused`.
  Check shows_paused() {
    return passed(screen_wait(
        s, [&](const Picture &p) { return paused_shown(paused = p); }, "a PAUSED frame"));
  }

  // Polls for a second: the paused frame must stay exactly as it is.
  ::testing::AssertionResult stays_paused() {
    if (poll_until(Millis(1000), [&] { return picture_diff(paused, screenshot(s), 0, 0, 480) > 0; }))
      return ::testing::AssertionFailure() << "the paused picture changed";
    return ::testing::AssertionSuccess();
  }

  ::testing::AssertionResult resumes() {
    key_tap(s, XK_p);
    if (poll_until(Millis(10000), [&] {
          const Picture now = screenshot(s);
          return !paused_shown(now) && picture_diff(paused, now, 40, kSceneTop, kSceneBottom) > 0;
        }))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the field did not move again after p";
  }

  // Rows between the numbers and the paddle, where the field is seen.
  static constexpr int kSceneTop = 60, kSceneBottom = 440;
  // A moving ball changes a few hundred pixels at most.
  static constexpr int kCalm = 1500;
  Picture first;
  Picture paused;
  double rate = 1;  // of the game's clock against real time
};

// With no key pressed the first ball is lost after four to eight seconds of
// play and the game is over two seconds later; the bricks take two to settle.
// A test that plays on after they have settled runs the game's clock at half
// speed, which leaves it some eight seconds of real time, however slowly the
// frames come.
struct HalfSpeedPlayScreen : PlayScreen {
  HalfSpeedPlayScreen() {
    rate = 0.5;
    launch = game_hooked({{"QUORVANE_CLOCK_RATE", "0.5"}});
  }
};

TEST_F(PlayScreen, FirstFrameShowsThePaddleBottomCentreAndTheNumbersTopCentre) {
  const PaddleSpan paddle = paddle_find(first);
  EXPECT_TRUE(at_bottom_centre(paddle));
  EXPECT_TRUE(normal_width(paddle));

  // Falling bricks may cross the numbers for a moment; they stand still.
  std::vector<TextBlock> blocks;
  EXPECT_TRUE(poll_until(Millis(10000), [&] {
    return score_and_count_shown(blocks = text_blocks(screenshot(s)));
  })) << describe(blocks);
}

TEST_F(PlayScreen, EscapeQuitsWithStatusZero) {
  key_tap(s, XK_Escape);
  EXPECT_TRUE(ends_with_status(s, 0, Millis(20000)));
}

TEST_F(PlayScreen, ClosingTheWindowQuitsWithStatusZero) {
  ASSERT_TRUE(polite_close(s));
  EXPECT_TRUE(ends_with_status(s, 0, Millis(20000)));
}

TEST_F(HalfSpeedPlayScreen, HoldingAnArrowTurnsTheViewAroundThePaddle) {
  // Held until the field has visibly turned (about 30 degrees take 400 ms of play).
  auto turn = [&](unsigned long key, const Picture &from, Picture &now) {
    key_press(s, key);
    const bool turned = !from.px.empty() && poll_until(Millis(10000), [&] {
      return picture_diff(from, now = screenshot(s), 40, kSceneTop, kSceneBottom) > 4 * kCalm;
    });
    key_release(s, key);
    return turned;
  };
  Picture steady = steady_picture(), turned, back;
  const bool right = turn(XK_Right, steady, turned);
  const bool left = turn(XK_Left, steady_picture(), back);
  ASSERT_FALSE(game_exited(s)) << "the game " << describe_status(*s.game_status);
  EXPECT_FALSE(steady.px.empty()) << "the picture never came to rest";
  EXPECT_TRUE(right) << "Right did not turn the field";
  EXPECT_TRUE(at_bottom_centre(paddle_find(turned))) << "while turning";
  EXPECT_TRUE(normal_width(paddle_find(turned))) << "while turning";

  // Released, the view comes to rest again; Left turns it as well.
  EXPECT_TRUE(left) << "Left did not turn the field";
  EXPECT_TRUE(at_bottom_centre(paddle_find(back))) << "while turning back";
  EXPECT_TRUE(normal_width(paddle_find(back))) << "while turning back";
}

TEST_F(PlayScreen, UpDoublesAndDownHalvesThePaddle) {
  const PaddleSpan normal = paddle_find(first);
  ASSERT_TRUE(normal_width(normal));
  PaddleSpan now;

  EXPECT_TRUE(passed(paddle_resize(s, XK_Up, normal.width(), true, &now)));
  EXPECT_TRUE(at_bottom_centre(now));
  EXPECT_NEAR(now.width(), 2.0 * normal.width(), 0.08 * normal.width()) << describe(now);

  EXPECT_TRUE(passed(paddle_resize(s, XK_Down, normal.width(), false, &now)));
  EXPECT_TRUE(at_bottom_centre(now));
  EXPECT_NEAR(now.width(), 0.5 * normal.width(), 0.06 * normal.width()) << describe(now);
}

TEST_F(HalfSpeedPlayScreen, PHoldsTheFieldStillUntilPressedAgain) {
  steady_picture();
  key_tap(s, XK_p);
  ASSERT_TRUE(shows_paused());
  EXPECT_TRUE(stays_paused());
  EXPECT_TRUE(resumes());
}

// With no window manager the game's window gets the focus only when given it.
TEST_F(HalfSpeedPlayScreen, LosingTheFocusPausesAndGettingItBackDoesNotResume) {
  const unsigned long other = other_window_create(s, 900, 650);
  ASSERT_NE(other, 0u);
  // Settling bricks pass where PAUSED is written: wait until they are at rest.
  ASSERT_FALSE(steady_picture().px.empty()) << "the picture never came to rest";
  focus_give(s, s.top);
  focus_give(s, other);
  ASSERT_TRUE(shows_paused()) << "after the focus went elsewhere";
  focus_give(s, s.top);
  EXPECT_TRUE(stays_paused()) << "after getting the focus back";
  EXPECT_TRUE(resumes());
}

// Up gives the paddle 10 s of play at double width, 20 s of real time at half
// speed. A 24 s pause, longer than the whole effect, must not use any of it
// up: the game's clock is moved on 24 s while it waits paused. Splits from the
// pause on keep balls in play until the effect ends.
TEST_F(HalfSpeedPlayScreen, AnEffectOutlastsAPauseLongerThanItself) {
  const PaddleSpan normal = paddle_find(first);
  ASSERT_TRUE(normal_width(normal));
  PaddleSpan now;
  ASSERT_FALSE(steady_picture().px.empty()) << "the picture never came to rest";
  ASSERT_TRUE(passed(paddle_resize(s, XK_Up, normal.width(), true, &now)));
  key_tap(s, XK_p);
  ASSERT_TRUE(shows_paused());
  ASSERT_TRUE(game_clock_move(s, 24000));
  // A ball passing beside the paddle widens a reading now and then: look for
  // a frame with the paddle at the width expected.
  auto width_near = [&](double want, Millis bound) {
    return poll_until(bound, [&] {
      key_tap(s, XK_d);
      now = paddle_find(screenshot(s));
      return std::abs(now.width() - want) <= 0.08 * normal.width();
    });
  };
  ASSERT_TRUE(resumes());
  // Had the pause used the effect up, the paddle would be back to normal at once.
  EXPECT_TRUE(width_near(2.0 * normal.width(), Millis(2000))) << "right after the pause, " << describe(now);
  EXPECT_TRUE(width_near(normal.width(), Millis(30000))) << "the effect never ended, " << describe(now);
}

// At four frames a second every step carries the first ball over the paddle's
// band in one go. It must bounce all the same: were it lost, the game would be
// over within 14 frames. The clock moves only with the frames, so the game
// plays out the same in every run.
struct FourFramesASecond : GameSessionTest {
  FourFramesASecond() { launch = game_hooked({{"QUORVANE_CLOCK_FRAME_MS", "250"}}); }
};

TEST_F(FourFramesASecond, TheFirstBallBouncesOffThePaddle) {
  constexpr long kPastTheLoss = 16 * 250;
  key_tap(s, XK_space);
  bool over = false;
  poll_until(Millis(30000),
             [&] { return (over = result_shown(screenshot(s))) || game_clock_ms(s) >= kPastTheLoss; });
  EXPECT_GE(game_clock_ms(s), kPastTheLoss) << (over ? "the game is over" : "play is stuck");
}

}  // namespace
}  // namespace e2e
