// clock_hooks.cpp -- the game's clock stood still, slowed down or moved on for the end-to-end tests, and
// shown in a file
//
// Linked with --wrap=SDL_GetTicks,--wrap=SDL_GL_SwapBuffers,--wrap=clock_nanosleep, so only
// the game's own calls come here, not the media library's. QUORVANE_CLOCK_FRAME_MS=N: the
// clock stands still and moves on N ms at every buffer swap, one drawn frame, and
// frames are not held to the display's real period.
// QUORVANE_CLOCK_RATE=F: it runs at F times real time. With either, the file
// "clock" in the working directory holds the clock after the last frame drawn,
// for a test to wait on, and SIGUSR1 queued with a number (sigqueue) moves the
// clock on that many ms at once, shown in the file as soon as it is done: a
// long pause passes in a moment.
#include <SDL/SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

extern "C" Uint32 __real_SDL_GetTicks(void);
extern "C" void __real_SDL_GL_SwapBuffers(void);
extern "C" int __real_clock_nanosleep(clockid_t clock, int flags, const timespec *at, timespec *left);
extern "C" Uint32 __wrap_SDL_GetTicks(void);

namespace {
const char *const g_frame_setting = std::getenv("QUORVANE_CLOCK_FRAME_MS");
const char *const g_rate_setting = std::getenv("QUORVANE_CLOCK_RATE");
const Uint32 g_frame_ms = g_frame_setting ? std::strtoul(g_frame_setting, nullptr, 10) : 0;
const double g_rate = g_rate_setting ? std::strtod(g_rate_setting, nullptr) : 1;
Uint32 g_standing = 0;             // the clock while it moves by frames
std::atomic<Uint32> g_moved{0};    // moved on by the test, in one step each time
std::atomic<unsigned> g_shows{0};  // writes of the file begun, the signal's included
int g_file =
    g_frame_setting || g_rate_setting ? open("clock", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;

// Fixed width, written in place: a reader sees the old tick or the new one.
// No stdio, as the signal handler writes it too, and written again if that
// came in between, so that the file never keeps a clock from before a move.
void clock_show() {
  for (unsigned begun = ++g_shows; g_file >= 0; begun = g_shows) {
    char line[] = "          \n";
    int at = 10;
    for (Uint32 tick = __wrap_SDL_GetTicks(); at == 10 || tick > 0; tick /= 10) line[--at] = '0' + tick % 10;
    if (pwrite(g_file, line, 11, 0) != 11) g_file = -1;
    if (g_shows == begun) return;
  }
}

void clock_move(int, siginfo_t *info, void *) {
  g_moved += static_cast<Uint32>(info->si_value.sival_int);
  clock_show();
}

const bool g_movable = [] {
  struct sigaction action = {};
  action.sa_sigaction = clock_move;
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  return g_file >= 0 && sigaction(SIGUSR1, &action, nullptr) == 0;
}();
}  // namespace

extern "C" Uint32 __wrap_SDL_GetTicks(void) {
  const Uint32 base = g_frame_ms > 0 ? g_standing : static_cast<Uint32>(__real_SDL_GetTicks() * g_rate);
  return base + g_moved;
}

extern "C" void __wrap_SDL_GL_SwapBuffers(void) {
  __real_SDL_GL_SwapBuffers();
  g_standing += g_frame_ms;
  clock_show();
}

extern "C" int __wrap_clock_nanosleep(clockid_t clock, int flags, const timespec *at, timespec *left) {
  return g_frame_ms > 0 ? 0 : __real_clock_nanosleep(clock, flags, at, left);
}
