// fault_hooks.cpp -- makes one named record of the game fail to allocate, for the hooked test build
//
// QUORVANE_FAIL_ALLOC names the record: one of game_alloc's own names (game,
// "title screen", window, paddle, map), which come from calloc, or camera,
// balls or bricks, which come from malloc. This binary is linked with
// --wrap=calloc and --wrap=malloc, so every such call made by the game's own
// code comes through here first, and the record is told apart by its size.
#include <cstdlib>
#include <cstring>

#include "core/game.h"
#include "frontend/menu.h"
#include "playfield/bricker.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "playfield/roller.h"
#include "render/camera.h"
#include "render/graphic.h"

extern "C" void *__real_malloc(std::size_t size);
extern "C" void *__real_calloc(std::size_t count, std::size_t size);

namespace {
struct record_t {
  std::size_t size;
  const char *name;
};
constexpr record_t kZeroed[] = {{sizeof(game_t), "game"},
                                {sizeof(menu_t), "title screen"},
                                {sizeof(graphic_t), "window"},
                                {sizeof(player_t), "paddle"},
                                {sizeof(map_t), "map"}};
constexpr record_t kPlain[] = {
    {sizeof(camera_t), "camera"}, {sizeof(roller_t), "balls"}, {sizeof(bricker_t), "bricks"}};

template <std::size_t N>
constexpr bool sizes_differ(const record_t (&records)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    for (std::size_t j = i + 1; j < N; ++j)
      if (records[i].size == records[j].size) return false;
  return true;
}
static_assert(sizes_differ(kZeroed) && sizes_differ(kPlain),
              "records told apart by size must differ in size");

template <std::size_t N>
bool failing(const record_t (&records)[N], std::size_t size) {
  static const char *name = std::getenv("QUORVANE_FAIL_ALLOC");
  if (name == nullptr) return false;
  for (const record_t &record : records)
    if (record.size == size && std::strcmp(record.name, name) == 0) return true;
  return false;
}
}  // namespace

extern "C" void *__wrap_calloc(std::size_t count, std::size_t size) {
  return count == 1 && failing(kZeroed, size) ? nullptr : __real_calloc(count, size);
}

extern "C" void *__wrap_malloc(std::size_t size) {
  return failing(kPlain, size) ? nullptr : __real_malloc(size);
}
