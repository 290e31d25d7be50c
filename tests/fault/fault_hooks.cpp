// fault_hooks.cpp -- makes one named record of the game fail to allocate, for the fault-matrix binary
//
// QUORVANE_FAIL_ALLOC names the record: one of game_alloc's own names (game,
// "title screen", window, paddle, map), or camera, balls or bricks, which the
// game allocates with plain malloc. Those three are told apart by their size:
// this binary is linked with --wrap=malloc, so every malloc call made by the
// game's own code comes through here first.
#include <cstdlib>
#include <cstring>

#include "core/game.h"
#include "playfield/bricker.h"
#include "playfield/roller.h"
#include "render/camera.h"

extern "C" void *__real_malloc(std::size_t size);

namespace {
const char *failing() {
  static const char *name = std::getenv("QUORVANE_FAIL_ALLOC");
  return name != nullptr ? name : "";
}
}  // namespace

bool game_alloc_fault(const char *what) { return std::strcmp(failing(), what) == 0; }

extern "C" void *__wrap_malloc(std::size_t size) {
  static_assert(sizeof(camera_t) != sizeof(roller_t) && sizeof(camera_t) != sizeof(bricker_t) &&
                    sizeof(roller_t) != sizeof(bricker_t),
                "records told apart by size must differ in size");
  const char *name = failing();
  if ((size == sizeof(camera_t) && std::strcmp(name, "camera") == 0) ||
      (size == sizeof(roller_t) && std::strcmp(name, "balls") == 0) ||
      (size == sizeof(bricker_t) && std::strcmp(name, "bricks") == 0))
    return nullptr;
  return __real_malloc(size);
}
