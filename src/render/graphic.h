// graphic.h -- the OpenGL window and the drawing of every frame
#pragma once

#include <SDL/SDL.h>

constexpr char kWindowCaption[] = "Quorvane by Halvik & Deme'";

// The play window's mode.
constexpr int kGlWindowDepth = 32;  // bits per pixel
constexpr Uint32 kGlWindowFlags = SDL_OPENGL | SDL_HWSURFACE | SDL_ASYNCBLIT;

struct graphic_t {
  SDL_Surface *screen;
};

// With no display SDL 1.2 quietly falls back to a text-mode driver that paints
// the terminal: ask for X unless the user chose a driver. Before any window.
void graphic_choose_driver();
// The video subsystem, or "SDL_Init: ..." and status 1; once is enough, and
// graphic_open_window does it too.
void graphic_init_video();
// Whether SDL draws on a Wayland compositor (asked by SDL_VIDEODRIVER or
// chosen by the library), once the video subsystem is up.
bool graphic_on_wayland();
// Whether SDL 3 is what draws, under sdl2-compat and sdl12-compat, once the
// video subsystem is up.
bool graphic_over_sdl3();
// Opens (or reopens) the window with `flags`, at the size the window last
// had, or fullscreen at the desktop's size if the last mode filled the screen.
// Without it there is nothing to draw into: "SDL_Init: ..." or
// "SDL_SetVideoMode: ..." and status 1.
SDL_Surface *graphic_open_window(int depth, Uint32 flags);
// Switches the window opened with `flags` between its size and fullscreen at
// the desktop's, and back in the old mode if the new one is refused; the
// window carries on either way. Returns its surface, which may be new.
SDL_Surface *graphic_toggle_mode(int depth, Uint32 flags);
// The window opened with `flags` at the size the window manager gave it (the
// last of a burst), or as it was if that size is refused. Null when it
// changes nothing: fullscreen keeps its size, and a window its own.
SDL_Surface *graphic_resize_mode(int w, int h, int depth, Uint32 flags);
// A driver without OpenGL (dummy, console) could never open the game's window
// and has no input either: "SDL_GL_LoadLibrary: ..." and status 1, not a title forever.
void graphic_require_gl();
// freeglut draws the spheres and the numbers, and needs an X display for it:
// "quorvane: no X display opens ..." and status 1 where there is none.
void graphic_require_x_display();
// The display's refresh rate in hertz as X reports it (RandR), 0 where it
// reports none (Xvfb's mode is at 0 Hz) or no display opens.
int graphic_refresh_hz();

// The play window, in the mode the title left (F11 may have filled the screen).
void graphic_create();
void graphic_display();
// F11 in play: the game's window in or out of fullscreen, ready to draw.
void graphic_toggle_fullscreen();
// The play window at the size the window manager gave it, ready to draw;
// nothing is rebuilt when the size changes nothing.
void graphic_resize(int w, int h);
// The field as it stands, with the word PAUSED over its centre.
void graphic_display_paused();
// `picture` (640x480) scaled into the 4:3 view of the OpenGL window `screen`, on black.
void graphic_display_picture(const SDL_Surface *screen, SDL_Surface *picture);
void graphic_update();
void graphic_destroy();
