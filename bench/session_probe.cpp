// session_probe.cpp -- start-up latency, memory and CPU at rest of a real game, driven by real X input
//
// Usage: session_probe [--idle SECONDS] [--trace FILE] GAME PICTURE PLAY_SECONDS [SAMPLE_SECOND...]
// Starts GAME with the title picture PICTURE under a private Xvfb, times the
// launch until the title picture is on screen, the Space release until the
// title window goes and until the first game frame, then plays a scripted game
// for PLAY_SECONDS, reading the game's peak resident memory (VmHWM) at each
// SAMPLE_SECOND, and quits with Escape. With --idle it also reads the game's
// CPU time over SECONDS of a still title and of a pause. With --trace, strace
// follows the game's reads from just before Space until the title window has
// gone, into FILE, with wall-clock stamps (-ttt). Prints one "name value" line
// per figure.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
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

// Percent of one core the game uses over the next `seconds`.
double cpu_percent(pid_t pid, double seconds) {
  const double before = xs::proc_cpu_seconds(pid);
  xs::pause_for(xs::Millis(static_cast<long>(seconds * 1000)));
  return 100 * (xs::proc_cpu_seconds(pid) - before) / seconds;
}

// strace on the game's reads into `file`, until it gets SIGINT (which detaches).
pid_t trace_start(pid_t game, const std::string &file) {
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const std::string target = std::to_string(game);
    execlp("strace", "strace", "-q", "-ttt", "-e", "trace=read,recvmsg,recvfrom", "-o", file.c_str(), "-p",
           target.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  xs::pause_for(xs::Millis(500));  // attached
  return pid;
}
}  // namespace

int main(int argc, char **argv) {
  double idle_seconds = 0;
  std::string trace;
  for (; argc > 2 && (std::strcmp(argv[1], "--idle") == 0 || std::strcmp(argv[1], "--trace") == 0);
       argc -= 2, argv += 2) {
    if (argv[1][2] == 'i')
      idle_seconds = std::atof(argv[2]);
    else
      trace = argv[2];
  }
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: session_probe [--idle SECONDS] [--trace FILE] GAME PICTURE PLAY_SECONDS "
                 "[SAMPLE_SECOND...]\n");
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
  if (idle_seconds > 0) std::printf("title_idle_cpu_percent %.2f\n", cpu_percent(s.game_pid, idle_seconds));

  // Space: pressed, then released; the game starts on the release. The title
  // window goes as the OpenGL mode is set, the first thing after the start.
  const Window title_window = s.top;
  XSelectInput(s.dpy, title_window, StructureNotifyMask);
  const pid_t tracer = trace.empty() ? -1 : trace_start(s.game_pid, trace);
  xs::pointer_move(s, 320, 240);
  xs::key_press(s, XK_space);
  // Timed from the moment the server has sent the release on (XSync
  // returned), not after the gap key_release leaves.
  XTestFakeKeyEvent(s.dpy, XKeysymToKeycode(s.dpy, XK_space), False, CurrentTime);
  XSync(s.dpy, False);
  const Clock::time_point released = Clock::now();
  timespec wall{};
  clock_gettime(CLOCK_REALTIME, &wall);  // the clock of strace -ttt
  std::printf("space_release_at %ld.%06ld\n", static_cast<long>(wall.tv_sec), wall.tv_nsec / 1000);
  for (bool gone = false; !gone; usleep(100)) {
    while (!gone && XPending(s.dpy) > 0) {
      XEvent event;
      XNextEvent(s.dpy, &event);
      gone = (event.type == UnmapNotify || event.type == DestroyNotify) && event.xany.window == title_window;
    }
    if (!gone && (xs::game_exited(s) || ms_since(released) > xs::scaled(deadline).count()))
      return fail("waiting for the title to go");
  }
  std::printf("space_release_to_title_gone_ms %.2f\n", ms_since(released));
  if (tracer > 0) {
    kill(tracer, SIGINT);
    waitpid(tracer, nullptr, 0);
  }
  if (!xs::poll_until(deadline, [&] { return xs::game_exited(s) || xs::play_shown(xs::screenshot(s)); }) ||
      xs::game_exited(s))
    return fail("waiting for the first frame");
  std::printf("space_release_to_first_frame_ms %.1f\n", ms_since(released));
  if (!xs::play_wait(s).empty()) return fail("finding the game window");
  if (idle_seconds > 0) {
    xs::key_tap(s, XK_p);
    xs::pause_for(xs::Millis(500));  // the paused frame drawn
    std::printf("paused_idle_cpu_percent %.2f\n", cpu_percent(s.game_pid, idle_seconds));
    xs::key_tap(s, XK_p);
  }

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
