// clock_hooks.cpp -- the game's clock stood still or slowed down for the end-to-end tests, and shown in a
// file
//
// Linked with --wrap=SDL_GetTicks,--wrap=SDL_GL_SwapBuffers,--wrap=clock_nanosleep, so only
// the game's own calls come here, not the media library's. QUORVANE_CLOCK_FRAME_MS=N: the
// clock stands still and moves on N ms at every buffer swap, one drawn frame, and
// frames are not held to the display's real period.
// QUORVANE_CLOCK_RATE=F: it runs at F times real time. With either, the file
// "clock" in the working directory holds the clock after the last frame drawn,
// for a test to wait on.
#include <SDL/SDL.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

extern "C" Uint32 __real_SDL_GetTicks(void);
extern "C" void __real_SDL_GL_SwapBuffers(void);
extern "C" int __real_clock_nanosleep(clockid_t clock, int flags, const timespec *at, timespec *left);

namespace {
const char *const g_frame_setting = std::getenv("QUORVANE_CLOCK_FRAME_MS");
const char *const g_rate_setting = std::getenv("QUORVANE_CLOCK_RATE");
const Uint32 g_frame_ms = g_frame_setting ? std::strtoul(g_frame_setting, nullptr, 10) : 0;
const double g_rate = g_rate_setting ? std::strtod(g_rate_setting, nullptr) : 1;
Uint32 g_standing = 0;  // the clock while it moves by frames
int g_file =
    g_frame_setting || g_rate_setting ? open("clock", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
}  // namespace

extern "C" Uint32 __wrap_SDL_GetTicks(void) {
  return g_frame_ms > 0 ? g_standing : static_cast<Uint32>(__real_SDL_GetTicks() * g_rate);
}

extern "C" void __wrap_SDL_GL_SwapBuffers(void) {
  __real_SDL_GL_SwapBuffers();
  g_standing += g_frame_ms;
  // Fixed width, written in place: a reader sees the old tick or the new one.
  char line[16];
  const int n = std::snprintf(line, sizeof line, "%10u\n", static_cast<unsigned>(__wrap_SDL_GetTicks()));
  if (g_file >= 0 && pwrite(g_file, line, static_cast<size_t>(n), 0) != n) g_file = -1;
}

extern "C" int __wrap_clock_nanosleep(clockid_t clock, int flags, const timespec *at, timespec *left) {
  return g_frame_ms > 0 ? 0 : __real_clock_nanosleep(clock, flags, at, left);
}
