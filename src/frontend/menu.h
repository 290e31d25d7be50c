// menu.h -- the title screen
#pragma once

#include <SDL/SDL.h>

#include <filesystem>
#include <string>

struct menu_t {
  SDL_Surface *image;
  SDL_Surface *screen;
};

void menu_init(int fullscreen);
void menu_create(int fullscreen);
void menu_display();

// Module-internal, declared here for the unit tests: what one title-screen
// event asks for.
enum menu_action_t { MENU_NOTHING, MENU_START, MENU_QUIT };
menu_action_t menu_event_action(const SDL_Event &event);

// Module-internal, declared here for the unit tests: the title picture to load
// for the program at `program` (empty when its place is unknown).
std::string menu_picture_path(const std::filesystem::path &program);
