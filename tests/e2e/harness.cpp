// harness.cpp -- GoogleTest's view of the X session library: assertions and the per-test session
#include "harness.h"

#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#ifndef QUORVANE_BINARY
#error "QUORVANE_BINARY must name the game executable"
#endif
#ifndef QUORVANE_MENU_BMP
#error "QUORVANE_MENU_BMP must name the title picture"
#endif

namespace e2e {

::testing::AssertionResult passed(const Error &error) {
  if (error.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << error;
}

Launch game_default() {
  Launch how;
  const char *other = std::getenv("QUORVANE_E2E_GAME");
  how.binary = other && *other ? other : QUORVANE_BINARY;
  how.picture = QUORVANE_MENU_BMP;
  return how;
}

::testing::AssertionResult xvfb_start(Session &s, const std::vector<std::string> &extra) {
  return passed(server_start(s, extra));
}

::testing::AssertionResult game_launch(Session &s, const Launch &how) { return passed(game_start(s, how)); }

::testing::AssertionResult window_wait(Session &s, Millis deadline) {
  return passed(game_window_wait(s, deadline));
}

::testing::AssertionResult polite_close(Session &s) { return passed(window_close(s)); }

::testing::AssertionResult ends_with_status(Session &s, int code, Millis deadline) {
  return passed(game_end_expect(s, code, deadline));
}

void GameSessionTest::SetUp() {
  ASSERT_TRUE(xvfb_start(s));
  ASSERT_TRUE(game_launch(s, launch));
  ASSERT_TRUE(window_wait(s, Millis(30000)));
}

void GameSessionTest::TearDown() {
  if (HasFailure() && s.dpy && !s.dir.empty()) {
    const std::string kept = s.dir + ".failed";
    std::error_code ignored;
    std::filesystem::create_directories(kept, ignored);
    if (!game_exited(s)) ppm_save(screenshot(s), kept + "/screen.ppm");
    for (const char *log : {"stdout.log", "stderr.log"})
      std::filesystem::copy_file(s.dir + "/" + log, kept + "/" + log, ignored);
    std::printf("kept the last screen and the game's logs in %s\n%s", kept.c_str(), game_logs(s).c_str());
  }
  if (s.game_pid > 0 && !game_exited(s) && s.dpy) {
    pointer_move(s, 320, 240);
    key_tap(s, XK_Escape);
    EXPECT_TRUE(ends_with_status(s, 0, Millis(20000))) << "after Escape at the end of the test";
  }
}

}  // namespace e2e
