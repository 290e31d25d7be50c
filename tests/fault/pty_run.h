// pty_run.h -- starts the game on a pseudo-terminal with a chosen environment, for the fault matrix
#pragma once

#include <gtest/gtest.h>
#include <termios.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"

namespace fault {

struct Launch {
  std::string binary = QUORVANE_BINARY;
  // Variables to set (a value) or remove (nothing) in the game's environment;
  // DISPLAY is set to the session's display unless listed here.
  std::vector<std::pair<std::string, std::optional<std::string>>> env;
  // Fills the game's working directory; by default it gets the real menu.bmp.
  std::function<void(const std::string &dir)> prepare;
};

// The terminal side of one run. Standard input and output are the slave of a
// fresh pseudo-terminal, which is also the game's controlling terminal, so a
// driver that paints the console or changes its modes would show here;
// standard error goes to a pipe of its own.
struct PtyRun {
  int master = -1, slave = -1, err = -1;
  termios before{};
  std::string tty;  // what the game wrote on the terminal, "\r\n" turned into "\n"
  std::string err_text;
  PtyRun() = default;
  PtyRun(const PtyRun &) = delete;
  PtyRun &operator=(const PtyRun &) = delete;
  ~PtyRun();
};

// Takes the X server away under a running game: closes the test's own
// connection first (Xlib would end the test process too), then stops Xvfb.
void xvfb_stop(e2e::Session &s);

// Starts the game in a fresh working directory; fills s.game_pid and s.dir.
::testing::AssertionResult pty_launch(e2e::Session &s, PtyRun &run, const Launch &how);

// Waits for the game to end while collecting its output; the raw waitpid
// status, or nothing if it still runs at the deadline.
std::optional<int> pty_wait(e2e::Session &s, PtyRun &run, e2e::Millis deadline);

// Collects whatever output is waiting, without blocking.
void pty_drain(PtyRun &run);

// Whether the terminal's modes are as they were before the game started.
::testing::AssertionResult terminal_unchanged(const PtyRun &run);

}  // namespace fault
