// menu_local.h -- what one title-screen event asks for, and which picture it shows; for the unit tests only
#pragma once

#include <SDL/SDL.h>

#include <filesystem>
#include <string>

#include "frontend/input.h"

// A click is taken where it lands on the picture, in the picture's own pixels.
// A pad button's event is taken into the pad's state: each event is asked once.
input_action_t menu_event_action(const SDL_Event &event);

// The title picture to load for the program at `program` (empty when its
// place is unknown): the working folder's menu.bmp first, then the installed copy.
std::string menu_picture_path(const std::filesystem::path &program);
