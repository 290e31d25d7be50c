// screen.cpp -- the 4:3 view inside a window of any size, and the picture scaled into it
#include "render/screen.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {
// Column or row of the picture shown at offset `at` of a view `span` pixels
// long. The one rounding both the drawing and the clicks use, so that a
// button's edge is where the picture shows it.
int screen_picture_at(int at, int span, int length) {
  return static_cast<int>(static_cast<long long>(at) * length / span);
}
}  // namespace

screen_view_t screen_fit(int w, int h) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  // Whichever side runs out first sets the size; no division by the window's.
  int fw = w, fh = static_cast<int>(static_cast<long long>(w) * kViewHeight / kViewWidth);
  if (fh > h) {
    fh = h;
    fw = static_cast<int>(static_cast<long long>(h) * kViewWidth / kViewHeight);
  }
  return {(w - fw) / 2, (h - fh) / 2, fw, fh};
}

bool screen_to_picture(const screen_view_t &view, int x, int y, int *px, int *py) {
  if (x < view.x || y < view.y || x >= view.x + view.w || y >= view.y + view.h) return false;
  *px = screen_picture_at(x - view.x, view.w, kViewWidth);
  *py = screen_picture_at(y - view.y, view.h, kViewHeight);
  return true;
}

int screen_stretch(SDL_Surface *picture, SDL_Surface *screen, const screen_view_t &view) {
  SDL_Surface *same = SDL_ConvertSurface(picture, screen->format, SDL_SWSURFACE);
  if (same == nullptr) return -1;
  const std::ptrdiff_t bpp = screen->format->BytesPerPixel;
  const int right = std::min(view.x + view.w, static_cast<int>(screen->w));
  const int bottom = std::min(view.y + view.h, static_cast<int>(screen->h));
  SDL_LockSurface(screen);
  SDL_LockSurface(same);
  for (int y = std::max(view.y, 0); y < bottom; ++y) {
    const int py = screen_picture_at(y - view.y, view.h, kViewHeight);
    if (py >= same->h) break;
    const auto *from =
        static_cast<const Uint8 *>(same->pixels) + static_cast<std::ptrdiff_t>(py) * same->pitch;
    auto *to = static_cast<Uint8 *>(screen->pixels) + static_cast<std::ptrdiff_t>(y) * screen->pitch;
    for (int x = std::max(view.x, 0); x < right; ++x) {
      const int px = screen_picture_at(x - view.x, view.w, kViewWidth);
      if (px >= same->w) break;
      std::memcpy(to + x * bpp, from + px * bpp, static_cast<std::size_t>(bpp));
    }
  }
  SDL_UnlockSurface(same);
  SDL_UnlockSurface(screen);
  SDL_FreeSurface(same);
  return 0;
}

int screen_first_scale(int w, int h) {
  // k x 640 <= 3/4 w, in whole numbers: 4 x 640 x k <= 3 w.
  const int k = std::min(3 * std::max(w, 0) / (4 * kViewWidth), 3 * std::max(h, 0) / (4 * kViewHeight));
  return std::max(k, 1);
}
