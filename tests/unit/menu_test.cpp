// menu_test.cpp -- the title screen's events and the start-up failures of both windows
#include "frontend/menu.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fixture.h"
#include "frontend/menu_local.h"
#include "render/graphic.h"

namespace {

menu_action_t click(Uint8 button, Uint16 x, Uint16 y, Uint8 type = SDL_MOUSEBUTTONDOWN) {
  return menu_event_action(button_event(button, x, y, type));
}
menu_action_t left_click(Uint16 x, Uint16 y) { return click(SDL_BUTTON_LEFT, x, y); }

TEST(TitleStartArea, LeftClickOnAnyCornerStarts) {
  EXPECT_EQ(left_click(220, 390), MENU_START);
  EXPECT_EQ(left_click(420, 420), MENU_START);
  EXPECT_EQ(left_click(220, 420), MENU_START);
  EXPECT_EQ(left_click(420, 390), MENU_START);
  EXPECT_EQ(left_click(320, 405), MENU_START);
}

TEST(TitleStartArea, LeftClickJustOutsideDoesNothing) {
  EXPECT_EQ(left_click(219, 400), MENU_NOTHING);
  EXPECT_EQ(left_click(421, 400), MENU_NOTHING);
  EXPECT_EQ(left_click(300, 389), MENU_NOTHING);
  EXPECT_EQ(left_click(300, 421), MENU_NOTHING);
  // Between the two areas.
  EXPECT_EQ(left_click(300, 430), MENU_NOTHING);
}

TEST(TitleStartArea, OnlyTheLeftButtonStarts) {
  EXPECT_EQ(click(SDL_BUTTON_RIGHT, 300, 400), MENU_NOTHING);
  EXPECT_EQ(click(SDL_BUTTON_MIDDLE, 300, 400), MENU_NOTHING);
  EXPECT_EQ(click(SDL_BUTTON_WHEELUP, 300, 400), MENU_NOTHING);
  // Releasing the button is not a click.
  EXPECT_EQ(click(SDL_BUTTON_LEFT, 300, 400, SDL_MOUSEBUTTONUP), MENU_NOTHING);
}

TEST(TitleQuitArea, AnyButtonOnTheCornersQuits) {
  for (Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT}) {
    EXPECT_EQ(click(button, 250, 440), MENU_QUIT) << int(button);
    EXPECT_EQ(click(button, 380, 465), MENU_QUIT) << int(button);
    EXPECT_EQ(click(button, 250, 465), MENU_QUIT) << int(button);
    EXPECT_EQ(click(button, 380, 440), MENU_QUIT) << int(button);
  }
}

TEST(TitleQuitArea, ClicksJustOutsideDoNothing) {
  EXPECT_EQ(left_click(249, 450), MENU_NOTHING);
  EXPECT_EQ(left_click(300, 466), MENU_NOTHING);
  EXPECT_EQ(left_click(381, 450), MENU_NOTHING);
  EXPECT_EQ(left_click(300, 439), MENU_NOTHING);
  EXPECT_EQ(click(SDL_BUTTON_RIGHT, 300, 450, SDL_MOUSEBUTTONUP), MENU_NOTHING);
}

TEST(TitleKeys, SpaceStartsOnReleaseAndEscapeQuitsOnPress) {
  EXPECT_EQ(menu_event_action(key_event(SDL_KEYDOWN, SDLK_SPACE)), MENU_NOTHING);
  EXPECT_EQ(menu_event_action(key_event(SDL_KEYUP, SDLK_SPACE)), MENU_START);
  EXPECT_EQ(menu_event_action(key_event(SDL_KEYDOWN, SDLK_ESCAPE)), MENU_QUIT);
  EXPECT_EQ(menu_event_action(key_event(SDL_KEYUP, SDLK_ESCAPE)), MENU_NOTHING);
  EXPECT_EQ(menu_event_action(key_event(SDL_KEYDOWN, SDLK_RETURN)), MENU_NOTHING);
  EXPECT_EQ(menu_event_action(key_event(SDL_KEYUP, SDLK_d)), MENU_NOTHING);
}

