// title_test.cpp -- the title screen of the real game: its picture, starting and quitting
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>

#include "harness.h"

namespace e2e {
namespace {

// Colours the title picture is drawn with (tools/make_menu_bmp).
constexpr Rgb kStartFill{30, 140, 74}, kStartFrame{125, 255, 176};
constexpr Rgb kQuitFill{176, 42, 58}, kQuitFrame{255, 143, 156};

// The title window has 16 bits per pixel: channels on screen come out up to 7
// below the picture's.
::testing::AssertionResult looks_like(Rgb seen, Rgb drawn) {
  if (std::abs(seen.r - drawn.r) <= 10 && std::abs(seen.g - drawn.g) <= 10 &&
      std::abs(seen.b - drawn.b) <= 10)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "seen (" << seen.r << "," << seen.g << "," << seen.b << ") for ("
                                       << drawn.r << "," << drawn.g << "," << drawn.b << ")";
}

bool dark(Rgb c) { return c.r < 40 && c.g < 40 && c.b < 40; }

class TitleScreen : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    reference = bmp_load(QUORVANE_MENU_BMP);
  }

  // Gives the title loop ample time to act on what was sent, then checks that
  // it did nothing: still running, still showing the picture.
  ::testing::AssertionResult still_waiting() {
    pause_for(scaled(Millis(400)));
    if (game_exited(s)) return ::testing::AssertionFailure() << "the game ended";
    if (!title_shown(screenshot(s), reference))
      return ::testing::AssertionFailure() << "the title picture is gone";
    return ::testing::AssertionSuccess();
  }

  // Whatever started the game has been sent: the first frame of play shows.
  ::testing::AssertionResult game_starts() { return passed(play_wait(s, &first_frame)); }

  Picture reference;
  Picture first_frame;  // the first game frame seen by game_starts
};

TEST_F(TitleScreen, ShowsTheNameAndBothButtonsWhereTheyAreClicked) {
  const Picture screen = screenshot(s);
  // Both buttons reach exactly the corners of their click areas.
  EXPECT_TRUE(looks_like(screen.at(220, 390), kStartFrame));
  EXPECT_TRUE(looks_like(screen.at(420, 420), kStartFrame));
  EXPECT_TRUE(looks_like(screen.at(230, 405), kStartFill));
  EXPECT_TRUE(looks_like(screen.at(410, 405), kStartFill));
  EXPECT_TRUE(dark(screen.at(219, 400)) && dark(screen.at(421, 400)) && dark(screen.at(300, 389)) &&
              dark(screen.at(300, 421)));
  EXPECT_TRUE(looks_like(screen.at(250, 440), kQuitFrame));
  EXPECT_TRUE(looks_like(screen.at(380, 465), kQuitFrame));
  EXPECT_TRUE(looks_like(screen.at(260, 452), kQuitFill));
  EXPECT_TRUE(looks_like(screen.at(370, 452), kQuitFill));
  EXPECT_TRUE(dark(screen.at(249, 450)) && dark(screen.at(300, 466)));

  // The glowing name fills the band across the top; the bottom corners stay dark.
  int glowing = 0;
  for (int y = 60; y < 150; ++y)
    for (int x = 100; x < 540; ++x)
      glowing += std::min({screen.at(x, y).r, screen.at(x, y).g, screen.at(x, y).b}) > 200;
  EXPECT_GT(glowing, 5000);
  EXPECT_TRUE(dark(screen.at(5, 474)) && dark(screen.at(634, 474)));
}

TEST_F(TitleScreen, EscapeQuitsWithStatusZero) {
  key_tap(s, XK_Escape);
  EXPECT_TRUE(ends_with_status(s, 0, Millis(20000)));
}

TEST_F(TitleScreen, ClosingTheWindowQuitsWithStatusZero) {
  ASSERT_TRUE(polite_close(s));
  EXPECT_TRUE(ends_with_status(s, 0, Millis(20000)));
}

