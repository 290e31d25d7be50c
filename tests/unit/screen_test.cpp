// screen_test.cpp -- the 4:3 view at any size, clicks taken back onto the picture, the modes asked for
#include "render/screen.h"

#include <unistd.h>

#include <array>

#include "fake_gl.h"
#include "fixture.h"
#include "render/video.h"
#include "render/video_local.h"

namespace {

TEST(ScreenView, TheLargestFourByThreeRectangleCentredInTheWindow) {
  // The window's width and height, then the view's x, y, width and height.
  const int rows[][6] = {{1600, 900, 200, 0, 1200, 900}, {640, 1000, 0, 260, 640, 480},
                         {40, 30, 0, 0, 40, 30},         {1, 1, 0, 0, 1, 0},
                         {0, 480, 0, 240, 0, 0},         {3, 0, 1, 0, 0, 0}};
  for (const auto &r : rows) {
    const screen_view_t v = screen_fit(r[0], r[1]);
    EXPECT_EQ((std::array{v.x, v.y, v.w, v.h}), (std::array{r[2], r[3], r[4], r[5]})) << r[0] << "x" << r[1];
  }
}

// The first window is k times 640x480, k the largest whole number within
// three quarters of the desktop each way: the desktop, then k.
TEST(ScreenView, TheFirstWindowIsTheLargestWholeMultipleWithinThreeQuartersOfTheDesktop) {
  const int rows[][3] = {{1920, 1080, 1}, {2560, 1440, 2}, {3840, 2160, 3},
                         {1707, 1280, 2}, {1706, 1280, 1}, {0, 0, 1}};
  for (const auto &r : rows) EXPECT_EQ(screen_first_scale(r[0], r[1]), r[2]) << r[0] << "x" << r[1];
}

// Every window pixel shows the picture's pixel that a click there is taken
// for, so the buttons' edges are where the picture shows them at every size.
TEST(ScreenView, EachPixelDrawnIsThePixelAClickThereIsTakenFor) {
  auto surface = [](int w, int h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0xff00, 0xff, 0);
  };
  SDL_Surface *picture = surface(640, 480);
  auto at = [](SDL_Surface *s, int x, int y) -> Uint32 & {
    return static_cast<Uint32 *>(s->pixels)[y * s->pitch / 4 + x];
  };
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) at(picture, x, y) = x << 10 | y;
  for (const auto &[w, h] : {std::pair{1280, 960}, {1600, 900}, {999, 701}, {641, 481}, {40, 30}}) {
    SDL_Surface *window = surface(w, h);
    const screen_view_t view = screen_fit(w, h);
    ASSERT_EQ(screen_stretch(picture, window, view), 0);
    int wrong = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int px = 0, py = 0;
        const bool on = screen_to_picture(view, x, y, &px, &py);
        wrong += at(window, x, y) != (on ? static_cast<Uint32>(px << 10 | py) : 0);
      }
    EXPECT_EQ(wrong, 0) << w << "x" << h;
    // START's first column, 220: 613 in the view from column 200, 1.875 times.
    EXPECT_TRUE(w != 1600 || (at(window, 612, 400) >> 10 == 219 && at(window, 613, 400) >> 10 == 220));
    SDL_FreeSurface(window);
  }
  SDL_FreeSurface(picture);
}

// The title window's modes on the dummy driver, through a library that
// refuses as many of the next modes as the test says; each case starts from a
// 640x480 window whatever an earlier one left, and shuts video down after it.
class ModeChange : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    g_fake_video_refusals = 0;
    video_open_mode(kVideoSoftware);
    video_resize(kViewWidth, kViewHeight);
    fake_video_modes().clear();
  }
  void TearDown() override {
    SDL_Quit();
    GameTest::TearDown();
  }
};

// A refused mode leaves the one the game had. A drag sends a resize for every
// step: the last one queued sets one mode, and a resize to the window's own
// size, or in fullscreen, sets none.
TEST_F(ModeChange, ARefusedModeLeavesTheOldOneAndABurstOfResizesSetsOne) {
  g_fake_video_refusals = 1;
  video_toggle_fullscreen();
  g_fake_video_refusals = 1;
  video_resize(800, 600);
  for (int w : {700, 960}) {
    SDL_Event e = plain_event(SDL_VIDEORESIZE);
    e.resize.w = w, e.resize.h = w * 3 / 4;
    SDL_PushEvent(&e);
  }
  video_resize(660, 495);
  EXPECT_EQ(video_resize(960, 720), nullptr);
  video_toggle_fullscreen();
  EXPECT_EQ(video_resize(640, 480), nullptr);
  video_toggle_fullscreen();
  // Fullscreen goes to whatever size the dummy driver gives the desktop.
  std::vector<std::array<int, 3>> asked = fake_video_modes();
  ASSERT_EQ(asked.size(), 7u);
  EXPECT_EQ(asked[0][2] + asked[5][2], 2) << "fullscreen not asked for";
  asked.erase(asked.begin() + 5), asked.erase(asked.begin());
  EXPECT_EQ(asked, (std::vector<std::array<int, 3>>{
                       {640, 480, 0}, {800, 600, 0}, {640, 480, 0}, {960, 720, 0}, {960, 720, 0}}));
}

TEST_F(ModeChange, BothRefusedEndTheGameWithTheLibrarysReason) {
  EXPECT_EXIT(
      {
        dup2(2, 1);
        g_fake_video_refusals = 2;
        video_toggle_fullscreen();
      },
      ::testing::ExitedWithCode(1), "SDL_SetVideoMode: refused by the test");
}

}  // namespace
