// harness.h -- runs the real game under its own Xvfb and drives it with real X input
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Xlib's macros (None, True, Bool, Status) clash with GoogleTest, so only the
// harness itself includes Xlib.
struct _XDisplay;

namespace e2e {

using Millis = std::chrono::milliseconds;

// Every deadline is stretched by QUORVANE_E2E_SLOWDOWN (a factor, default 1),
// for slow builds such as the sanitizer one.
Millis scaled(Millis ms);

// Polls `ready` every few milliseconds until it holds or the scaled deadline
// passes; returns whether it held.
bool poll_until(Millis deadline, const std::function<bool()> &ready);
void pause_for(Millis ms);

struct Rgb {
  int r = 0, g = 0, b = 0;
};

// A picture in window coordinates: the game window read back from the screen,
// or a BMP file.
struct Picture {
  int width = 0, height = 0;
  std::vector<Rgb> px;
  Rgb at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

// Reads an uncompressed 24-bit Windows bitmap; an empty picture on failure.
Picture bmp_load(const std::string &path);
// Writes a binary PPM, for looking at a failed run.
void ppm_save(const Picture &pic, const std::string &path);
// Pixels of `a` that differ from `b` by more than `tolerance` in some channel,
// counted inside rows [y0, y1).
int picture_diff(const Picture &a, const Picture &b, int tolerance, int y0, int y1);

// One Xvfb and one game process. Everything it starts is killed when it is
// destroyed, and also if the test process itself dies (parent-death signal).
struct Session {
  pid_t xvfb_pid = -1;
  int display_number = -1;
  _XDisplay *dpy = nullptr;
  std::string dir;  // the game's working directory, with menu.bmp and its logs
  pid_t game_pid = -1;
  std::optional<int> game_status;  // raw waitpid status once the game has ended
  unsigned long top = 0;           // the game's top-level window (an X Window id)
  int win_x = 0, win_y = 0;        // its position on the root window
  // Set for the game over the harness's own choices, e.g. its audio driver.
  std::vector<std::pair<std::string, std::string>> env;

  Session() = default;
  Session(const Session &) = delete;
  Session &operator=(const Session &) = delete;
  ~Session();
};

// Starts Xvfb on a free display (-displayfd), with any extra arguments (for
// instance "-extension", "GLX"), and connects to it.
::testing::AssertionResult xvfb_start(Session &s, const std::vector<std::string> &extra = {});
// Starts the game in a fresh working directory holding menu.bmp, with
// QUORVANE_E2E_PRELOAD (if set) as its LD_PRELOAD. QUORVANE_E2E_GAME names
// another build of the game to run instead of the one built with the tests.
// The game gets the dummy audio driver, so that no result depends on the
// machine's sound hardware, unless s.env chooses another.
::testing::AssertionResult game_launch(Session &s);
// Waits for the game's top-level window to be mapped and records it.
::testing::AssertionResult window_wait(Session &s, Millis deadline);

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

// Asks the window to close as a window manager would (WM_DELETE_WINDOW).
::testing::AssertionResult polite_close(Session &s);

// Non-blocking check whether the game has ended; records its status.
bool game_exited(Session &s);
// "exited with status 0", "was killed by signal 11", from a waitpid status.
std::string describe_status(int status);
// Waits for the game to end; the raw waitpid status, or nothing on timeout.
std::optional<int> wait_exit(Session &s, Millis deadline);
// Waits for the game to end and checks that it exited normally with `code`.
::testing::AssertionResult ends_with_status(Session &s, int code, Millis deadline);
// Kills the game (and only the game) if it still runs.
void game_kill(Session &s);

// The game's logs, for failure messages.
std::string game_logs(const Session &s);

// Each test gets its own display and its own game, already showing a window.
// At the end a game that still runs is asked to quit with Escape and must exit
// with status 0 (so sanitizer reports at exit are not lost); on failure the
// last screen and the game's logs are kept for a look.
class GameSessionTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  Session s;
};

}  // namespace e2e
