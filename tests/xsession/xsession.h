// xsession.h -- a private Xvfb, the game's process and window, XTEST input and screen read-back
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Only xsession.cpp includes Xlib: its macros (None, True, Bool, Status) clash
// with the names of test frameworks.
struct _XDisplay;

namespace xs {

using Millis = std::chrono::milliseconds;

// Where a call can fail it returns what went wrong, or an empty text.
using Error = std::string;

// Every deadline is stretched by QUORVANE_E2E_SLOWDOWN (a factor, default 1),
// for slow builds such as the sanitizer one.
Millis scaled(Millis ms);
// Checks `ready` every few milliseconds until it holds or the scaled deadline
// passes; returns whether it held.
bool poll_until(Millis deadline, const std::function<bool()> &ready);
void pause_for(Millis ms);

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};

// A picture in window coordinates, top row first: the game window read back
// from the screen, or a BMP file.
struct Picture {
  int width = 0, height = 0;
  std::vector<Rgb> px;
  Rgb at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
  bool operator==(const Picture &o) const { return width == o.width && height == o.height && px == o.px; }
};

// The whole file, empty if unreadable.
std::string read_file(const std::string &path);
// Reads an uncompressed 24-bit Windows bitmap; an empty picture on failure.
Picture bmp_load(const std::string &path);
// Writes a binary PPM, for looking at a failed run.
void ppm_save(const Picture &pic, const std::string &path);
// Pixels of `a` that differ from `b` by more than `tolerance` in some channel,
// counted inside rows [y0, y1).
int picture_diff(const Picture &a, const Picture &b, int tolerance, int y0, int y1);
// The picture as a window k times its size shows it, each pixel k x k.
Picture picture_scaled(const Picture &p, int k);

// A number field of /proc/PID/status in kB (VmRSS, VmHWM), -1 if unreadable.
long proc_status_kb(pid_t pid, const char *field);
// User plus system CPU time of the process so far, in seconds; -1 if unreadable.
double proc_cpu_seconds(pid_t pid);

// Variables to set (a value) or remove (nothing) in the game's environment.
using Env = std::vector<std::pair<std::string, std::optional<std::string>>>;

// How to start the game. The game gets DISPLAY for the session's server,
// SDL_AUDIODRIVER=dummy and QUORVANE_E2E_PRELOAD as LD_PRELOAD; `env` is
// applied after these and overrides them.
struct Launch {
  std::string binary;                                   // the program to run
  std::string picture;                                  // copied as menu.bmp into the working directory...
  std::function<void(const std::string &dir)> prepare;  // ...unless this fills it
  Env env;
  // Standard streams of the game; by default none for input and the files
  // stdout.log and stderr.log in its working directory.
  int in = -1, out = -1, err = -1;
  bool own_terminal = false;  // a session of its own with `in` as controlling terminal
};

// One Xvfb and one game process. Everything it starts is killed when it is
// destroyed, and also if the process that started it dies.
struct Session {
  pid_t xvfb_pid = -1;
  pid_t wm_pid = -1;
  int display_number = -1;
  _XDisplay *dpy = nullptr;
  std::string dir;  // the game's working directory
  pid_t game_pid = -1;
  std::optional<int> game_status;  // raw waitpid status once the game has ended
  unsigned long top = 0;           // the game's top-level window (an X Window id)
  // Where screen reads and pointer moves put the window on the root window:
  // they follow `top` where it is now and at its size, or, with no `top`,
  // stay as set.
  int win_x = 0, win_y = 0, win_w = 640, win_h = 480;

  Session() = default;
  Session(const Session &) = delete;
  Session &operator=(const Session &) = delete;
  ~Session();
};

// Starts Xvfb -displayfd on a free display, with any extra arguments (for
// instance "-extension", "GLX"), and connects to it.
Error server_start(Session &s, const std::vector<std::string> &extra = {});
// Takes the server away: our own connection first (Xlib would end this
// process with it), then Xvfb itself.
void server_stop(Session &s);
// Starts a real window manager (openbox), which decorates, places and
// resizes windows as a desktop's does, and waits until it manages the screen.
Error wm_start(Session &s);

// Starts the game in a fresh working directory under /tmp.
Error game_start(Session &s, const Launch &how);
// Waits for the game's top-level window to be mapped and records it; after a
// change of video mode it finds the new window.
Error game_window_wait(Session &s, Millis deadline);

// Real input through XTEST, at window coordinates. Each call leaves a gap of
// tens of milliseconds after itself, so that the media library never takes two
// scripted events for one auto-repeat.
void pointer_move(Session &s, int x, int y);
void click(Session &s, int x, int y, unsigned button);
void key_press(Session &s, unsigned long keysym);
void key_release(Session &s, unsigned long keysym);
void key_tap(Session &s, unsigned long keysym);
// Another client's window, 100x100 at (x, y) on the root, mapped and viewable:
// something else on the display that can take the input focus. 0 on failure.
unsigned long other_window_create(Session &s, int x, int y);
// Gives the keyboard focus to a window, as a window manager would.
void focus_give(Session &s, unsigned long window);

// The game window as the player sees it, read from the root window.
Picture screenshot(Session &s);
// Waits for a picture on screen other than `previous`; empty at the deadline.
Picture next_frame(Session &s, const Picture &previous, Millis deadline);

// Asks for the game's window at a new size, as a player dragging its edge does.
void window_resize(Session &s, int w, int h);
// Asks the window to close as a window manager would (WM_DELETE_WINDOW).
Error window_close(Session &s);

// Non-blocking check whether the game has ended; records its status.
bool game_exited(Session &s);
// "exited with status 0", "was killed by signal 11", from a waitpid status.
std::string describe_status(int status);
// Waits for the game to end; the raw waitpid status, or nothing on timeout.
std::optional<int> wait_exit(Session &s, Millis deadline);
// Waits for the game to end and checks it exited normally with `code`.
Error game_end_expect(Session &s, int code, Millis deadline);
// Kills the game (and only the game) if it still runs.
void game_kill(Session &s);
// The game's standard output and error files, for failure messages.
std::string game_logs(const Session &s);

}  // namespace xs
