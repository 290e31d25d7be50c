// screen_test.cpp -- the real game resized, squeezed and fullscreen, and its title doubled
#include <X11/keysym.h>

#include <algorithm>

#include "harness.h"

namespace e2e {
namespace {

// A 1920x1080 desktop with a window manager, which resizes windows as a player does.
class ScreenSize : public GameSessionTest {
 protected:
  ScreenSize() {
    server = {"-screen", "0", "1920x1080x24"};
    window_manager = true;
  }
  // Waits until the window is w x h and shows what `shows` looks for.
  template <class Shows>
  Check shown_at(int w, int h, Shows shows) {
    Picture seen;
    if (poll_until(Millis(20000),
                   [&] { return (seen = screenshot(s)).width == w && seen.height == h && shows(seen); }))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "at " << w << "x" << h << ", the window is " << seen.width << "x" << seen.height;
  }
};

// Pixels lit in columns [x0, x1), and their mean column.
std::pair<long, double> lit_columns(const Picture &p, int x0, int x1) {
  long lit = 0;
  double sum = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = x0; x < x1; ++x)
      if (const Rgb c = p.at(x, y); std::max({c.r, c.g, c.b}) > 60) ++lit, sum += x;
  return {lit, lit ? sum / lit : 0};
}

// The paused field drawn again at every size: the same picture scaled into the
// largest 4:3 part of the window, centred, with nothing in the bands beside it.
TEST_F(ScreenSize, ThePausedFieldFillsTheLargestFourByThreePartOfEveryMode) {
  ASSERT_TRUE(passed(play_enter(s)));
  key_tap(s, XK_p);
  Picture paused;
  ASSERT_TRUE(shown_at(640, 480, [&](const Picture &p) { return paused_shown(paused = p); }));
  const auto [base, centre0] = lit_columns(paused, 0, 640);
  // F11 first, from the window's first size, which it gives back afterwards.
  const struct {
    unsigned long key;  // F11, or a resize through the window manager
    int w, h, view_w;
  } modes[] = {
      {XK_F11, 1920, 1080, 1440}, {XK_F11, 640, 480, 640}, {0, 1280, 960, 1280}, {0, 1600, 900, 1200}};
  for (const auto &m : modes) {
    if (!m.key) {
      window_resize(s, m.w, m.h);
    } else if (key_tap(s, m.key); m.w == 1920) {
      s.top = 0;  // the whole screen, whichever window holds it
      s.win_x = s.win_y = 0, s.win_w = m.w, s.win_h = m.h;
    } else {
      ASSERT_TRUE(window_wait(s, Millis(20000)));
    }
    const int band = (m.w - m.view_w) / 2;
    const double scale = static_cast<double>(m.view_w) * m.view_w / (640 * 640);
    EXPECT_TRUE(shown_at(m.w, m.h, [&](const Picture &p) {
      const auto [lit, centre] = lit_columns(p, band, m.w - band);
      const double expected = band + (centre0 + 0.5) * m.view_w / 640 - 0.5;
      return lit_columns(p, 0, band).first + lit_columns(p, m.w - band, m.w).first == 0 &&
             std::abs(lit - scale * base) < 0.05 * scale * base &&
             std::abs(centre - expected) < 0.002 * m.view_w;
    }));
  }
}

// A game on a quarter-speed clock, which plays on for as long as the test takes.
struct SlowScreenSize : ScreenSize {
  SlowScreenSize() { launch = game_hooked({{"QUORVANE_CLOCK_RATE", "0.25"}}); }
};

TEST_F(SlowScreenSize, AWindowSqueezedToAFewPixelsAndBackKeepsPlaying) {
  ASSERT_TRUE(passed(play_enter(s)));
  window_resize(s, 40, 30);
  ASSERT_TRUE(shown_at(40, 30, [](const Picture &p) { return lit_columns(p, 0, 40).first > 20; }));
  window_resize(s, 640, 480);
  Picture seen;
  ASSERT_TRUE(shown_at(640, 480, [&](const Picture &p) { return play_shown(seen = p); }));
  EXPECT_FALSE(next_frame(s, seen, Millis(10000)).px.empty());
  EXPECT_FALSE(game_exited(s));
}

TEST_F(ScreenSize, TheTitleDoubledStartsFromTheDoubledStartButton) {
  const Picture doubled = picture_scaled(bmp_load(launch.picture), 2);
  window_resize(s, 1280, 960);
  ASSERT_TRUE(shown_at(1280, 960, [&](const Picture &p) { return title_shown(p, doubled); }));
  click(s, 2 * 220, 2 * 390, 1);  // the top left corner of START
  EXPECT_TRUE(passed(play_wait(s)));
}

}  // namespace
}  // namespace e2e
