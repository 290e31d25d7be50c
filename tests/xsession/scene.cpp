// scene.cpp -- reads the title, the paddle and the on-screen numbers out of a screenshot, and waits for them
#include "scene.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>

namespace xs {

namespace {

// The title window has 16 bits per pixel, so every channel on screen may sit up
// to 7 below the picture's; anything further off is a different picture.
constexpr int kTitleTolerance = 12;
constexpr double kTitleMismatchShare = 0.005;

// The paddle is drawn as additive white faces over black: a bright, grey bar.
bool bright_grey(Rgb c) {
  const int lo = std::min({c.r, c.g, c.b}), hi = std::max({c.r, c.g, c.b});
  return lo >= 80 && hi - lo <= 40;
}

// The numbers are bitmap glyphs in exact white, without blending.
bool white(Rgb c) { return c.r >= 250 && c.g >= 250 && c.b >= 250; }

constexpr int kTextRows = 52;  // the baselines of the numbers lie about 28 and 46 rows down
constexpr int kTextLeft = 300, kTextRight = 460;  // they run rightwards from the middle column

}  // namespace

bool title_shown(const Picture &screen, const Picture &reference) {
  if (screen.width != reference.width || screen.height != reference.height || screen.px.empty()) return false;
  const int mismatched = picture_diff(screen, reference, kTitleTolerance, 0, screen.height);
  return mismatched <= static_cast<int>(kTitleMismatchShare * screen.width * screen.height);
}

PaddleSpan paddle_find(const Picture &screen) {
  // Only the bar through the middle column counts: a ball or a falling brick
  // beside it on the same rows is not the paddle.
  constexpr int kGap = 3, kMiddleSlack = 8;
  const int middle = screen.width / 2;
  PaddleSpan best;
  for (int y = screen.height - screen.height / 6; y < screen.height; ++y) {
    auto lit = [&](int x) { return x >= 0 && x < screen.width && bright_grey(screen.at(x, y)); };
    int seed = -1;
    for (int d = 0; d <= kMiddleSlack && seed < 0; ++d)
      seed = lit(middle - d) ? middle - d : lit(middle + d) ? middle + d : -1;
    if (seed < 0) continue;
    PaddleSpan row{y, seed, seed, 0};
    for (int x = seed - 1, dark = 0; x >= 0 && dark <= kGap; --x) {
      dark = lit(x) ? 0 : dark + 1;
      if (!dark) row.left = x;
    }
    for (int x = seed + 1, dark = 0; x < screen.width && dark <= kGap; ++x) {
      dark = lit(x) ? 0 : dark + 1;
      if (!dark) row.right = x;
    }
    for (int x = row.left; x <= row.right; ++x) row.bright += lit(x);
    if (row.bright > best.bright) best = row;
  }
  return best;
}

bool play_shown(const Picture &screen) {
  const PaddleSpan paddle = paddle_find(screen);
  // At any size of the window: wider than a sixth of it, centred within an eightieth.
  return paddle.width() * 6 > screen.width && paddle.bright * 10 >= paddle.width() * 9 &&
         std::abs(paddle.left + paddle.right - (screen.width - 1)) * 80 <= screen.width;
}

bool paused_shown(const Picture &screen) {
  // Its letters stand on rows of about 95 to 110.
  int lit = 0;
  for (int y = 90; y < 116 && screen.height == 480; ++y)
    for (int x = 270; x < 370; ++x) lit += white(screen.at(x, y));
  return lit > 60;
}

bool result_shown(const Picture &screen) {
  // Its lines stand between about 35 and 65 % of the view's height, and the
  // field around them is dimmed: the numbers above it are no longer white.
  const int w = std::min(screen.width, screen.height * 4 / 3), h = w * 3 / 4;
  const int x0 = (screen.width - w) / 2, y0 = (screen.height - h) / 2;
  int inside = 0, outside = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) {
      const bool in_lines =
          y >= y0 + h * 34 / 100 && y < y0 + h * 66 / 100 && x >= x0 + w / 10 && x < x0 + w * 9 / 10;
      (in_lines ? inside : outside) += white(screen.at(x, y));
    }
  return inside * 300 > w * h && outside == 0;
}

