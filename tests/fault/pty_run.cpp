// pty_run.cpp -- starts the game on a pseudo-terminal with a chosen environment, for the fault matrix
#include "pty_run.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

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

void xvfb_stop(e2e::Session &s) {
  if (s.dpy) XCloseDisplay(s.dpy);
  s.dpy = nullptr;
  if (s.xvfb_pid > 0) {
    kill(s.xvfb_pid, SIGTERM);
    waitpid(s.xvfb_pid, nullptr, 0);
  }
  s.xvfb_pid = -1;
}

::testing::AssertionResult pty_launch(e2e::Session &s, PtyRun &run, const Launch &how) {
  char pattern[] = "/tmp/quorvane-fault-XXXXXX";
  if (!mkdtemp(pattern)) return ::testing::AssertionFailure() << "mkdtemp: " << std::strerror(errno);
  s.dir = pattern;
  if (how.prepare) {
    how.prepare(s.dir);
  } else {
    std::error_code error;
    std::filesystem::copy_file(QUORVANE_MENU_BMP, s.dir + "/menu.bmp", error);
    if (error) return ::testing::AssertionFailure() << "copying menu.bmp: " << error.message();
  }

  if (openpty(&run.master, &run.slave, nullptr, nullptr, nullptr) != 0)
    return ::testing::AssertionFailure() << "openpty: " << std::strerror(errno);
  tcgetattr(run.slave, &run.before);
  int errpipe[2];
  if (pipe(errpipe) != 0) return ::testing::AssertionFailure() << "pipe: " << std::strerror(errno);
  run.err = errpipe[0];

  const char *preload = std::getenv("QUORVANE_E2E_PRELOAD");
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) return ::testing::AssertionFailure() << "fork: " << std::strerror(errno);
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    // A session of its own with the pseudo-terminal as controlling terminal,
    // so /dev/tty is that terminal too.
    setsid();
    ioctl(run.slave, TIOCSCTTY, 0);
    dup2(run.slave, 0);
    dup2(run.slave, 1);
    dup2(errpipe[1], 2);
    close(run.master);
    close(run.slave);
    close(errpipe[0]);
    close(errpipe[1]);
    if (chdir(s.dir.c_str()) != 0) _exit(127);
    if (s.display_number >= 0) setenv("DISPLAY", (":" + std::to_string(s.display_number)).c_str(), 1);
    if (preload && *preload) setenv("LD_PRELOAD", preload, 1);
    // As in the end-to-end harness: no result depends on the sound hardware.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    for (const auto &[name, value] : how.env) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
    execl(how.binary.c_str(), how.binary.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  close(errpipe[1]);
  s.game_pid = pid;
  return ::testing::AssertionSuccess();
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
