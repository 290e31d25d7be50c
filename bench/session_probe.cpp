// session_probe.cpp -- start-up latency, memory and CPU at rest of a real game, driven by real X input
//
// Usage: session_probe [--idle SECONDS] [--trace FILE] [--frames WxH] GAME PICTURE PLAY_SECONDS
//                      [SAMPLE_SECOND...]
// Starts GAME with the title picture PICTURE under a private Xvfb, times the
// launch until the title picture is on screen, the Space release until the
// title window goes and until the first game frame, then plays a scripted game
// for PLAY_SECONDS, reading the game's peak resident memory (VmHWM) at each
// SAMPLE_SECOND, and quits with Escape. With --idle it also reads the game's
// CPU time over SECONDS of a still title, of a pause and, once the last ball
// is lost, of the result. With --trace, strace
// follows the game's reads from just before Space until the title window has
// gone, into FILE, with wall-clock stamps (-ttt). With --frames, on a screen
// of WxH, the game's window is resized to WxH after the first frame and no
// key is pressed: it gives the frames per second, the share of a core and the
// frame intervals over PLAY_SECONDS of play, each swap timed in the game by
// the preloaded swap_times library. Prints one "name value" line per figure.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// The game's buffer swaps so far, in seconds on the monotonic clock (that of steady_clock).
std::vector<double> swaps_read(const xs::Session &s) {
  const std::string bytes = xs::read_file(s.dir + "/swaps");
  std::vector<double> times(bytes.size() / sizeof(double));
  std::memcpy(times.data(), bytes.data(), times.size() * sizeof(double));
  return times;
}

// Frames per second, the share of a core and the frame intervals over
// `seconds` of play in a window of w x h, after a warm-up of 30 frames there
// (a new mode builds its shaders anew).
bool frames_measure(xs::Session &s, int w, int h, double seconds) {
  xs::window_resize(s, w, h);
  const size_t before = swaps_read(s).size();
  if (!xs::poll_until(xs::Millis(20000),
                      [&] { return xs::game_exited(s) || swaps_read(s).size() >= before + 30; }))
    return false;
  const double start = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
  const double cpu = xs::proc_cpu_seconds(s.game_pid);
  xs::pause_for(xs::Millis(static_cast<long>(seconds * 1000)));
  const double used = xs::proc_cpu_seconds(s.game_pid) - cpu;
  if (xs::game_exited(s)) return false;
  std::vector<double> times, ms;
  for (const double t : swaps_read(s))
    if (t >= start && t <= start + seconds) times.push_back(t);
  for (size_t i = 1; i < times.size(); ++i) ms.push_back(1000 * (times[i] - times[i - 1]));
  if (ms.empty()) return false;
  std::sort(ms.begin(), ms.end());
  const auto near =
      std::count_if(ms.begin(), ms.end(), [](double t) { return std::abs(t - 1000.0 / 60) <= 3; });
  std::printf("frames_per_second %.1f\ncpu_percent %.1f\n", ms.size() / (times.back() - times.front()),
              100 * used / seconds);
  std::printf(
      "interval_ms_p5 %.2f\ninterval_ms_p50 %.2f\ninterval_ms_p95 %.2f\nwithin_3ms_of_60hz_percent %.1f\n",
      ms[ms.size() / 20], ms[ms.size() / 2], ms[ms.size() * 19 / 20], 100.0 * near / ms.size());
  return true;
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
  std::string trace, frames;
  for (; argc > 2 && std::strncmp(argv[1], "--", 2) == 0; argc -= 2, argv += 2) {
    if (argv[1][2] == 'i')
      idle_seconds = std::atof(argv[2]);
    else if (argv[1][2] == 't')
      trace = argv[2];
    else
      frames = argv[2];
  }
  int frames_w = 0, frames_h = 0;
  if (argc < 4 || (!frames.empty() && std::sscanf(frames.c_str(), "%dx%d", &frames_w, &frames_h) != 2)) {
    std::fprintf(
        stderr,
        "usage: session_probe [--idle SECONDS] [--trace FILE] [--frames WxH] GAME PICTURE PLAY_SECONDS "
        "[SAMPLE_SECOND...]\n");
    return 2;
  }
  double play_seconds = std::atof(argv[3]);
  std::vector<double> samples_at;
  for (int i = 4; i < argc; ++i) samples_at.push_back(std::atof(argv[i]));
  const xs::Picture title = xs::bmp_load(argv[2]);
  if (title.width == 0) {
    std::fprintf(stderr, "session_probe: cannot read %s\n", argv[2]);
    return 2;
  }

  xs::Session s;
  std::vector<std::string> screen;
  if (!frames.empty()) screen = {"-screen", "0", frames + "x24"};
  if (const xs::Error e = xs::server_start(s, screen); !e.empty()) {
    std::fprintf(stderr, "session_probe: %s\n", e.c_str());
    return 2;
  }
  xs::Launch how;
  how.binary = argv[1];
  how.picture = argv[2];
  how.env = {{"LIBGL_ALWAYS_SOFTWARE", "1"}};
  if (!frames.empty()) {
    const char *preload = std::getenv("QUORVANE_E2E_PRELOAD");
    how.env.push_back({"LD_PRELOAD", std::string(SWAP_TIMES_LIBRARY) + " " + (preload ? preload : "")});
    how.env.push_back({"QUORVANE_SWAP_TIMES", "swaps"});
  }
  const xs::Millis deadline(20000);

  const Clock::time_point launch = Clock::now();
  if (!xs::game_start(s, how).empty()) return fail("starting the game");
  if (!xs::poll_until(deadline,
                      [&] {
                        if (xs::game_exited(s)) return true;
                        if (!xs::game_window_wait(s, xs::Millis(0)).empty()) return false;
                        // A large screen's first window is a whole multiple of the picture.
                        const xs::Picture shot = xs::screenshot(s);
                        const int k = std::max(1, shot.width / title.width);
                        return xs::title_shown(shot, k == 1 ? title : xs::picture_scaled(title, k));
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
  if (!frames.empty()) {
    if (!frames_measure(s, frames_w, frames_h, play_seconds))
      return fail(xs::game_exited(s) ? "the game ended during play" : "timing the frames");
    play_seconds = 0;  // no scripted game
  }
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

  if (idle_seconds > 0) {
    // The paddle turning away until the last ball is lost: the result at rest.
    xs::key_press(s, XK_Right);
    if (!xs::result_wait(s).empty()) return fail("waiting for the result");
    xs::key_release(s, XK_Right);
    std::printf("result_idle_cpu_percent %.2f\n", cpu_percent(s.game_pid, idle_seconds));
  }
  xs::key_tap(s, XK_Escape);
  const std::optional<int> status = xs::wait_exit(s, deadline);
  if (!status) return fail("waiting for the game to quit");
  std::printf("exit_status %d\n", WIFEXITED(*status) ? WEXITSTATUS(*status) : -1);
  return 0;
}
