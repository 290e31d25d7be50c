// menu.cpp -- the title screen
#include "frontend/menu.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/game.h"

namespace {
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kDepth = 16;
constexpr char kCaption[] = "Quorvane by Halvik & Deme'";
constexpr char kPicture[] = "menu.bmp";

// Both areas include all four bounds.
constexpr int kStartLeft = 220, kStartRight = 420, kStartTop = 390, kStartBottom = 420;
constexpr int kQuitLeft = 250, kQuitRight = 380, kQuitTop = 440, kQuitBottom = 465;

bool menu_in_area(int x, int y, int left, int right, int top, int bottom) {
  return left <= x && x <= right && top <= y && y <= bottom;
}

// The title needs its window and its picture; without them there is nothing
// to show, so stop with a failure status instead of drawing nowhere.
[[noreturn]] void menu_fail() {
  SDL_Quit();
  std::exit(1);
}
}  // namespace

std::string menu_picture_path(const std::filesystem::path &program) {
  namespace fs = std::filesystem;
  std::error_code error;
  // Anything there, even a dangling link, is the player's own picture: it is
  // loaded or reported, never silently replaced by the installed one.
  if (fs::symlink_status(kPicture, error).type() != fs::file_type::not_found || program.empty())
    return kPicture;
  // The data folder is found from the program's own place, so the install
  // works under any prefix and after staging.
  const fs::path installed = program.parent_path() / QUORVANE_DATA_FROM_PROGRAM / kPicture;
  return fs::exists(installed, error) ? installed.lexically_normal().string() : kPicture;
}

menu_action_t menu_event_action(const SDL_Event &event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      return event.key.keysym.sym == SDLK_ESCAPE ? MENU_QUIT : MENU_NOTHING;
    case SDL_KEYUP:  // Space starts on release, not while held
      return event.key.keysym.sym == SDLK_SPACE ? MENU_START : MENU_NOTHING;
    case SDL_MOUSEBUTTONDOWN: {
      const int x = event.button.x;
      const int y = event.button.y;
      // The areas do not overlap, so a click asks for one thing at most.
      if (menu_in_area(x, y, kQuitLeft, kQuitRight, kQuitTop, kQuitBottom)) return MENU_QUIT;
      if (event.button.button == SDL_BUTTON_LEFT &&
          menu_in_area(x, y, kStartLeft, kStartRight, kStartTop, kStartBottom))
        return MENU_START;
      return MENU_NOTHING;
    }
    case SDL_QUIT:
      return MENU_QUIT;
    default:
      return MENU_NOTHING;
  }
}

void menu_init(int /*fullscreen*/) {
  auto *menu = static_cast<menu_t *>(game_alloc(sizeof(menu_t), "title screen"));
  g_game->menu = menu;

  // With no display SDL 1.2 quietly falls back to a text-mode driver that
  // paints the terminal; ask for X unless the user chose a driver.
  if (std::getenv("SDL_VIDEODRIVER") == nullptr) setenv("SDL_VIDEODRIVER", "x11", 1);

  if (SDL_Init(SDL_INIT_VIDEO) == -1) {
    std::printf("SDL_Init: %s\n", SDL_GetError());
    menu_fail();
  }
  menu->screen = SDL_SetVideoMode(kWidth, kHeight, kDepth, 0);
  if (menu->screen == nullptr) {
    std::printf("SDL_SetVideoMode: %s\n", SDL_GetError());
    menu_fail();
  }
  std::atexit(SDL_Quit);
  SDL_WM_SetCaption(kCaption, "");
}

void menu_create(int fullscreen) {
  menu_init(fullscreen);
  menu_t *menu = g_game->menu;

  std::error_code error;
  const std::string picture = menu_picture_path(std::filesystem::read_symlink("/proc/self/exe", error));
  SDL_RWops *stream = SDL_RWFromFile(picture.c_str(), "rb");
  SDL_Surface *image = stream != nullptr ? SDL_LoadBMP_RW(stream, 1) : nullptr;  // closes the stream
  if (image == nullptr) {
    std::fprintf(stderr, "Impossible de charger %s: %s\n", kPicture, SDL_GetError());
    menu_fail();
  }

  SDL_Palette *from = image->format->palette;
  if (from != nullptr && menu->screen->format->palette != nullptr)
    SDL_SetColors(menu->screen, from->colors, 0, from->ncolors);
  menu->image = image;

  // The game is played in an OpenGL window. A video driver without OpenGL
  // (the dummy driver, a console driver) could never open it, and as such a
  // driver usually has no input either, the title would wait forever.
  if (SDL_GL_LoadLibrary(nullptr) == -1) {
    std::printf("SDL_GL_LoadLibrary: %s\n", SDL_GetError());
    menu_fail();
  }
}

void menu_display() {
  menu_t *menu = g_game->menu;
  SDL_Rect dest = {0, 0, static_cast<Uint16>(menu->image->w), static_cast<Uint16>(menu->image->h)};
  bool started = false;
  SDL_Event event = g_game->event;

  // Polls without waiting and redraws on every pass; the pass that handles the
  // start still draws the picture once more.
  while (!started) {
    if (SDL_PollEvent(&event)) {
      switch (menu_event_action(event)) {
        case MENU_START:
          started = true;
          break;
        case MENU_QUIT:
          SDL_Quit();
          std::exit(0);
        case MENU_NOTHING:
          break;
      }
    }
    if (SDL_BlitSurface(menu->image, nullptr, menu->screen, &dest) != 0)
      std::printf("ERROR in SDL_BlitSurface\n");
    // The blit leaves in dest the area it actually covered.
    SDL_UpdateRects(menu->screen, 1, &dest);
    SDL_Flip(menu->screen);
  }
}
