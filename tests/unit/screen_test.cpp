// screen_test.cpp -- the 4:3 view in a window of any size, and clicks taken back onto the picture it shows
#include "render/screen.h"

#include <gtest/gtest.h>

namespace {

bool operator==(const screen_view_t &a, const screen_view_t &b) {
  return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

TEST(ScreenView, TheLargestFourByThreeRectangleCentredInTheWindow) {
  const struct {
    int w, h;
    screen_view_t view;
  } rows[] = {{640, 480, {0, 0, 640, 480}},
              {1280, 960, {0, 0, 1280, 960}},
              {1600, 900, {200, 0, 1200, 900}},
              {1920, 1080, {240, 0, 1440, 1080}},
              {640, 1000, {0, 260, 640, 480}},
              {40, 30, {0, 0, 40, 30}},
              {1, 1, {0, 0, 1, 0}},
              {0, 480, {0, 240, 0, 0}},
              {3, 0, {1, 0, 0, 0}}};
  for (const auto &r : rows) EXPECT_TRUE(screen_fit(r.w, r.h) == r.view) << r.w << "x" << r.h;
}

// START spans columns 220 to 420 of the picture: doubled, window columns 440
// to 841; at 1600x900 (view from column 200, 1.875 times) 613 to 989.
TEST(ScreenView, AClickIsTakenForThePictureColumnShownThere) {
  const struct {
    int w, h, x, px;
  } rows[] = {{1280, 960, 440, 220}, {1280, 960, 439, 219}, {1280, 960, 841, 420}, {1280, 960, 842, 421},
              {1600, 900, 613, 220}, {1600, 900, 612, 219}, {1600, 900, 989, 420}, {1600, 900, 990, 421}};
  for (const auto &r : rows) {
    int px = -1, py = -1;
    EXPECT_TRUE(screen_to_picture(screen_fit(r.w, r.h), r.x, 400, &px, &py));
    EXPECT_EQ(px, r.px) << r.w << "x" << r.h << " at " << r.x;
  }
  int px = 0, py = 0;
  EXPECT_FALSE(screen_to_picture(screen_fit(1600, 900), 199, 400, &px, &py)) << "in the band";
  EXPECT_FALSE(screen_to_picture(screen_fit(1, 1), 0, 0, &px, &py)) << "in an empty view";
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
    SDL_FreeSurface(window);
  }
  SDL_FreeSurface(picture);
}

}  // namespace
