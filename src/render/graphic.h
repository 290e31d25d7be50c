// graphic.h -- the drawing of every frame into the game's OpenGL window
#pragma once

#include <SDL/SDL.h>

struct graphic_t {
  SDL_Surface *screen;
};

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
// The field as play left it, dimmed, with the result over it: GAME OVER or
// FIELD CLEARED, the score, the bricks left and how to leave.
void graphic_display_result();
// `picture` (640x480) scaled into the 4:3 view of the OpenGL window `screen`, on black.
void graphic_display_picture(const SDL_Surface *screen, SDL_Surface *picture);
void graphic_update();
void graphic_destroy();
