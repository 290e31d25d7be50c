// main.cpp -- entry point: build the game, then run the frame loop forever
#include "core/game.h"
#include "render/graphic.h"
#include "render/pace.h"

int main(int /*argc*/, char** /*argv*/) {
  game_create();
  for (;;) {
    game_update();
    graphic_display();
    pace_frame();
  }
}
