// valgrind_test.cpp -- a short scripted game to its result under memcheck: no bad access, nothing of ours
// lost
#include <X11/keysym.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "harness.h"

namespace e2e {
namespace {

class UnderMemcheck : public ::testing::Test {
 protected:
  void SetUp() override {
    // Under memcheck the software rasteriser draws a frame in about a second:
    // stretch every deadline of the harness.
    setenv("QUORVANE_E2E_SLOWDOWN", "10", 0);
    // The game is started through this script, written into its working
    // directory beside the title picture, which puts it under memcheck. The
    // report goes to the same directory. --keep-debuginfo keeps the names of the
    // GL driver's frames after SDL_Quit has unloaded it, so that its own leaks
    // match the suppressions that name it.
    how.binary = "./quorvane-under-memcheck";
    // The game's clock at a quarter of real time: no ball can be lost, and
    // no result left by a key, before every key below has been pressed.
    how.env = {{"QUORVANE_CLOCK_RATE", "0.25"}};
    how.prepare = [](const std::string &dir) {
      std::filesystem::copy_file(QUORVANE_MENU_BMP, dir + "/menu.bmp");
      std::ofstream(dir + "/quorvane-under-memcheck")
          << "#!/bin/sh\nexec " QUORVANE_VALGRIND
             " --tool=memcheck --error-exitcode=1 --errors-for-leak-kinds=definite"
             " --leak-check=full --keep-debuginfo=yes --num-callers=30 --suppressions=" QUORVANE_VALGRIND_SUPP
             " --log-file=memcheck.log " QUORVANE_HOOKED_BINARY "\n";
      chmod((dir + "/quorvane-under-memcheck").c_str(), 0755);
    };
  }
  std::string report() const { return read_file(s.dir + "/memcheck.log"); }

  Launch how = game_default();
  Session s;
};

TEST_F(UnderMemcheck, AShortGameFromTitleToItsResultIsClean) {
  ASSERT_TRUE(xvfb_start(s));
  ASSERT_TRUE(game_launch(s, how));
  ASSERT_TRUE(passed(title_wait(s, QUORVANE_MENU_BMP))) << report();
  ASSERT_TRUE(passed(play_enter(s))) << report();

  // A little of everything: turning both ways, every power-up, a split.
  for (unsigned long key : {XK_Left, XK_Right, XK_d, XK_f, XK_g, XK_h, XK_Up, XK_Down, XK_Left, XK_Right}) {
    key_tap(s, key);
    pause_for(Millis(300));
  }
  // Then the paddle turning away until the last ball is lost, and the result
  // left with a key.
  key_press(s, XK_Right);
  EXPECT_TRUE(passed(result_wait(s))) << report();
  key_release(s, XK_Right);
  key_tap(s, XK_Return);
  // Status 1 is memcheck's verdict: an invalid access or a definite leak.
  EXPECT_TRUE(ends_with_status(s, 0, Millis(12000))) << report();
  const std::string log = report();
  EXPECT_NE(log.find("ERROR SUMMARY: 0 errors"), std::string::npos) << log;
}

}  // namespace
}  // namespace e2e
