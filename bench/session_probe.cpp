// session_probe.cpp -- start-up latency and memory of a real game, driven by real X input
//
// Usage: session_probe [--idle SECONDS] [--trace FILE] GAME WORKDIR PLAY_SECONDS [SAMPLE_SECOND...]
// Starts GAME in WORKDIR (which holds menu.bmp) on $DISPLAY, times the launch
// until the title picture is on screen, the Space release until the title
// window goes and until the first game frame, then plays a scripted game for
// PLAY_SECONDS, reading the game's peak resident memory (VmHWM) at each
// SAMPLE_SECOND, and quits with Escape. With --idle it also reads the game's
// CPU time over SECONDS of a still title and of a pause. With --trace, strace
// follows the game's reads from Space until the title window has gone, into
// FILE, with wall-clock stamps (-ttt). PROBE_PRELOAD is the
// game's LD_PRELOAD. Prints one "name value" line per figure.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "render/graphic.h"

namespace {
using Clock = std::chrono::steady_clock;

constexpr int kWidth = kWindowWidth;
constexpr int kHeight = kWindowHeight;
constexpr int kGridX = 32;  // samples across the window
constexpr int kGridY = 24;
constexpr int kTolerance = 8;  // the title window has 16 bits per pixel

struct rgb_t {
  int r, g, b;
};

double ms_since(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// The title picture at the grid points, from the 24-bit bottom-up BMP.
std::vector<rgb_t> probe_title_samples(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bmp((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<rgb_t> samples;
  if (bmp.size() < 54 + static_cast<size_t>(kWidth) * kHeight * 3) return samples;
  const size_t offset = bmp[10] | bmp[11] << 8 | bmp[12] << 16 | static_cast<size_t>(bmp[13]) << 24;
  for (int gy = 0; gy < kGridY; ++gy)
    for (int gx = 0; gx < kGridX; ++gx) {
      const int x = gx * kWidth / kGridX + kWidth / kGridX / 2;
      const int y = gy * kHeight / kGridY + kHeight / kGridY / 2;
      const size_t at = offset + (static_cast<size_t>(kHeight - 1 - y) * kWidth + x) * 3;
      if (at + 2 >= bmp.size()) return {};
      samples.push_back({bmp[at + 2], bmp[at + 1], bmp[at]});
    }
  return samples;
}

Window probe_find(Display *dpy, Window w, const char *name) {
  char *title = nullptr;
  if (XFetchName(dpy, w, &title) && title != nullptr) {
    const bool match = std::strcmp(title, name) == 0;
    XFree(title);
    if (match) return w;
  }
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  Window found = 0;
  if (XQueryTree(dpy, w, &root, &parent, &children, &n)) {
    for (unsigned i = 0; i < n && found == 0; ++i) found = probe_find(dpy, children[i], name);
    if (children != nullptr) XFree(children);
  }
  return found;
}

// The game window's grid samples as they are on screen; empty while there is
// no mapped game window.
std::vector<rgb_t> probe_screen(Display *dpy) {
  const Window root = DefaultRootWindow(dpy);
  const Window w = probe_find(dpy, root, kWindowCaption);
  if (w == 0) return {};
  XWindowAttributes attr;
  if (!XGetWindowAttributes(dpy, w, &attr) || attr.map_state != IsViewable) return {};
  int x0 = 0, y0 = 0;
  Window child;
  XTranslateCoordinates(dpy, w, root, 0, 0, &x0, &y0, &child);
  XImage *img = XGetImage(dpy, root, x0, y0, kWidth, kHeight, AllPlanes, ZPixmap);
  if (img == nullptr) return {};
  std::vector<rgb_t> samples;
  for (int gy = 0; gy < kGridY; ++gy)
    for (int gx = 0; gx < kGridX; ++gx) {
      const unsigned long p = XGetPixel(img, gx * kWidth / kGridX + kWidth / kGridX / 2,
                                        gy * kHeight / kGridY + kHeight / kGridY / 2);
      samples.push_back({static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
                         static_cast<int>(p & 0xff)});
    }
  XDestroyImage(img);
  return samples;
}

double probe_title_share(const std::vector<rgb_t> &screen, const std::vector<rgb_t> &title) {
  if (screen.size() != title.size() || screen.empty()) return 0;
  int same = 0;
  for (size_t i = 0; i < screen.size(); ++i)
    same += std::abs(screen[i].r - title[i].r) <= kTolerance &&
            std::abs(screen[i].g - title[i].g) <= kTolerance &&
            std::abs(screen[i].b - title[i].b) <= kTolerance;
  return static_cast<double>(same) / screen.size();
}

// The game frame is cleared to black; the title picture has no black.
double probe_black_share(const std::vector<rgb_t> &screen) {
  if (screen.empty()) return 0;
  int black = 0;
  for (const rgb_t &p : screen) black += p.r == 0 && p.g == 0 && p.b == 0;
  return static_cast<double>(black) / screen.size();
}

long probe_status_kb(pid_t pid, const char *field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  const size_t n = std::strlen(field);
  while (std::getline(in, line))
    if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
      return std::atol(line.c_str() + n + 1);
  return -1;
}

void probe_key(Display *dpy, KeySym sym, bool down) {
  XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), down ? True : False, CurrentTime);
  XSync(dpy, False);
}

// Windows come and go while the game switches from the title to the GL
// window; a request about one that has just gone fails, and is simply retried.
int probe_ignore_x_error(Display *, XErrorEvent *) { return 0; }

bool probe_alive(pid_t pid, int *status) { return waitpid(pid, status, WNOHANG) == 0; }

// User plus system CPU time of the process so far, in seconds.
double probe_cpu_seconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t after_name = stat.rfind(')');
  if (after_name == std::string::npos) return -1;
  // Fields 14 and 15 (utime, stime), counted from the state, field 3.
  std::istringstream fields(stat.substr(after_name + 2));
  std::string skip;
  for (int i = 3; i < 14; ++i) fields >> skip;
  double utime = 0, stime = 0;
  fields >> utime >> stime;
  return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Percent of one core the game uses over the next `seconds`.
double probe_cpu_percent(pid_t pid, double seconds) {
  const double before = probe_cpu_seconds(pid);
  usleep(static_cast<useconds_t>(seconds * 1e6));
  return 100 * (probe_cpu_seconds(pid) - before) / seconds;
}
}  // namespace

int main(int argc, char **argv) {
  double idle_seconds = 0;
  std::string trace;
  while (argc > 2 && (std::strcmp(argv[1], "--idle") == 0 || std::strcmp(argv[1], "--trace") == 0)) {
    if (argv[1][2] == 'i')
      idle_seconds = std::atof(argv[2]);
    else
      trace = argv[2];
    argc -= 2;
    argv += 2;
  }
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: session_probe [--idle SECONDS] GAME WORKDIR PLAY_SECONDS [SAMPLE_SECOND...]\n");
    return 2;
  }
  const std::string game = argv[1], dir = argv[2];
  const double play_seconds = std::atof(argv[3]);
  std::vector<double> samples_at;
  for (int i = 4; i < argc; ++i) samples_at.push_back(std::atof(argv[i]));

