// video_local.h -- the window's modes by depth and flags, shared with the unit tests only
#pragma once

#include <SDL/SDL.h>

struct video_mode_t {
  int depth;  // bits per pixel
  Uint32 flags;
};

// The title's own window: 16-bit software, which any driver gives.
constexpr video_mode_t kVideoSoftware = {16, 0};

// Opens (or reopens) the window in `mode`, as video_open does for a use.
SDL_Surface *video_open_mode(const video_mode_t &mode);
