// screen.cpp -- video modes at any size: the window, fullscreen at the desktop's size, the 4:3 view inside
#include "render/screen.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {
// Unknown (0) when the library cannot tell; fullscreen then keeps the window's size.
int g_desktop_w = 0, g_desktop_h = 0;
bool g_desktop_noted = false;
// The window's size, kept through fullscreen so that leaving it gives the window back as it was.
int g_window_w = kViewWidth, g_window_h = kViewHeight;
bool g_fullscreen = false;

// Column or row of the picture shown at offset `at` of a view `span` pixels
// long. The one rounding both the drawing and the clicks use, so that a
// button's edge is where the picture shows it.
int screen_picture_at(int at, int span, int length) {
  return static_cast<int>(static_cast<long long>(at) * length / span);
}

// The one place the mode is set, and the one record of whether it fills the
// screen: the callers' flags never say so.
SDL_Surface *screen_set_mode(int depth, Uint32 flags, bool fullscreen) {
  flags &= ~static_cast<Uint32>(SDL_FULLSCREEN | SDL_RESIZABLE);
  SDL_Surface *screen = nullptr;
  if (!fullscreen) {
    screen = SDL_SetVideoMode(g_window_w, g_window_h, depth, flags | SDL_RESIZABLE);
  } else {
    // At the desktop's own size the monitor keeps its mode and every pixel is drawn.
    const bool known = g_desktop_w > 0 && g_desktop_h > 0;
    screen = SDL_SetVideoMode(known ? g_desktop_w : g_window_w, known ? g_desktop_h : g_window_h, depth,
                              flags | SDL_FULLSCREEN);
  }
  if (screen != nullptr) g_fullscreen = fullscreen;
  return screen;
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

void screen_note_desktop() {
  if (g_desktop_noted) return;
  g_desktop_noted = true;
  // Once a mode is set, the classic library reports that mode instead.
  if (const SDL_VideoInfo *info = SDL_GetVideoInfo(); info != nullptr) {
    g_desktop_w = info->current_w;
    g_desktop_h = info->current_h;
  }
  const int k = screen_first_scale(g_desktop_w, g_desktop_h);
  g_window_w = k * kViewWidth;
  g_window_h = k * kViewHeight;
}

void screen_set_icon(const unsigned char *bmp, std::size_t size) {
  // Kept for the life of the process: a library may hold on to the surface
  // to give every window it makes later the same icon.
  static SDL_Surface *icon = nullptr;
  if (icon != nullptr) return;
  SDL_RWops *stream = SDL_RWFromConstMem(bmp, static_cast<int>(size));
  icon = stream != nullptr ? SDL_LoadBMP_RW(stream, 1) : nullptr;  // closes the stream
  if (icon != nullptr) SDL_WM_SetIcon(icon, nullptr);
}

bool screen_fullscreen() { return g_fullscreen; }

SDL_Surface *screen_set(int depth, Uint32 flags) { return screen_set_mode(depth, flags, g_fullscreen); }

SDL_Surface *screen_toggle(int depth, Uint32 flags) {
  const bool had = g_fullscreen;
  SDL_Surface *screen = screen_set_mode(depth, flags, !had);
  return screen != nullptr ? screen : screen_set_mode(depth, flags, had);
}

void screen_take_resizes(int *w, int *h) {
  SDL_PumpEvents();
  for (SDL_Event later; SDL_PeepEvents(&later, 1, SDL_GETEVENT, SDL_VIDEORESIZEMASK) > 0;) {
    *w = later.resize.w;
    *h = later.resize.h;
  }
  // The library reads a zero size as "the current mode's", which is not what was asked.
  *w = std::max(*w, 1);
  *h = std::max(*h, 1);
}

bool screen_resize_changes(int w, int h) { return !g_fullscreen && (w != g_window_w || h != g_window_h); }

SDL_Surface *screen_resize(int w, int h, int depth, Uint32 flags) {
  const int had_w = g_window_w, had_h = g_window_h;
  g_window_w = w;
  g_window_h = h;
  SDL_Surface *screen = screen_set(depth, flags);
  if (screen == nullptr) {
    g_window_w = had_w;
    g_window_h = had_h;
    return screen_set(depth, flags);
  }
  g_window_w = screen->w;
  g_window_h = screen->h;
  return screen;
}
