// menu_test.cpp -- the title screen's events and the start-up failures of both windows
#include "frontend/menu.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "fixture.h"
#include "frontend/menu_local.h"
#include "render/graphic.h"

namespace {

SDL_Event click(Uint16 x, Uint16 y, Uint8 button = SDL_BUTTON_LEFT, Uint8 type = SDL_MOUSEBUTTONDOWN) {
  return button_event(button, x, y, type);
}
SDL_Event motion(Uint16 x, Uint16 y) {
  SDL_Event e = plain_event(SDL_MOUSEMOTION);
  e.motion.x = x, e.motion.y = y;
  return e;
}

// What each title event asks for. Both areas include their four bounds, and
// (300, 430) lies between them; the start area takes the left button alone,
// the quit area any; Space starts on release, Escape quits on press.
const struct {
  input_action_t action;
  std::vector<SDL_Event> events;
} kTitleEvents[] = {
    {INPUT_START,
     {click(220, 390), click(420, 420), click(220, 420), click(420, 390), click(320, 405),
      key_event(SDL_KEYUP, SDLK_SPACE)}},
    {INPUT_QUIT, {key_event(SDL_KEYDOWN, SDLK_ESCAPE), plain_event(SDL_QUIT)}},
    {INPUT_FULLSCREEN, {key_event(SDL_KEYDOWN, SDLK_F11)}},
    {INPUT_REDRAW, {plain_event(SDL_VIDEOEXPOSE)}},
    {INPUT_NOTHING,
     {click(219, 400), click(421, 400), click(300, 389), click(300, 421), click(300, 430), click(249, 450),
      click(300, 466), click(381, 450), click(300, 439)}},
    {INPUT_NOTHING,
     {click(300, 400, SDL_BUTTON_RIGHT), click(300, 400, SDL_BUTTON_MIDDLE),
      click(300, 400, SDL_BUTTON_WHEELUP), click(300, 400, SDL_BUTTON_LEFT, SDL_MOUSEBUTTONUP),
      click(300, 450, SDL_BUTTON_RIGHT, SDL_MOUSEBUTTONUP)}},
    {INPUT_NOTHING,
     {key_event(SDL_KEYDOWN, SDLK_SPACE), key_event(SDL_KEYUP, SDLK_ESCAPE),
      key_event(SDL_KEYDOWN, SDLK_RETURN), key_event(SDL_KEYUP, SDLK_d), key_event(SDL_KEYUP, SDLK_F11),
      motion(300, 400)}}};

TEST(TitleEvents, EachAsksForItsAction) {
  for (const auto &row : kTitleEvents)
    for (const SDL_Event &event : row.events)
      EXPECT_EQ(menu_event_action(event), row.action) << "event " << &event - row.events.data();
  for (Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT})
    for (const auto &[x, y] : {std::pair{250, 440}, {380, 465}, {250, 465}, {380, 440}})
      EXPECT_EQ(menu_event_action(click(x, y, button)), INPUT_QUIT) << int(button) << " at " << x << "," << y;
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
        menu_init();
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
        menu_create();
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
        graphic_create();
      },
      ::testing::ExitedWithCode(1), "SDL_SetVideoMode: .+");
}

}  // namespace
