// pty_run.cpp -- starts the game on a pseudo-terminal with a chosen environment, for the fault matrix
#include "pty_run.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace fault {

namespace {

void read_available(int fd, std::string &into) {
  if (fd < 0) return;
  char buf[4096];
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN)) return;
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) return;
    into.append(buf, static_cast<size_t>(n));
  }
}

std::string without_carriage_returns(const std::string &text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

}  // namespace

PtyRun::~PtyRun() {
  for (int fd : {master, slave, err})
    if (fd >= 0) close(fd);
}

::testing::AssertionResult pty_launch(e2e::Session &s, PtyRun &run, xs::Launch how) {
  if (openpty(&run.master, &run.slave, nullptr, nullptr, nullptr) != 0)
    return ::testing::AssertionFailure() << "openpty: " << std::strerror(errno);
  tcgetattr(run.slave, &run.before);
  int errpipe[2];
  if (pipe2(errpipe, O_CLOEXEC) != 0)
    return ::testing::AssertionFailure() << "pipe: " << std::strerror(errno);
  fcntl(run.master, F_SETFD, FD_CLOEXEC);
  run.err = errpipe[0];
  how.in = how.out = run.slave;
  how.err = errpipe[1];
  how.own_terminal = true;
  const ::testing::AssertionResult started = e2e::game_launch(s, how);
  close(errpipe[1]);
  return started;
}

void pty_drain(PtyRun &run) {
  std::string raw;
  read_available(run.master, raw);
  run.tty = without_carriage_returns(run.tty + raw);
  read_available(run.err, run.err_text);
}

std::optional<int> pty_wait(e2e::Session &s, PtyRun &run, e2e::Millis deadline) {
  e2e::poll_until(deadline, [&] {
    pty_drain(run);
    return e2e::game_exited(s);
  });
  pty_drain(run);
  return s.game_status;
}

::testing::AssertionResult terminal_unchanged(const PtyRun &run) {
  termios now{};
  if (tcgetattr(run.slave, &now) != 0)
    return ::testing::AssertionFailure() << "tcgetattr: " << std::strerror(errno);
  const termios &was = run.before;
  if (now.c_iflag != was.c_iflag || now.c_oflag != was.c_oflag || now.c_cflag != was.c_cflag ||
      now.c_lflag != was.c_lflag || std::memcmp(now.c_cc, was.c_cc, sizeof now.c_cc) != 0)
    return ::testing::AssertionFailure() << "the game left the terminal's modes changed";
  return ::testing::AssertionSuccess();
}

}  // namespace fault
