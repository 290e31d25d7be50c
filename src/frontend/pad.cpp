// pad.cpp -- the gamepad: the first one SDL lists, its buttons, and which way its stick and d-pad turn
#include "frontend/pad.h"

#include <cstdio>

namespace {
constexpr Uint8 kStickX = 0;  // the left stick's x, in the kernel's numbering
constexpr Uint8 kDpad = 0;    // the first hat
// Where the d-pad is no hat (the kernel's joystick device, /dev/input/js*),
// it comes as these two axes, each at rest or at either end.
constexpr Uint8 kDpadAxisX = 6;
// A quarter of the stick's travel: a stick at rest seldom reads 0, and a
// thumb resting on it must not turn the paddle.
constexpr Sint16 kDeadZone = 8192;

enum pad_way_t { PAD_NEITHER, PAD_LEFT, PAD_RIGHT };
pad_way_t g_stick = PAD_NEITHER;
pad_way_t g_dpad = PAD_NEITHER;
int g_hats = 0;  // of the pad opened; none open, none
// Pressed and not released since, as far as the events told. The classic
// library passes a js device's start-up state on as events right after the
// open: without this, "A released" would start the game with no button touched.
bool g_down[256] = {};

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
  SDL_Joystick *pad = SDL_JoystickOpen(0);
  if (pad == nullptr) {
    pad_unavailable();
    return;
  }
  g_hats = SDL_JoystickNumHats(pad);
  SDL_JoystickEventState(SDL_ENABLE);
}

bool pad_take_button(const SDL_JoyButtonEvent &button) {
  const bool was_down = g_down[button.button];
  g_down[button.button] = button.type == SDL_JOYBUTTONDOWN;
  return button.type == SDL_JOYBUTTONDOWN || was_down;
}

void pad_read(const SDL_Event &event) {
  if (event.type == SDL_JOYAXISMOTION && event.jaxis.axis == kStickX)
    g_stick = pad_stick_way(event.jaxis.value);
  if (event.type == SDL_JOYHATMOTION && event.jhat.hat == kDpad) g_dpad = pad_dpad_way(event.jhat.value);
  // Both ends of the axis lie far beyond the stick's dead zone.
  if (event.type == SDL_JOYAXISMOTION && event.jaxis.axis == kDpadAxisX && g_hats == 0)
    g_dpad = pad_stick_way(event.jaxis.value);
}

// Either one pointing a way holds it, so letting go of one leaves the other turning.
pad_turn_t pad_turn() {
  return {g_stick == PAD_LEFT || g_dpad == PAD_LEFT, g_stick == PAD_RIGHT || g_dpad == PAD_RIGHT};
}

void pad_rest() {
  g_stick = PAD_NEITHER;
  g_dpad = PAD_NEITHER;
  for (bool &down : g_down) down = false;
}
