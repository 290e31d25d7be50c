// screen.h -- video modes at any size: the window, fullscreen at the desktop's size, the 4:3 view inside
#pragma once

#include <SDL/SDL.h>

#include <cstddef>

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

// Remembers the desktop's own size, which the library reports only until the
// first mode is set, and sizes the first window for it; later calls keep the
// first answer.
void screen_note_desktop();

// Gives the window the icon held in `bmp` (a BMP file's bytes), before the
// first mode is set. A picture the library cannot read leaves the window
// without one.
void screen_set_icon(const unsigned char *bmp, std::size_t size);

// Whether the mode last set fills the screen. Only this module knows: the
// surface's flags may say otherwise on a library that fakes fullscreen.
bool screen_fullscreen();

// Sets the mode this module records, fullscreen at the desktop's size or a
// resizable window at the size the window last had (at first the size
// screen_note_desktop chose), with `flags` besides. Null when refused, and
// the mode it had is still the one recorded.
SDL_Surface *screen_set(int depth, Uint32 flags);
// Between the window and fullscreen, or back in the mode it had if the other
// one is refused. Null only when both are.
SDL_Surface *screen_toggle(int depth, Uint32 flags);
// Takes the resizes queued behind the one asking for w x h off the library's
// queue and leaves in w, h the last one's size (a drag sends one for every
// step, and only the last is worth a mode), at least one pixel each way. Only
// the resizes already queued are merged: a slow drag still sets several modes.
// Those taken come ahead of any key queued between them, which no key minds.
void screen_take_resizes(int *w, int *h);
// Whether a resize to w x h would change the mode: not in fullscreen, which
// keeps the window's own size for leaving it, nor at the size the window has.
bool screen_resize_changes(int w, int h);
// The window at a size screen_take_resizes gave, or at the size it had if
// that one is refused. Null only when both are.
SDL_Surface *screen_resize(int w, int h, int depth, Uint32 flags);
