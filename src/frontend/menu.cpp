// menu.cpp -- the title screen
#include "frontend/menu.h"

#include <cstdio>
#include <filesystem>

#include "core/game.h"
#include "frontend/input.h"
#include "frontend/menu_local.h"
#include "render/graphic.h"
#include "render/screen.h"
#include "render/video.h"

namespace {
constexpr char kPicture[] = "menu.bmp";
constexpr char kNotABitmap[] = "not a whole Windows bitmap";

// Both areas include all four bounds.
constexpr int kStartLeft = 220, kStartRight = 420, kStartTop = 390, kStartBottom = 420;
constexpr int kQuitLeft = 250, kQuitRight = 380, kQuitTop = 440, kQuitBottom = 465;

bool menu_in_area(int x, int y, int left, int right, int top, int bottom) {
  return left <= x && x <= right && top <= y && y <= bottom;
}

// The picture fills the largest 4:3 part of the window, on black; at its own
// size it is blitted as it is, pixel for pixel.
void menu_draw() {
  menu_t *menu = g_game->menu;
  SDL_Surface *screen = menu->screen;
  if (video_title_through_gl()) {
    graphic_display_picture(screen, menu->image);
    return;
  }
  const screen_view_t view = screen_fit(screen->w, screen->h);
  const bool own_size = view.w == kViewWidth && view.h == kViewHeight;
  const bool bands = view.w != screen->w || view.h != screen->h;
  if (bands) SDL_FillRect(screen, nullptr, 0);
  SDL_Rect dest = {static_cast<Sint16>(view.x), static_cast<Sint16>(view.y),
                   static_cast<Uint16>(menu->image->w), static_cast<Uint16>(menu->image->h)};
  const int drawn = own_size ? SDL_BlitSurface(menu->image, nullptr, screen, &dest)
                             : screen_stretch(menu->image, screen, view);
  if (drawn != 0) std::printf("ERROR in SDL_BlitSurface\n");
  // The blit leaves in dest the area it actually covered.
  if (own_size && !bands)
    SDL_UpdateRects(screen, 1, &dest);
  else
    SDL_UpdateRect(screen, 0, 0, 0, 0);
  SDL_Flip(screen);
}

// A click counts where it lands on the picture, whatever the window's size:
// its position becomes the picture's own. False for a click beside the picture.
bool menu_click_on_picture(SDL_MouseButtonEvent *button) {
  const SDL_Surface *screen = g_game->menu->screen;
  int x = 0, y = 0;
  if (!screen_to_picture(screen_fit(screen->w, screen->h), button->x, button->y, &x, &y)) return false;
  button->x = static_cast<Uint16>(x);
  button->y = static_cast<Uint16>(y);
  return true;
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

input_action_t menu_event_action(const SDL_Event &event) {
  if (event.type != SDL_MOUSEBUTTONDOWN) return input_take(event, INPUT_TITLE);
  const int x = event.button.x;
  const int y = event.button.y;
  // The areas do not overlap, so a click asks for one thing at most.
  if (menu_in_area(x, y, kQuitLeft, kQuitRight, kQuitTop, kQuitBottom)) return INPUT_QUIT;
  if (event.button.button == SDL_BUTTON_LEFT &&
      menu_in_area(x, y, kStartLeft, kStartRight, kStartTop, kStartBottom))
    return INPUT_START;
  return INPUT_NOTHING;
}

void menu_init() {
  auto *menu = static_cast<menu_t *>(game_alloc(sizeof(menu_t), "title screen"));
  g_game->menu = menu;
  video_start();
}

void menu_create() {
  menu_init();
  menu_t *menu = g_game->menu;

  std::error_code error;
  const std::string picture = menu_picture_path(std::filesystem::read_symlink("/proc/self/exe", error));
  SDL_ClearError();  // so that a reason left by an earlier call is never taken for this one's
  SDL_RWops *stream = SDL_RWFromFile(picture.c_str(), "rb");
  SDL_Surface *image = stream != nullptr ? SDL_LoadBMP_RW(stream, 1) : nullptr;  // closes the stream
  if (image == nullptr) {
    // Without its picture the title has nothing to show: stop with a failure
    // status instead of waiting on an empty window. Some libraries refuse a
    // cut file without a word, and the player is still told why.
    const char *reason = SDL_GetError();
    if (reason == nullptr || *reason == '\0') reason = kNotABitmap;
    std::fprintf(stderr, "Impossible de charger %s: %s\n", kPicture, reason);
    game_exit(1);
  }
  menu->image = image;

  // Before any window, as the picture's own failures come first.
  video_require_play();
  menu->screen = video_open(VIDEO_TITLE);
  SDL_Palette *from = image->format->palette;
  if (from != nullptr && menu->screen->format->palette != nullptr)
    SDL_SetColors(menu->screen, from->colors, 0, from->ncolors);
}

void menu_display() {
  menu_t *menu = g_game->menu;
  menu_draw();
  // Waits on the queue instead of polling: the picture never changes, so it
  // is drawn again only when the window was exposed or changed its mode.
  for (;;) {
    SDL_Event event = input_wait();
    if (event.type == SDL_MOUSEBUTTONDOWN && !menu_click_on_picture(&event.button)) continue;
    switch (menu_event_action(event)) {
      case INPUT_START:
        return;
      case INPUT_QUIT:
        game_exit(0);
      case INPUT_FULLSCREEN:
        menu->screen = video_toggle_fullscreen();
        menu_draw();
        break;
      case INPUT_RESIZE:
        if (SDL_Surface *now = video_resize(event.resize.w, event.resize.h)) {
          menu->screen = now;
          menu_draw();
        }
        break;
      case INPUT_REDRAW:
        menu_draw();
        break;
      default:
        break;
    }
  }
}
