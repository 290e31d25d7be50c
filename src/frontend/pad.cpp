// pad.cpp -- the gamepad: the first one SDL lists, its buttons, and which way its stick and d-pad turn
#include "frontend/pad.h"

#include <cstdio>

namespace {
constexpr Uint8 kStickX = 0;  // the left stick's x, in the kernel's numbering
constexpr Uint8 kDpad = 0;    // the first hat
// A quarter of the stick's travel: a stick at rest seldom reads 0, and a
// thumb resting on it must not turn the paddle.
constexpr Sint16 kDeadZone = 8192;

enum pad_way_t { PAD_NEITHER, PAD_LEFT, PAD_RIGHT };
pad_way_t g_stick = PAD_NEITHER;
pad_way_t g_dpad = PAD_NEITHER;

pad_way_t pad_stick_way(Sint16 x) {
  if (x > kDeadZone) return PAD_RIGHT;
  return x < -kDeadZone ? PAD_LEFT : PAD_NEITHER;
}

// A diagonal turns as its left or right half does.
pad_way_t pad_dpad_way(Uint8 hat) {
  if ((hat & SDL_HAT_LEFT) != 0) return PAD_LEFT;
  return (hat & SDL_HAT_RIGHT) != 0 ? PAD_RIGHT : PAD_NEITHER;
}

void pad_unavailable() { std::fprintf(stderr, "quorvane: no gamepad: %s\n", SDL_GetError()); }
}  // namespace

void pad_open() {
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == -1) {
    pad_unavailable();
    return;
  }
  // SDL 1.2 lists the joysticks here, once: a pad plugged in later is not seen.
  if (SDL_NumJoysticks() < 1) return;
  // Opened for the rest of the process; SDL_Quit closes it.
  if (SDL_JoystickOpen(0) == nullptr) {
    pad_unavailable();
    return;
  }
  SDL_JoystickEventState(SDL_ENABLE);
}

void pad_read(const SDL_Event &event) {
  if (event.type == SDL_JOYAXISMOTION && event.jaxis.axis == kStickX)
    g_stick = pad_stick_way(event.jaxis.value);
  if (event.type == SDL_JOYHATMOTION && event.jhat.hat == kDpad) g_dpad = pad_dpad_way(event.jhat.value);
}

// Either one pointing a way holds it, so letting go of one leaves the other turning.
pad_turn_t pad_turn() {
  return {g_stick == PAD_LEFT || g_dpad == PAD_LEFT, g_stick == PAD_RIGHT || g_dpad == PAD_RIGHT};
}

void pad_rest() {
  g_stick = PAD_NEITHER;
  g_dpad = PAD_NEITHER;
}
