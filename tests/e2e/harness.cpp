// harness.cpp -- GoogleTest's view of the X session library: assertions and the per-test session
#include "harness.h"

#include <X11/keysym.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

#ifndef QUORVANE_BINARY
#error "QUORVANE_BINARY must name the game executable"
#endif
#ifndef QUORVANE_HOOKED_BINARY
#error "QUORVANE_HOOKED_BINARY must name the game built with the test hooks"
#endif
#ifndef QUORVANE_MENU_BMP
#error "QUORVANE_MENU_BMP must name the title picture"
#endif

namespace e2e {

Launch game_default() {
  Launch how;
  const char *other = std::getenv("QUORVANE_E2E_GAME");
  how.binary = other && *other ? other : QUORVANE_BINARY;
  how.picture = QUORVANE_MENU_BMP;
  return how;
}

Launch game_hooked(Env env) {
  Launch how = game_default();
  how.binary = QUORVANE_HOOKED_BINARY;
  how.env = std::move(env);
  return how;
}

long game_clock_ms(const Session &s) {
  const std::string text = read_file(s.dir + "/clock");
  return text.empty() ? -1 : std::strtol(text.c_str(), nullptr, 10);
}

Check game_clock_move(Session &s, long ms) {
  const long before = std::max(0L, game_clock_ms(s));  // nothing written before the first frame
  sigval by{};
  by.sival_int = static_cast<int>(ms);
  if (sigqueue(s.game_pid, SIGUSR1, by) == 0 &&
      poll_until(Millis(10000), [&] { return game_clock_ms(s) >= before + ms; }))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "the game's clock was not moved on from " << before << " ms (is a clock setting given?)";
}

void GameSessionTest::SetUp() {
  ASSERT_TRUE(xvfb_start(s, server));
  if (window_manager) {
    ASSERT_TRUE(passed(wm_start(s)));
  }
  launch_to_title();
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
