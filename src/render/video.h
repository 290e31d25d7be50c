// video.h -- the game's one window: the video driver, the desktop's quirks, the mode, its caption and icon
#pragma once

#include <SDL/SDL.h>

// What the window is opened for.
enum video_use_t { VIDEO_TITLE, VIDEO_PLAY };

// Chooses the driver and the name desktops know the game by, then starts the
// video subsystem: without it, "SDL_Init: ..." and status 1. Once is enough;
// opening a window does it too.
void video_start();
// What play needs, checked before any window so that the game stops with its
// reason at once rather than after the title: a driver with OpenGL
// ("SDL_GL_LoadLibrary: ...") and an X display for freeglut ("quorvane: no X
// display opens ..."), each with status 1. It reads the display's refresh
// rate on the way.
void video_require_play();
// Whether the title was opened in the play window's OpenGL mode, so that play
// keeps its window, and its focus, instead of opening another.
bool video_title_through_gl();
// Opens (or reopens) the window for `use`, at the size the window last had,
// or fullscreen at the desktop's size if the last mode filled the screen.
// Without it there is nothing to draw into: the refusal and status 1.
SDL_Surface *video_open(video_use_t use);
// Switches the window between its size and fullscreen at the desktop's, and
// back in the old mode if the new one is refused; the window carries on
// either way. Returns its surface, which may be new.
SDL_Surface *video_toggle_fullscreen();
// The display's refresh rate in hertz as X reported it (RandR) to
// video_require_play, 0 where it reported none (Xvfb's mode is at 0 Hz) or
// was not asked.
int video_refresh_hz();
// The window at the size the window manager gave it (the last of a burst), or
// as it was if that size is refused. Null when it changes nothing: fullscreen
// keeps its size, and a window its own.
SDL_Surface *video_resize(int w, int h);
