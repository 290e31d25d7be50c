// monkey_test.cpp -- the real game under random keys, clicks and pointer motion, with bounded memory
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

// Every key of the game's key table, and some it ignores. Escape is kept for
// the end: it would only end the run early.
const std::vector<unsigned long> kGameKeys = {XK_Left, XK_Right, XK_Up, XK_Down, XK_d,
                                              XK_f,    XK_g,     XK_h,  XK_m};
const std::vector<unsigned long> kOtherKeys = {XK_a,       XK_space,     XK_Return, XK_Tab, XK_x,
                                               XK_Shift_L, XK_Control_L, XK_F1,     XK_1,   XK_KP_5};

long env_number(const char *name, long fallback) {
  const char *text = std::getenv(name);
  return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

class Monkey : public ::testing::Test {
 protected:
  Session s;
  std::mt19937 rng;
  std::set<unsigned long> held;
  int games = 0;

  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

  // A new game from its title screen: Space released starts it.
  void start_game() {
    ASSERT_TRUE(game_launch(s));
    ASSERT_TRUE(passed(title_wait(s, QUORVANE_MENU_BMP))) << game_logs(s);
    key_tap(s, XK_space);
    ++games;
  }

  void release_all() {
    for (unsigned long key : held) key_release(s, key);
    held.clear();
  }

  // One random action from the player's repertoire.
  void act() {
    const int what = pick(0, 99);
    if (what < 35) {  // tap a key of the table
      key_tap(s, kGameKeys[pick(0, kGameKeys.size() - 1)]);
    } else if (what < 50) {  // press or release a key of the table and leave it so
      const unsigned long key = kGameKeys[pick(0, kGameKeys.size() - 1)];
      if (held.count(key)) {
        key_release(s, key);
        held.erase(key);
      } else {
        key_press(s, key);
        held.insert(key);
      }
    } else if (what < 55) {  // hold d: key repeat asks for split after split
      key_press(s, XK_d);
      pause_for(Millis(pick(100, 800)));
      key_release(s, XK_d);
      held.erase(XK_d);
    } else if (what < 65) {  // a key the game ignores
      key_tap(s, kOtherKeys[pick(0, kOtherKeys.size() - 1)]);
    } else if (what < 80) {  // a click anywhere, any button
      click(s, pick(0, 639), pick(0, 479), static_cast<unsigned>(pick(1, 3)));
    } else if (what < 95) {
      pointer_move(s, pick(0, 639), pick(0, 479));
    } else {
      pause_for(Millis(pick(50, 400)));
    }
  }
};

TEST_F(Monkey, RandomInputNeverCrashesTheGameAndItsMemoryStaysBounded) {
  const long seconds = env_number("QUORVANE_MONKEY_SECONDS", 60);
  const unsigned seed = static_cast<unsigned>(
      env_number("QUORVANE_MONKEY_SEED", static_cast<long>(std::random_device{}() & 0x7fffffff)));
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress shows as it happens, also in a log file
  std::printf("monkey: seed %u, %ld s (replay with QUORVANE_MONKEY_SEED=%u)\n", seed, seconds, seed);
  rng.seed(seed);

  // In a sanitizer build, freed memory is held back in a quarantine of 256 MB
  // by default, which would look like growth; a small one still catches a
  // use after free of the game's few records and lets the memory level off.
  if (const char *asan = std::getenv("ASAN_OPTIONS"))
    setenv("ASAN_OPTIONS", (std::string(asan) + ":quarantine_size_mb=16").c_str(), 1);

  ASSERT_TRUE(xvfb_start(s));
  start_game();

  // Memory is sampled once a second. The first samples cover start-up and the
  // driver's warm-up; from then on the game only adds and frees balls and
  // bricks, so resident memory must level off.
  constexpr long kWarmUpSamples = 10;
  constexpr long kAllowedGrowthKb = 64 * 1024;
  long baseline_kb = 0, peak_kb = 0, samples = 0;
  auto next_sample = Clock::now();
  const auto end = Clock::now() + std::chrono::seconds(seconds);

  while (Clock::now() < end) {
    // The last ball lost, the result stays until a key: looked for before
    // every action, so that it is seen before a random key leaves it.
    const bool result = !game_exited(s) && result_shown(screenshot(s));
    if (result) {
      release_all();
      key_tap(s, XK_Return);
      ASSERT_TRUE(ends_with_status(s, 0, Millis(15000))) << "(seed " << seed << ")\n" << game_logs(s);
    }
    if (game_exited(s)) {
      // Nothing but the result's keys and clicks ends the game with status 0
      // here: a random one may leave it before it is seen.
      release_all();
      ASSERT_TRUE(WIFEXITED(*s.game_status) && WEXITSTATUS(*s.game_status) == 0)
          << "the game " << describe_status(*s.game_status) << " (seed " << seed << ")\n"
          << game_logs(s);
      std::printf("monkey: game %d over, its result %s; starting another\n", games,
                  result ? "shown and left with a key" : "left by a random key or click");
      start_game();
      samples = 0;  // a new process warms up again
      baseline_kb = 0;
      continue;
    }
    act();
    if (Clock::now() >= next_sample) {
      next_sample += std::chrono::seconds(1);
      const long kb = proc_status_kb(s.game_pid, "VmRSS");
      if (kb <= 0) continue;
      ++samples;
      if (samples == kWarmUpSamples) baseline_kb = kb;
      peak_kb = std::max(peak_kb, kb);
      if (samples % 10 == 0) std::printf("monkey: game %d, %ld s in: %ld kB resident\n", games, samples, kb);
      if (baseline_kb > 0) {
        ASSERT_LT(kb, baseline_kb + kAllowedGrowthKb)
            << "resident memory grew from " << baseline_kb << " kB to " << kb << " kB (seed " << seed << ")";
      }
    }
  }

  release_all();
  std::printf("monkey: %d game(s), resident memory peak %ld kB\n", games, peak_kb);
  pointer_move(s, 320, 240);
  key_tap(s, XK_Escape);
  EXPECT_TRUE(ends_with_status(s, 0, Millis(15000))) << "(seed " << seed << ")\n" << game_logs(s);
}

}  // namespace
}  // namespace e2e
