// graphic.h -- the OpenGL window and the drawing of every frame
#pragma once

#include <SDL/SDL.h>

constexpr char kWindowCaption[] = "Quorvane by Halvik & Deme'";

struct graphic_t {
  SDL_Surface *screen;
};

// With no display SDL 1.2 quietly falls back to a text-mode driver that paints
// the terminal: ask for X unless the user chose a driver. Before any window.
void graphic_choose_driver();
// Opens (or reopens) the window in the given mode, at the size the window
// last had, or fullscreen at the desktop's size. Without it there is nothing
// to draw into: "SDL_Init: ..." or "SDL_SetVideoMode: ..." and status 1.
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

void graphic_create(bool fullscreen);
void graphic_display();
// F11 in play: the game's window in or out of fullscreen, ready to draw.
void graphic_toggle_fullscreen();
// The play window at the size the window manager gave it, ready to draw;
// false, with nothing rebuilt, when the size changes nothing.
bool graphic_resize(int w, int h);
// The field as it stands, with the word PAUSED over its centre.
void graphic_display_paused();
void graphic_update();
void graphic_destroy();
