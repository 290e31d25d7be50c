// screen.h -- the 4:3 view inside a window of any size, and the picture scaled into it
#pragma once

#include <SDL/SDL.h>

// The picture the game is designed at: the title and the field are drawn for
// this size and scaled to whatever the window has.
constexpr int kViewWidth = 640;
constexpr int kViewHeight = 480;

// A rectangle of the window, in pixels from its top left corner.
struct screen_view_t {
  int x, y, w, h;
};

// The largest rectangle of the view's 4:3 shape that fits a window of w x h,
// centred; the rest of the window is left black. Empty for an empty window.
screen_view_t screen_fit(int w, int h);

// The pixel of the 640x480 picture shown at window point (x, y) when the
// picture fills `view`, by the same rounding as screen_stretch; false when the
// point is outside the view.
bool screen_to_picture(const screen_view_t &view, int x, int y, int *px, int *py);

// Draws `picture`, laid out at the top left of the 640x480 view, scaled into
// `view` of `screen` by whole pixels (nearest neighbour). Returns 0, or -1
// when the picture cannot be converted to the screen's format.
int screen_stretch(SDL_Surface *picture, SDL_Surface *screen, const screen_view_t &view);

// How many times 640x480 the first window is on a desktop of w x h: the
// largest whole number that keeps it within three quarters of the desktop
// each way, so that it is neither a postage stamp on a large screen nor the
// whole of a small one; 1 at least, and for a desktop of unknown size.
int screen_first_scale(int w, int h);
