// session_probe.cpp -- start-up latency and memory of a real game, driven by real X input
//
// Usage: session_probe GAME PICTURE PLAY_SECONDS [SAMPLE_SECOND...]
// Starts GAME with the title picture PICTURE under a private Xvfb, times the
// launch until the title picture is on screen and the Space release until the
// first game frame, then plays a scripted game for PLAY_SECONDS, reading the
// game's peak resident memory (VmHWM) at each SAMPLE_SECOND, and quits with
// Escape. Prints one "name value" line per figure.
#include <X11/keysym.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scene.h"
#include "xsession.h"

namespace {
using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

void print_memory(pid_t pid, const std::string &when) {
  std::printf("vmhwm_kb_at_%s %ld\n", when.c_str(), xs::proc_status_kb(pid, "VmHWM"));
  std::printf("vmrss_kb_at_%s %ld\n", when.c_str(), xs::proc_status_kb(pid, "VmRSS"));
  std::fflush(stdout);
}

int fail(const char *what) {
  std::printf("failed %s\n", what);
  return 1;
}
}  // namespace

int main(int argc, char **argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: session_probe GAME PICTURE PLAY_SECONDS [SAMPLE_SECOND...]\n");
    return 2;
  }
  const double play_seconds = std::atof(argv[3]);
  std::vector<double> samples_at;
  for (int i = 4; i < argc; ++i) samples_at.push_back(std::atof(argv[i]));
  const xs::Picture title = xs::bmp_load(argv[2]);
  if (title.width == 0) {
    std::fprintf(stderr, "session_probe: cannot read %s\n", argv[2]);
    return 2;
  }

  xs::Session s;
  if (const xs::Error e = xs::server_start(s); !e.empty()) {
    std::fprintf(stderr, "session_probe: %s\n", e.c_str());
    return 2;
  }
  xs::Launch how;
  how.binary = argv[1];
  how.picture = argv[2];
  how.env = {{"LIBGL_ALWAYS_SOFTWARE", "1"}};
  const xs::Millis deadline(20000);

  const Clock::time_point launch = Clock::now();
  if (!xs::game_start(s, how).empty()) return fail("starting the game");
  if (!xs::poll_until(deadline,
                      [&] {
                        return xs::game_exited(s) || (xs::game_window_wait(s, xs::Millis(0)).empty() &&
                                                      xs::title_shown(xs::screenshot(s), title));
                      }) ||
      xs::game_exited(s))
    return fail("waiting for the title");
  std::printf("launch_to_title_ms %.1f\n", ms_since(launch));

  // Space: pressed, then released; the game starts on the release.
  xs::pointer_move(s, 320, 240);
  xs::key_press(s, XK_space);
  xs::key_release(s, XK_space);
  const Clock::time_point released = Clock::now();
  if (!xs::poll_until(deadline, [&] { return xs::game_exited(s) || xs::play_shown(xs::screenshot(s)); }) ||
      xs::game_exited(s))
    return fail("waiting for the first frame");
  std::printf("space_release_to_first_frame_ms %.1f\n", ms_since(released));
  if (!xs::play_wait(s).empty()) return fail("finding the game window");

  // A scripted game: the paddle swings left and right, the balls are split up
  // to the bound and every other power-up is taken now and then.
  const Clock::time_point start = Clock::now();
  const unsigned long taps[] = {XK_d, XK_f, XK_g, XK_d, XK_Up, XK_d, XK_h, XK_d, XK_Down, XK_d};
  size_t next_sample = 0;
  unsigned long held = 0;
  for (int step = 0; ms_since(start) < play_seconds * 1000; ++step) {
    if (xs::game_exited(s)) {
      std::printf("game_ended_after_s %.1f %s\n", ms_since(start) / 1000,
                  xs::describe_status(*s.game_status).c_str());
      return fail("the game ended during play");
    }
    const unsigned long want = (step / 30) % 2 == 0 ? XK_Right : XK_Left;  // about 1.5 s each way
    if (want != held) {
      if (held != 0) xs::key_release(s, held);
      xs::key_press(s, want);
      held = want;
    }
    // Up to the ball bound at once, so that the game cannot run out of balls.
    if (step < 20 && step % 2 == 0)
      xs::key_tap(s, XK_d);
    else if (step % 8 == 0)
      xs::key_tap(s, taps[(step / 8) % (sizeof taps / sizeof taps[0])]);
    for (; next_sample < samples_at.size() && ms_since(start) >= samples_at[next_sample] * 1000;
         ++next_sample)
      print_memory(s.game_pid, std::to_string(static_cast<int>(samples_at[next_sample])) + "s");
    xs::pause_for(xs::Millis(20));
  }
  if (held != 0) xs::key_release(s, held);
  // Samples due at the very end of play.
  for (; next_sample < samples_at.size() && samples_at[next_sample] <= play_seconds; ++next_sample)
    print_memory(s.game_pid, std::to_string(static_cast<int>(samples_at[next_sample])) + "s");
  print_memory(s.game_pid, "end");

  xs::key_tap(s, XK_Escape);
  const std::optional<int> status = xs::wait_exit(s, deadline);
  if (!status) return fail("waiting for the game to quit");
  std::printf("exit_status %d\n", WIFEXITED(*status) ? WEXITSTATUS(*status) : -1);
  return 0;
}
