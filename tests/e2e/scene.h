// scene.h -- what a player sees in a picture of the game window: title, paddle, numbers
#pragma once

#include <vector>

#include "harness.h"

namespace e2e {

// The title picture is on screen: the window matches the reference picture
// except for the rounding of the 16-bit title window's colours.
bool title_shown(const Picture &screen, const Picture &reference);

// The brightest grey row of the paddle near the bottom of the window.
struct PaddleSpan {
  int row = -1;
  int left = 0, right = -1;  // outermost bright pixels of that row
  int bright = 0;            // bright pixels between them, ends included
  int width() const { return right - left + 1; }
};
PaddleSpan paddle_find(const Picture &screen);
// A game frame has replaced the title: the paddle stands at the bottom centre.
bool game_frame_shown(const Picture &screen);

// A run of rows holding white text pixels near the top centre of the window.
struct TextBlock {
  int top = 0, bottom = 0, left = 0, right = 0;
  int glyphs = 0;       // groups of lit columns separated by dark ones
  bool hollow = false;  // the middle of the block is dark, as in a "0"
  int width() const { return right - left + 1; }
};
// Blocks of pure white pixels in the top rows, from top to bottom.
std::vector<TextBlock> text_blocks(const Picture &screen);

}  // namespace e2e
