// pty_run.h -- starts the game on a pseudo-terminal with a chosen environment, for the fault matrix
#pragma once

#include <gtest/gtest.h>
#include <termios.h>

#include <optional>
#include <string>

#include "harness.h"

namespace fault {

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

// Starts the game as `how` says, its streams on `run`.
::testing::AssertionResult pty_launch(e2e::Session &s, PtyRun &run, xs::Launch how);

// Waits for the game to end while collecting its output; the raw waitpid
// status, or nothing if it still runs at the deadline.
std::optional<int> pty_wait(e2e::Session &s, PtyRun &run, e2e::Millis deadline);

// Collects whatever output is waiting, without blocking.
void pty_drain(PtyRun &run);

// Whether the terminal's modes are as they were before the game started.
::testing::AssertionResult terminal_unchanged(const PtyRun &run);

}  // namespace fault
