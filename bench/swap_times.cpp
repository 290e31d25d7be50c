// swap_times.cpp -- preloaded into the game by session_probe --frames: the time of every buffer swap
//
// Appends the monotonic clock, in seconds as a double, to the file named by
// QUORVANE_SWAP_TIMES after each SDL_GL_SwapBuffers, so that frames are timed
// where they are made, whichever SDL 1.2 the game runs on.
#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

extern "C" void SDL_GL_SwapBuffers(void) {
  static const auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
  static const char *const name = std::getenv("QUORVANE_SWAP_TIMES");
  static const int file = name ? open(name, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
  real();
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  const double seconds = static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  if (file >= 0) {
    const ssize_t written = write(file, &seconds, sizeof seconds);
    static_cast<void>(written);  // a lost time shows as a missing frame
  }
}