Error screen_wait(Session &s, const std::function<bool(const Picture &)> &shows, const std::string &what) {
  if (poll_until(Millis(30000), [&] { return game_exited(s) || shows(screenshot(s)); }) && !game_exited(s))
    return {};
  return s.game_status ? "the game " + describe_status(*s.game_status) + " before showing " + what
                       : "no " + what + " on screen";
}

Error paddle_resize(Session &s, unsigned long keysym, int normal, bool bigger, PaddleSpan *seen) {
  key_tap(s, keysym);
  PaddleSpan now;
  const bool resized = poll_until(Millis(10000), [&] {
    now = paddle_find(screenshot(s));
    return bigger ? now.width() > normal * 3 / 2 : now.width() < normal * 3 / 4;
  });
  if (seen) *seen = now;
  if (resized) return {};
  return "the paddle did not change size: row " + std::to_string(now.row) + ", x " +
         std::to_string(now.left) + ".." + std::to_string(now.right) +
         (game_exited(s) ? " (the game has ended)" : "");
}

std::vector<TextBlock> text_blocks(const Picture &screen) {
  std::vector<TextBlock> blocks;
  auto lit = [&](int x, int y) { return white(screen.at(x, y)); };
  const int rows = std::min(kTextRows, screen.height), right_end = std::min(kTextRight, screen.width - 1);
  bool open = false;  // the previous row had text, so this one extends the last block
  for (int y = 0; y < rows; ++y) {
    int left = right_end + 1, right = -1;
    for (int x = kTextLeft; x <= right_end; ++x) {
      if (!lit(x, y)) continue;
      left = std::min(left, x);
      right = std::max(right, x);
    }
    if (right < 0) {
      open = false;
      continue;
    }
    if (!open) blocks.push_back(TextBlock{y, y, left, right});
    open = true;
    TextBlock &b = blocks.back();
    b.bottom = y;
    b.left = std::min(b.left, left);
    b.right = std::max(b.right, right);
  }
  for (TextBlock &b : blocks) {
    bool in_glyph = false;
    for (int x = b.left; x <= b.right; ++x) {
      bool column = false;
      for (int y = b.top; y <= b.bottom && !column; ++y) column = lit(x, y);
      if (column && !in_glyph) ++b.glyphs;
      in_glyph = column;
    }
    b.hollow = !lit((b.left + b.right) / 2, (b.top + b.bottom) / 2);
  }
  return blocks;
}

Error title_wait(Session &s, const std::string &picture) {
  const Picture reference = bmp_load(picture);
  if (reference.width != 640) return "cannot read " + picture;
  if (Error e = game_window_wait(s, Millis(30000)); !e.empty()) return e;
  const auto shows = [&](const Picture &p) { return title_shown(p, reference); };
  if (Error e = screen_wait(s, shows, "the title"); !e.empty()) return e;
  // With no window manager the keyboard follows the pointer.
  pointer_move(s, 320, 240);
  return {};
}

Error play_enter(Session &s, Picture *first) {
  key_tap(s, XK_space);
  return play_wait(s, first);
}

Error play_wait(Session &s, Picture *first) {
  Picture seen;
  const auto shows = [&](const Picture &p) { return play_shown(seen = p); };
  if (Error e = screen_wait(s, shows, "a frame of play"); !e.empty()) return e;
  if (first) *first = std::move(seen);
  // The OpenGL mode comes with a new window, which SDL may never give the
  // keyboard: put the pointer, and so the keyboard, on it.
  if (Error e = game_window_wait(s, Millis(20000)); !e.empty()) return e;
  pointer_move(s, 320, 200);
  return {};
}

}  // namespace xs
