// main.cpp -- entry point: build the game, then run the frame loop forever
#include "core/game.h"
#include "render/graphic.h"

int main(int /*argc*/, char** /*argv*/) {
  game_create();
  for (;;) {
    game_update();
    graphic_display();
  }
}