TEST_F(TitleScreen, HoldingSpaceWaitsAndReleasingItStarts) {
  key_press(s, XK_space);
  // Held past the server's auto-repeat delay (660 ms by default).
  EXPECT_TRUE(still_waiting()) << "while Space is held";
  EXPECT_TRUE(still_waiting()) << "while Space is still held";
  key_release(s, XK_space);
  EXPECT_TRUE(game_starts());
}

// The frame clock starts with play: however long the title was shown (a
// minute on the hooked game's clock, moved on at once), the first frames still
// show the bricks dropping in from above (they start 20 to 29 high and need
// most of a second to leave the top rows), and the first ball is not lost at once.
struct TitleScreenOnTheTestClock : TitleScreen {
  TitleScreenOnTheTestClock() { launch = game_hooked({{"QUORVANE_CLOCK_RATE", "1"}}); }
};

TEST_F(TitleScreenOnTheTestClock, TimeOnTheTitleDoesNotCountIntoPlay) {
  ASSERT_TRUE(game_clock_move(s, 60000));
  key_tap(s, XK_space);
  ASSERT_TRUE(game_starts());
  int lit = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < first_frame.width; ++x) {
      const Rgb c = first_frame.at(x, y);
      lit += std::max({c.r, c.g, c.b}) > 60;
    }
  EXPECT_GT(lit, 2000) << "the bricks had already come down";
  // Had the title's time counted, the first step would have carried the ball
  // out past the rim and down out of the field, ending the game at once.
  EXPECT_FALSE(next_frame(s, first_frame, Millis(10000)).px.empty() || game_exited(s))
      << "the first ball was lost at once";
}

TEST_F(TitleScreen, OtherKeysDoNothing) {
  for (unsigned long key : {XK_Return, XK_d, XK_Up, XK_Left}) key_tap(s, key);
  EXPECT_TRUE(still_waiting());
}

// Clicks at window coordinates with the button numbers of X (1 left, 2 middle, 3 right).
struct Click {
  int x, y;
  unsigned button;
};

void PrintTo(const Click &c, std::ostream *out) {
  *out << "button " << c.button << " at (" << c.x << "," << c.y << ")";
}

class TitleStartClick : public TitleScreen, public ::testing::WithParamInterface<Click> {};

// Starting and quitting cannot be undone: a missed click that acted leaves the
// title gone after the last one, so one wait follows them all.
TEST_P(TitleStartClick, StartsOnlyForALeftClickInsideTheStartArea) {
  // One pixel outside each edge, and the other buttons inside.
  for (const Click miss : {Click{219, 400, 1}, Click{421, 400, 1}, Click{300, 389, 1}, Click{300, 421, 1},
                           Click{320, 405, 3}, Click{320, 405, 2}})
    click(s, miss.x, miss.y, miss.button);
  ASSERT_TRUE(still_waiting()) << "after the clicks beside the start area";
  click(s, GetParam().x, GetParam().y, GetParam().button);
  EXPECT_TRUE(game_starts());
}

INSTANTIATE_TEST_SUITE_P(Corners, TitleStartClick, ::testing::Values(Click{220, 390, 1}, Click{420, 420, 1}));

class TitleQuitClick : public TitleScreen, public ::testing::WithParamInterface<Click> {};

TEST_P(TitleQuitClick, QuitsWithStatusZeroForAnyButtonInsideTheQuitArea) {
  for (const Click miss : {Click{249, 450, 1}, Click{300, 466, 1}, Click{381, 450, 3}, Click{300, 439, 2}})
    click(s, miss.x, miss.y, miss.button);
  ASSERT_TRUE(still_waiting()) << "after the clicks beside the quit area";
  click(s, GetParam().x, GetParam().y, GetParam().button);
  EXPECT_TRUE(ends_with_status(s, 0, Millis(20000)));
}

INSTANTIATE_TEST_SUITE_P(CornersAndButtons, TitleQuitClick,
                         ::testing::Values(Click{250, 440, 1}, Click{380, 465, 3}, Click{315, 452, 2}));

}  // namespace
}  // namespace e2e
