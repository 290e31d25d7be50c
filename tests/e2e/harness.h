// harness.h -- GoogleTest's view of the X session library: the real game under its own Xvfb
#pragma once

#include <gtest/gtest.h>

#include "scene.h"

namespace e2e {

using namespace xs;  // NOLINT: the harness is the library plus assertions

// The library's calls that can fail, as assertions; each returns success or
// what went wrong.
inline ::testing::AssertionResult passed(const Error &error) {
  return error.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << error;
}

// The game built with the tests, or QUORVANE_E2E_GAME, with the real menu.bmp.
Launch game_default();
// The test build with every hook (tests/hooked), the real menu.bmp and `env`.
Launch game_hooked(Env env);
// Its clock after the last frame drawn, while a clock setting is given; else -1.
long game_clock_ms(const Session &s);

using Check = ::testing::AssertionResult;
inline Check xvfb_start(Session &s, const std::vector<std::string> &x = {}) {
  return passed(server_start(s, x));
}
inline Check game_launch(Session &s, const Launch &how = game_default()) {
  return passed(game_start(s, how));
}
inline Check window_wait(Session &s, Millis d) { return passed(game_window_wait(s, d)); }
inline Check polite_close(Session &s) { return passed(window_close(s)); }
inline Check ends_with_status(Session &s, int code, Millis d) { return passed(game_end_expect(s, code, d)); }
// Moves the hooked game's clock, given a setting, on by `ms` at once, as a
// pause or the title would, and waits until the game has taken the move.
Check game_clock_move(Session &s, long ms);

// Each test gets its own display and its own game, already showing its title;
// a test sets `launch` (say, extra environment) before this SetUp runs. At the
// end a game that still runs is asked to quit with Escape and must exit with
// status 0 (so sanitizer reports at exit are not lost); on failure the last
// screen and the game's logs are kept for a look.
class GameSessionTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A new game in the session, its title picture shown and taking input.
  void launch_to_title() {
    ASSERT_TRUE(game_launch(s, launch));
    ASSERT_TRUE(passed(title_wait(s, launch.picture)));
  }
  Launch launch = game_default();
  std::vector<std::string> server;  // Xvfb's extra arguments
  bool window_manager = false;
  Session s;
};

}  // namespace e2e