  const std::vector<rgb_t> title = probe_title_samples(dir + "/menu.bmp");
  if (title.empty()) {
    std::fprintf(stderr, "session_probe: cannot read %s/menu.bmp\n", dir.c_str());
    return 2;
  }
  Display *dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) {
    std::fprintf(stderr, "session_probe: no X display\n");
    return 2;
  }
  XSetErrorHandler(probe_ignore_x_error);
  // A game that gave its window the focus leaves the display without one when
  // it goes: the keyboard follows the pointer again for the next.
  XSetInputFocus(dpy, PointerRoot, RevertToPointerRoot, CurrentTime);

  const Clock::time_point launch = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (chdir(dir.c_str()) != 0) _exit(127);
    std::freopen("/dev/null", "w", stdout);
    const char *preload = std::getenv("PROBE_PRELOAD");
    if (preload != nullptr && *preload != '\0') setenv("LD_PRELOAD", preload, 1);
    execl(game.c_str(), game.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  int status = 0;
  auto fail = [&](const char *what) {
    std::printf("failed %s\n", what);
    if (probe_alive(pid, &status)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
    return 1;
  };

  // Title picture on screen.
  const double kDeadlineMs = 20000;
  while (probe_title_share(probe_screen(dpy), title) < 0.9) {
    if (!probe_alive(pid, &status) || ms_since(launch) > kDeadlineMs) return fail("waiting for the title");
    usleep(1000);
  }
  std::printf("launch_to_title_ms %.1f\n", ms_since(launch));
  if (idle_seconds > 0) std::printf("title_idle_cpu_percent %.2f\n", probe_cpu_percent(pid, idle_seconds));

  // Space: pressed, then released; the game starts on the release. The title
  // window goes as the OpenGL mode is set, the first thing after the start.
  const Window title_window = probe_find(dpy, DefaultRootWindow(dpy), "Quorvane by Halvik & Deme'");
  XSelectInput(dpy, title_window, StructureNotifyMask);
  pid_t tracer = -1;
  if (!trace.empty()) {
    tracer = fork();
    if (tracer == 0) {
      const std::string game_pid = std::to_string(pid);
      execlp("strace", "strace", "-q", "-ttt", "-e", "trace=read,recvmsg,recvfrom", "-o", trace.c_str(), "-p",
             game_pid.c_str(), static_cast<char *>(nullptr));
      _exit(127);
    }
    usleep(500 * 1000);  // attached
  }
  probe_key(dpy, XK_space, true);
  usleep(30 * 1000);
  probe_key(dpy, XK_space, false);
  const Clock::time_point released = Clock::now();
  timespec wall{};
  clock_gettime(CLOCK_REALTIME, &wall);  // the clock of strace -ttt, for tracing the game's response
  std::printf("space_release_at %ld.%06ld\n", static_cast<long>(wall.tv_sec), wall.tv_nsec / 1000);
  for (bool gone = false; !gone;) {
    while (!gone && XPending(dpy) > 0) {
      XEvent event;
      XNextEvent(dpy, &event);
      gone = (event.type == UnmapNotify || event.type == DestroyNotify) && event.xany.window == title_window;
    }
    if (!probe_alive(pid, &status) || ms_since(released) > kDeadlineMs)
      return fail("waiting for the title to go");
    if (!gone) usleep(100);
  }
  std::printf("space_release_to_title_gone_ms %.2f\n", ms_since(released));
  if (tracer > 0) {
    kill(tracer, SIGINT);  // detaches
    waitpid(tracer, nullptr, 0);
  }
  for (;;) {
    const std::vector<rgb_t> screen = probe_screen(dpy);
    if (probe_title_share(screen, title) < 0.2 && probe_black_share(screen) > 0.5) break;
    if (!probe_alive(pid, &status) || ms_since(released) > kDeadlineMs)
      return fail("waiting for the first frame");
    usleep(1000);
  }
  std::printf("space_release_to_first_frame_ms %.1f\n", ms_since(released));
  if (idle_seconds > 0) {
    probe_key(dpy, XK_p, true);
    probe_key(dpy, XK_p, false);
    usleep(500 * 1000);  // the paused frame drawn
    std::printf("paused_idle_cpu_percent %.2f\n", probe_cpu_percent(pid, idle_seconds));
    probe_key(dpy, XK_p, true);
    probe_key(dpy, XK_p, false);
  }

  // A scripted game: the paddle swings left and right, the balls are split up
  // to the bound and every other power-up is taken now and then.
  const Clock::time_point start = Clock::now();
  const KeySym taps[] = {XK_d, XK_f, XK_g, XK_d, XK_Up, XK_d, XK_h, XK_d, XK_Down, XK_d};
  size_t next_sample = 0;
  int step = 0;
  KeySym held = 0;
  while (ms_since(start) < play_seconds * 1000) {
    if (!probe_alive(pid, &status)) {
      std::printf("game_ended_after_s %.1f status %d\n", ms_since(start) / 1000,
                  WIFEXITED(status) ? WEXITSTATUS(status) : -1);
      return fail("the game ended during play");
    }
    const KeySym want = (step / 30) % 2 == 0 ? XK_Right : XK_Left;  // 1.5 s each way
    if (want != held) {
      if (held != 0) probe_key(dpy, held, false);
      probe_key(dpy, want, true);
      held = want;
    }
    if (step < 20 && step % 2 == 0) {
      // Up to the ball bound at once, so that the game cannot run out of balls.
      probe_key(dpy, XK_d, true);
      probe_key(dpy, XK_d, false);
    } else if (step % 8 == 0) {
      const KeySym k = taps[(step / 8) % (sizeof taps / sizeof taps[0])];
      probe_key(dpy, k, true);
      probe_key(dpy, k, false);
    }
    while (next_sample < samples_at.size() && ms_since(start) >= samples_at[next_sample] * 1000) {
      std::printf("vmhwm_kb_at_%gs %ld\n", samples_at[next_sample], probe_status_kb(pid, "VmHWM"));
      std::printf("vmrss_kb_at_%gs %ld\n", samples_at[next_sample], probe_status_kb(pid, "VmRSS"));
      std::fflush(stdout);
      ++next_sample;
    }
    ++step;
    usleep(50 * 1000);
  }
  if (held != 0) probe_key(dpy, held, false);
  // Samples due at the very end of play.
  for (; next_sample < samples_at.size() && samples_at[next_sample] <= play_seconds; ++next_sample) {
    std::printf("vmhwm_kb_at_%gs %ld\n", samples_at[next_sample], probe_status_kb(pid, "VmHWM"));
    std::printf("vmrss_kb_at_%gs %ld\n", samples_at[next_sample], probe_status_kb(pid, "VmRSS"));
  }
  std::printf("vmhwm_kb_at_end %ld\n", probe_status_kb(pid, "VmHWM"));

  probe_key(dpy, XK_Escape, true);
  probe_key(dpy, XK_Escape, false);
  const Clock::time_point quit = Clock::now();
  while (probe_alive(pid, &status)) {
    if (ms_since(quit) > kDeadlineMs) return fail("waiting for the game to quit");
    usleep(10 * 1000);
  }
  std::printf("exit_status %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  XCloseDisplay(dpy);
  return 0;
}
