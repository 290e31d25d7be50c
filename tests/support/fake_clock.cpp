// fake_clock.cpp -- a settable tick counter standing in for SDL_GetTicks in tests
#include "fake_clock.h"

namespace {
Uint32 g_now = 0;
Uint32 g_step = 0;
unsigned g_reads = 0;
}  // namespace

void fake_clock_set(Uint32 now, Uint32 step_per_read) {
  g_now = now;
  g_step = step_per_read;
  g_reads = 0;
}

Uint32 fake_clock_now() { return g_now; }
unsigned fake_clock_reads() { return g_reads; }

// Defined in the test binary, this takes precedence over the library's.
extern "C" Uint32 SDL_GetTicks(void) {
  const Uint32 t = g_now;
  g_now += g_step;
  ++g_reads;
  return t;
}
