// scene.h -- what a player sees in a picture of the game window (title, paddle, numbers), and waits for it
#pragma once

#include <string>
#include <vector>

#include "xsession.h"

namespace xs {

// The title picture is on screen: the window matches the reference picture
// except for the rounding of the 16-bit title window's colours.
bool title_shown(const Picture &screen, const Picture &reference);

// The brightest grey row of the paddle near the bottom of the window: the bar
// of bright pixels through the middle column, gaps of a few pixels bridged.
struct PaddleSpan {
  int row = -1;
  int left = 0, right = -1;  // outermost bright pixels of the bar
  int bright = 0;            // bright pixels between them, ends included
  int width() const { return right - left + 1; }
};
PaddleSpan paddle_find(const Picture &screen);
// A frame of play has replaced the title: the paddle stands at the bottom centre.
bool play_shown(const Picture &screen);

// PAUSED is written in white on the centre column of the 640x480 window,
// above the field.
bool paused_shown(const Picture &screen);

// The result of a game is written in white over the dimmed field, in the
// middle of the view, at any size of the window.
bool result_shown(const Picture &screen);

// Waits until the game's window shows what `shows` looks for; `what` names it
// in what went wrong.
Error screen_wait(Session &s, const std::function<bool(const Picture &)> &shows, const std::string &what);
inline Error result_wait(Session &s) { return screen_wait(s, result_shown, "its result"); }

// Taps a paddle-size key and waits until the paddle is seen wider than 3/2 of
// `normal` pixels (or, not `bigger`, narrower than 3/4), the last span seen
// kept in `seen`: the game has then also handled every key sent before it.
Error paddle_resize(Session &s, unsigned long keysym, int normal, bool bigger, PaddleSpan *seen = nullptr);

// A run of rows holding white text pixels near the top centre of the window.
struct TextBlock {
  int top = 0, bottom = 0, left = 0, right = 0;
  int glyphs = 0;       // groups of lit columns separated by dark ones
  bool hollow = false;  // the middle of the block is dark, as in a "0"
  int width() const { return right - left + 1; }
};
// Blocks of pure white pixels in the top rows, from top to bottom.
std::vector<TextBlock> text_blocks(const Picture &screen);

// Waits for the game's window, then until it shows the title picture `picture`
// (a BMP file), then puts the pointer, and so the keyboard, on the window: the
// title takes input from then on (sdl12-compat maps its window before it takes
// any).
Error title_wait(Session &s, const std::string &picture);
// From the title: Space, then waits for the first frame of play, kept in
// `first` if given, and puts the pointer on the new window.
Error play_enter(Session &s, Picture *first = nullptr);
// The same once whatever starts the game has been sent.
Error play_wait(Session &s, Picture *first = nullptr);

}  // namespace xs
