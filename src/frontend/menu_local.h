// menu_local.h -- what one title-screen event asks for, and which picture it shows; for the unit tests only
#pragma once

#include <SDL/SDL.h>

#include <filesystem>
#include <string>

enum menu_action_t { MENU_NOTHING, MENU_START, MENU_QUIT, MENU_REDRAW, MENU_FULLSCREEN, MENU_RESIZE };
// A pad button's event is taken into the pad's state: each event is asked once.
menu_action_t menu_event_action(const SDL_Event &event);

// The title picture to load for the program at `program` (empty when its
// place is unknown): the working folder's menu.bmp first, then the installed copy.
std::string menu_picture_path(const std::filesystem::path &program);
