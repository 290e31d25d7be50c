// xsession_tool.cpp -- the X session library as a command, for shell scripts
//
//   xsession run [XVFB-ARG...] -- COMMAND [ARG...]
//       runs COMMAND with DISPLAY on a private Xvfb, stopped afterwards; exits
//       with COMMAND's status
//   xsession serve
//       starts a private Xvfb, prints its display number and keeps it until
//       its standard input closes
//   xsession title PID PICTURE [SCREEN.ppm]
//       waits until the window of process PID on $DISPLAY shows the BMP file
//       PICTURE, keeping the last screen in SCREEN.ppm
//   xsession play PID SCREEN.ppm
//       taps Space on that title and keeps the first frame of play in SCREEN.ppm
//   xsession key PID KEYSYM...
//       puts the pointer on the window of PID and taps each key (X names)
#include <X11/Xlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "scene.h"
#include "xsession.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: xsession run [XVFB-ARG...] -- COMMAND [ARG...]\n"
               "       xsession serve\n"
               "       xsession title PID PICTURE [SCREEN.ppm]\n"
               "       xsession play PID SCREEN.ppm\n"
               "       xsession key PID KEYSYM...\n");
  return 2;
}

int fail(const std::string &error) {
  std::fprintf(stderr, "xsession: %s\n", error.c_str());
  return 1;
}

int run(int argc, char **argv) {
  std::vector<std::string> extra;
  int i = 2;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) extra.emplace_back(argv[i]);
  if (i + 1 >= argc) return usage();
  xs::Session s;
  if (const xs::Error e = xs::server_start(s, extra); !e.empty()) return fail(e);
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", (":" + std::to_string(s.display_number)).c_str(), 1);
    execvp(argv[i + 1], argv + i + 1);
    std::perror(argv[i + 1]);
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int serve() {
  xs::Session s;
  if (const xs::Error e = xs::server_start(s); !e.empty()) return fail(e);
  std::printf("%d\n", s.display_number);
  std::fflush(stdout);
  char buf[64];
  while (read(0, buf, sizeof buf) > 0) {
  }
  return 0;
}

// A session on $DISPLAY around a game this command did not start.
struct Attached {
  xs::Session s;
  explicit Attached(pid_t pid) {
    // As in a session of our own: a window read can race the game replacing it.
    XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    s.dpy = XOpenDisplay(nullptr);
    s.game_pid = pid;
  }
  ~Attached() { s.game_pid = -1; }  // not ours to kill
};

// title, play and key: all work on the window of a running game.
int on_window(int argc, char **argv) {
  if (argc < 4) return usage();
  Attached a(std::atoi(argv[2]));
  if (!a.s.dpy) return fail("cannot open display");
  if (std::strcmp(argv[1], "title") == 0) {
    const xs::Error e = xs::title_wait(a.s, argv[3]);
    if (argc > 4) xs::ppm_save(xs::screenshot(a.s), argv[4]);
    return e.empty() ? 0 : fail(e);
  }
  if (const xs::Error e = xs::game_window_wait(a.s, xs::Millis(10000)); !e.empty()) return fail(e);
  xs::pointer_move(a.s, 320, 240);
  if (std::strcmp(argv[1], "play") == 0) {
    xs::Picture first;
    const xs::Error e = xs::play_enter(a.s, &first);
    xs::ppm_save(e.empty() ? first : xs::screenshot(a.s), argv[3]);
    return e.empty() ? 0 : fail(e);
  }
  for (int i = 3; i < argc; ++i) {
    const KeySym sym = XStringToKeysym(argv[i]);
    if (sym == NoSymbol) return fail(std::string("no key named ") + argv[i]);
    xs::key_tap(a.s, sym);
  }
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "run") return run(argc, argv);
  if (what == "serve") return serve();
  if (what == "title" || what == "play" || what == "key") return on_window(argc, argv);
  return usage();
}