TEST(TitleKeys, F11ChangesTheModeAndAnExposedWindowIsDrawnAgain) {
  EXPECT_EQ(menu_event_action(key_event(SDL_KEYDOWN, SDLK_F11)), MENU_FULLSCREEN);
  EXPECT_EQ(menu_event_action(key_event(SDL_KEYUP, SDLK_F11)), MENU_NOTHING);
  EXPECT_EQ(menu_event_action(plain_event(SDL_VIDEOEXPOSE)), MENU_REDRAW);
}

TEST(TitleKeys, ClosingTheWindowQuitsAndMotionDoesNothing) {
  EXPECT_EQ(menu_event_action(plain_event(SDL_QUIT)), MENU_QUIT);
  SDL_Event e = plain_event(SDL_MOUSEMOTION);
  e.motion.x = 300;
  e.motion.y = 400;
  EXPECT_EQ(menu_event_action(e), MENU_NOTHING);
}

// The working folder's menu.bmp comes first, whatever it holds; only without
// one is the copy installed beside the program used.
TEST(TitlePicture, WorkingFolderFirstThenTheInstalledCopy) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("quorvane-lookup-" + std::to_string(getpid()));
  const fs::path program = root / "prefix/games/quorvane";
  const fs::path installed = program.parent_path() / QUORVANE_DATA_FROM_PROGRAM / "menu.bmp";
  fs::create_directories(root / "work");
  fs::create_directories(installed.parent_path());
  const fs::path before = fs::current_path();
  fs::current_path(root / "work");

  EXPECT_EQ(menu_picture_path(program), "menu.bmp") << "nothing installed: the working folder's reason";
  std::ofstream(installed) << "BM";
  EXPECT_TRUE(fs::equivalent(menu_picture_path(program), installed));
  EXPECT_EQ(menu_picture_path(""), "menu.bmp") << "the program's place unknown";
  fs::create_symlink("nowhere", "menu.bmp");
  EXPECT_EQ(menu_picture_path(program), "menu.bmp") << "a broken picture must be reported, not replaced";

  fs::current_path(before);
  fs::remove_all(root);
}

// Start-up without what the game needs stops with status 1 and the library's
// reason, in a child process. Messages meant for standard output are sent to
// standard error there so that they can be matched.
using StartupFailureTest = GameTest;

TEST_F(StartupFailureTest, NoDisplayIsReportedInsteadOfPaintingTheTerminal) {
  EXPECT_EXIT(
      {
        dup2(2, 1);
        unsetenv("DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
        menu_init(0);
      },
      ::testing::ExitedWithCode(1), "SDL_Init: .+");
}

// The title screen started in a fresh folder holding `picture` as menu.bmp,
// or nothing when it is null.
void expect_picture_reported(const char *picture) {
  char dir[] = "/tmp/quorvane-pic-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/menu.bmp";
  if (picture != nullptr) {
    std::ofstream(path) << picture;
    ASSERT_TRUE(std::ifstream(path).good());
  }
  EXPECT_EXIT(
      {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (chdir(dir) != 0) std::exit(3);
        menu_create(0);
      },
      ::testing::ExitedWithCode(1), "Impossible de charger menu\\.bmp: .+");
  std::remove(path.c_str());
  rmdir(dir);
}

TEST_F(StartupFailureTest, MissingTitlePictureIsReported) { expect_picture_reported(nullptr); }

TEST_F(StartupFailureTest, AnUnreadablePictureIsReported) { expect_picture_reported("not a bitmap"); }

TEST_F(StartupFailureTest, NoOpenGLModeIsReported) {
  EXPECT_EXIT(
      {
        dup2(2, 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        graphic_create(0);
      },
      ::testing::ExitedWithCode(1), "SDL_SetVideoMode: .+");
}

}  // namespace
