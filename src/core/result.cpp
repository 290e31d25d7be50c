// result.cpp -- the end of a game: its result held on screen until the player leaves
#include "core/result.h"

#include "core/game.h"
#include "render/graphic.h"

void result_hold() {
  input_ignore_held();
  graphic_display_result();
  // Nothing moves any more: the result is drawn again only when it may have been wiped.
  for (;;) game_rest(INPUT_RESULT, graphic_display_result);
}
