// xsession.cpp -- Xvfb, the game process, XTEST input and screen read-back for every test harness
#include "xsession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace xs {

namespace {

using Clock = std::chrono::steady_clock;

// Well above the ~2 ms in which the media library folds a release and a
// press of one key into an auto-repeat.
constexpr Millis kEventGap{30};
constexpr int kWidth = 640, kHeight = 480;

// A window disappears under us whenever the game switches to its OpenGL mode
// or quits; requests on a dead window must not abort the caller.
int ignore_x_errors(Display *, XErrorEvent *) { return 0; }

// Stops a child of ours: a polite signal, then a hard one.
void process_stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  if (poll_until(Millis(2000), [&] { return waitpid(pid, nullptr, WNOHANG) == pid; })) return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// In the child after fork: die with the process that started it, whatever
// kills that one, and take the given descriptors as standard streams.
void child_prepare(pid_t parent, const int (&fds)[3]) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  const int devnull = open("/dev/null", O_RDWR);
  for (int i = 0; i < 3; ++i) dup2(fds[i] >= 0 ? fds[i] : devnull, i);
  for (int fd : {devnull, fds[0], fds[1], fds[2]})
    if (fd > 2) close(fd);
}

// Starts a program of ours with no standard streams.
pid_t child_start(std::vector<std::string> args) {
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  child_prepare(parent, {-1, -1, -1});
  std::vector<char *> argv;
  for (std::string &a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

unsigned long window_pid(Display *dpy, Window w) {
  const Atom pid_atom = XInternAtom(dpy, "_NET_WM_PID", True);
  if (pid_atom == None) return 0;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0, pid = 0;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(dpy, w, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
          Success &&
      data) {
    if (type == XA_CARDINAL && format == 32 && count == 1) pid = *reinterpret_cast<unsigned long *>(data);
    XFree(data);
  }
  return pid;
}

void settle(Session &s) {
  XSync(s.dpy, False);
  pause_for(kEventGap);
}

void key_fake(Session &s, unsigned long keysym, Bool down) {
  XTestFakeKeyEvent(s.dpy, XKeysymToKeycode(s.dpy, keysym), down, CurrentTime);
  settle(s);
}

Error server_try(Session &s, const std::vector<std::string> &extra) {
  int fds[2];
  if (pipe(fds) != 0) return std::string("pipe: ") + std::strerror(errno);
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);  // only the writing end is the server's
  // -noreset: a server resetting when its last client leaves refuses the
  // client that connects during the reset.
  std::vector<std::string> args = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
                                   "-screen",   "0",          "1024x768x24",
                                   "-nolisten", "tcp",        "-noreset"};
  args.insert(args.end(), extra.begin(), extra.end());
  s.xvfb_pid = child_start(args);
  close(fds[1]);
  if (s.xvfb_pid < 0) return std::string("fork: ") + std::strerror(errno);

  // Xvfb writes the display number it took once it is ready for clients.
  std::string number;
  const auto end = Clock::now() + scaled(Millis(10000));
  while (Clock::now() < end && number.find('\n') == std::string::npos) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buf[32];
    const ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    number.append(buf, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (number.find('\n') == std::string::npos) return "Xvfb did not report a display (is it installed?)";
  s.display_number = std::atoi(number.c_str());

  XSetErrorHandler(ignore_x_errors);
  const std::string name = ":" + std::to_string(s.display_number);
  s.dpy = XOpenDisplay(name.c_str());
  if (!s.dpy) return "cannot open display " + name;
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(s.dpy, &event_base, &error_base, &major, &minor))
    return "Xvfb on " + name + " has no XTEST extension";
  return {};
}

}  // namespace

Millis scaled(Millis ms) {
  static const double factor = [] {
    const char *text = std::getenv("QUORVANE_E2E_SLOWDOWN");
    const double f = text ? std::atof(text) : 1.0;
    return f >= 1.0 ? f : 1.0;
  }();
  return Millis(static_cast<long>(static_cast<double>(ms.count()) * factor));
}

bool poll_until(Millis deadline, const std::function<bool()> &ready) {
  const auto end = Clock::now() + scaled(deadline);
  for (;;) {
    if (ready()) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(Millis(10));
  }
}

void pause_for(Millis ms) { std::this_thread::sleep_for(ms); }

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Picture bmp_load(const std::string &path) {
  Picture pic;
  const std::string text = read_file(path);
  const std::vector<unsigned char> bytes(text.begin(), text.end());
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                 static_cast<uint32_t>(bytes[at + 3]) << 24);
  };
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return pic;
  const uint32_t offset = u32(10);
  const auto width = static_cast<int32_t>(u32(18));
  const auto height = static_cast<int32_t>(u32(22));
  const int bits = bytes[28] | bytes[29] << 8;
  if (bits != 24 || u32(30) != 0 || width <= 0 || height == 0) return pic;
  const bool bottom_up = height > 0;
  const int rows = bottom_up ? height : -height;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  if (bytes.size() < offset + stride * rows) return pic;
  pic.width = width;
  pic.height = rows;
  pic.px.resize(static_cast<size_t>(width) * rows);
  for (int y = 0; y < rows; ++y) {
    const size_t line = offset + stride * (bottom_up ? rows - 1 - y : y);
    for (int x = 0; x < width; ++x) {
      const unsigned char *p = &bytes[line + 3 * static_cast<size_t>(x)];
      pic.px[static_cast<size_t>(y) * width + x] = Rgb{p[2], p[1], p[0]};
    }
  }
  return pic;
}

void ppm_save(const Picture &pic, const std::string &path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << pic.width << ' ' << pic.height << "\n255\n";
  for (const Rgb &c : pic.px) {
    const char rgb[3] = {static_cast<char>(c.r), static_cast<char>(c.g), static_cast<char>(c.b)};
    out.write(rgb, 3);
  }
}

int picture_diff(const Picture &a, const Picture &b, int tolerance, int y0, int y1) {
  if (a.width != b.width || a.height != b.height) return a.width * a.height;
  int count = 0;
  for (int y = std::max(0, y0); y < std::min(a.height, y1); ++y) {
    for (int x = 0; x < a.width; ++x) {
      const Rgb p = a.at(x, y), q = b.at(x, y);
      count += std::abs(p.r - q.r) > tolerance || std::abs(p.g - q.g) > tolerance ||
               std::abs(p.b - q.b) > tolerance;
    }
  }
  return count;
}

Picture picture_scaled(const Picture &p, int k) {
  Picture out{p.width * k, p.height * k, {}};
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) out.px.push_back(p.at(x / k, y / k));
  return out;
}

long proc_status_kb(pid_t pid, const char *field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  const std::string key = std::string(field) + ":";
  for (std::string line; std::getline(in, line);)
    if (line.compare(0, key.size(), key) == 0) return std::atol(line.c_str() + key.size());
  return -1;
}

double proc_cpu_seconds(pid_t pid) {
  const std::string stat = read_file("/proc/" + std::to_string(pid) + "/stat");
  // The name in parentheses may hold spaces; utime and stime are fields 14
  // and 15, counted from the state, field 3, after it.
  const size_t after_name = stat.rfind(')');
  if (after_name == std::string::npos) return -1;
  std::istringstream fields(stat.substr(after_name + 1));
  std::string skip;
  for (int i = 3; i < 14; ++i) fields >> skip;
  double utime = -1, stime = -1;
  fields >> utime >> stime;
  if (!fields) return -1;
  return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

Session::~Session() {
  game_kill(*this);
  server_stop(*this);
  std::error_code ignored;
  if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
}

Error server_start(Session &s, const std::vector<std::string> &extra) {
  // Two servers starting at the same moment may both pick one free display;
  // the loser says so and exits, and a fresh try takes the next one.
  Error error;
  for (int attempt = 0; attempt < 5; ++attempt) {
    error = server_try(s, extra);
    if (error.empty()) return error;
    server_stop(s);
  }
  return error;
}

void server_stop(Session &s) {
  process_stop(s.wm_pid);
  s.wm_pid = -1;
  if (s.dpy) XCloseDisplay(s.dpy);
  s.dpy = nullptr;
  process_stop(s.xvfb_pid);
  s.xvfb_pid = -1;
}

Error wm_start(Session &s) {
  s.wm_pid = child_start({"env", "DISPLAY=:" + std::to_string(s.display_number), "openbox", "--sm-disable"});
  // Ready once it takes a window of ours into a frame of its own: a window
  // mapped while it is still starting may never be shown.
  const Window root = DefaultRootWindow(s.dpy);
  const Window probe = XCreateSimpleWindow(s.dpy, root, 0, 0, 10, 10, 0, 0, 0);
  XMapWindow(s.dpy, probe);
  const bool framed = poll_until(Millis(10000), [&] {
    Window top = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(s.dpy, probe, &top, &parent, &children, &count) && children) XFree(children);
    return parent != root;
  });
  XDestroyWindow(s.dpy, probe);
  XSync(s.dpy, False);
  return framed ? Error{} : "openbox did not start (is it installed?)";
}

Error game_start(Session &s, const Launch &how) {
  std::error_code ignored;  // a new game in the same session needs no old one's files
  if (!s.dir.empty()) std::filesystem::remove_all(s.dir, ignored);
  char pattern[] = "/tmp/quorvane-game-XXXXXX";
  if (!mkdtemp(pattern)) return std::string("mkdtemp: ") + std::strerror(errno);
  s.dir = pattern;
  s.game_status.reset();
  s.top = 0;
  if (how.prepare) {
    how.prepare(s.dir);
  } else {
    std::error_code error;
    std::filesystem::copy_file(how.picture, s.dir + "/menu.bmp", error);
    if (error) return "copying " + how.picture + ": " + error.message();
  }
  int fds[3] = {how.in, how.out, how.err};
  const bool own_out = fds[1] < 0, own_err = fds[2] < 0;
  if (own_out) fds[1] = open((s.dir + "/stdout.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (own_err) fds[2] = open((s.dir + "/stderr.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);

  Env env = {{"SDL_AUDIODRIVER", "dummy"}};
  if (s.display_number >= 0) env.push_back({"DISPLAY", ":" + std::to_string(s.display_number)});
  const char *preload = std::getenv("QUORVANE_E2E_PRELOAD");
  if (preload && *preload) env.push_back({"LD_PRELOAD", preload});
  env.insert(env.end(), how.env.begin(), how.env.end());

  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) return std::string("fork: ") + std::strerror(errno);
  if (pid == 0) {
    if (how.own_terminal) {
      // The terminal is then also /dev/tty for the game.
      setsid();
      ioctl(how.in, TIOCSCTTY, 0);
    }
    child_prepare(parent, fds);
    if (chdir(s.dir.c_str()) != 0) _exit(127);
    for (const auto &[name, value] : env) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
    execl(how.binary.c_str(), how.binary.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  if (own_out) close(fds[1]);
  if (own_err) close(fds[2]);
  s.game_pid = pid;
  return {};
}

// The one carrying the pid, or, for a media library that does not set
// _NET_WM_PID, the only mapped 640x480 one (nothing else runs here). A window
// manager puts the game's window in a frame of its own, one level down.
static unsigned long window_find(Display *dpy, pid_t pid, Window under = 0, int depth = 2) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(dpy, under ? under : DefaultRootWindow(dpy), &root, &parent, &children, &count)) return 0;
  Window by_pid = 0, by_size = 0;
  for (unsigned int i = 0; i < count && !by_pid; ++i) {
    XWindowAttributes attr;
    if (!XGetWindowAttributes(dpy, children[i], &attr) || attr.map_state != IsViewable) continue;
    if (pid > 0 && window_pid(dpy, children[i]) == static_cast<unsigned long>(pid)) by_pid = children[i];
    if (attr.width == kWidth && attr.height == kHeight) by_size = children[i];
    if (!by_pid && depth > 1) by_pid = window_find(dpy, pid, children[i], depth - 1);
  }
  if (children) XFree(children);
  return by_pid ? by_pid : by_size;
}

// The game's window can go at any time: sdl12-compat may map a first window
// and replace it at once, and the OpenGL mode comes with a new one. Screen
// reads and pointer moves go where the window is now, found again if it has
// gone; a test that sets no window (top 0) keeps the corner it set.
static void origin_follow(Session &s) {
  if (!s.top) return;
  const Window root = DefaultRootWindow(s.dpy);
  auto viewable = [&](Window w) {
    XWindowAttributes attr;
    return XGetWindowAttributes(s.dpy, w, &attr) && attr.map_state == IsViewable;
  };
  if (!viewable(s.top)) {
    const Window found = window_find(s.dpy, s.game_pid);
    if (!found) return;
    s.top = found;
  }
  Window child = 0;
  XTranslateCoordinates(s.dpy, s.top, root, 0, 0, &s.win_x, &s.win_y, &child);
  XWindowAttributes attr;
  if (XGetWindowAttributes(s.dpy, s.top, &attr)) {
    s.win_w = attr.width;
    s.win_h = attr.height;
  }
}

Error game_window_wait(Session &s, Millis deadline) {
  Window found = 0;
  const bool shown = poll_until(deadline, [&] {
    if (game_exited(s)) return true;
    found = window_find(s.dpy, s.game_pid);
    return found != 0;
  });
  // Only the game's end stops the wait early.
  if (!found && shown)
    return "the game ended (" + describe_status(*s.game_status) + ") before showing a window";
  if (!found) return "no game window within " + std::to_string(scaled(deadline).count()) + " ms";
  s.top = found;
  return {};
}

void pointer_move(Session &s, int x, int y) {
  origin_follow(s);
  XTestFakeMotionEvent(s.dpy, DefaultScreen(s.dpy), s.win_x + x, s.win_y + y, CurrentTime);
  settle(s);
}

void click(Session &s, int x, int y, unsigned button) {
  pointer_move(s, x, y);
  XTestFakeButtonEvent(s.dpy, button, True, CurrentTime);
  settle(s);
  XTestFakeButtonEvent(s.dpy, button, False, CurrentTime);
  settle(s);
}

void key_press(Session &s, unsigned long keysym) { key_fake(s, keysym, True); }
void key_release(Session &s, unsigned long keysym) { key_fake(s, keysym, False); }

void key_tap(Session &s, unsigned long keysym) {
  key_press(s, keysym);
  key_release(s, keysym);
}

unsigned long other_window_create(Session &s, int x, int y) {
  const Window w = XCreateSimpleWindow(s.dpy, DefaultRootWindow(s.dpy), x, y, 100, 100, 0, 0, 0);
  XMapWindow(s.dpy, w);
  XSync(s.dpy, False);
  const bool viewable = poll_until(Millis(2000), [&] {
    XWindowAttributes attr;
    return XGetWindowAttributes(s.dpy, w, &attr) && attr.map_state == IsViewable;
  });
  return viewable ? w : 0;
}

void focus_give(Session &s, unsigned long window) {
  XSetInputFocus(s.dpy, window, RevertToParent, CurrentTime);
  settle(s);
}

Picture screenshot(Session &s) {
  origin_follow(s);
  Picture pic;
  XImage *image =
      XGetImage(s.dpy, DefaultRootWindow(s.dpy), s.win_x, s.win_y, s.win_w, s.win_h, AllPlanes, ZPixmap);
  if (!image) return pic;
  // The server is always 24 bits deep: red, green and blue are a pixel's low
  // three bytes. Read straight from the image where it is plain 32-bit words:
  // tests poll the screen for short-lived frames, and a call per pixel costs them.
  const bool words = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
  pic.width = image->width;
  pic.height = image->height;
  pic.px.resize(static_cast<size_t>(pic.width) * pic.height);
  for (int y = 0; y < pic.height; ++y) {
    const auto *row =
        reinterpret_cast<const uint32_t *>(image->data + static_cast<size_t>(y) * image->bytes_per_line);
    for (int x = 0; x < pic.width; ++x) {
      const unsigned long p = words ? row[x] : XGetPixel(image, x, y);
      pic.px[static_cast<size_t>(y) * pic.width + x] =
          Rgb{static_cast<int>(p >> 16 & 255), static_cast<int>(p >> 8 & 255), static_cast<int>(p & 255)};
    }
  }
  XDestroyImage(image);
  return pic;
}

Picture next_frame(Session &s, const Picture &previous, Millis deadline) {
  Picture now;
  if (poll_until(deadline, [&] { return !((now = screenshot(s)) == previous); })) return now;
  return {};
}

void window_resize(Session &s, int w, int h) {
  XResizeWindow(s.dpy, s.top, w, h);
  settle(s);
}

Error window_close(Session &s) {
  const Atom protocols = XInternAtom(s.dpy, "WM_PROTOCOLS", False);
  const Atom delete_window = XInternAtom(s.dpy, "WM_DELETE_WINDOW", False);
  Atom *listed = nullptr;
  int count = 0;
  bool accepts = false;
  if (XGetWMProtocols(s.dpy, s.top, &listed, &count)) {
    for (int i = 0; i < count; ++i) accepts = accepts || listed[i] == delete_window;
    XFree(listed);
  }
  if (!accepts) return "the game window does not take WM_DELETE_WINDOW";
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = s.top;
  event.xclient.message_type = protocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(delete_window);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(s.dpy, s.top, False, NoEventMask, &event);
  settle(s);
  return {};
}

bool game_exited(Session &s) {
  if (s.game_status) return true;
  if (s.game_pid <= 0) return false;
  int status = 0;
  if (waitpid(s.game_pid, &status, WNOHANG) != s.game_pid) return false;
  s.game_status = status;
  return true;
}

std::string describe_status(int status) {
  if (WIFSIGNALED(status)) return "was killed by signal " + std::to_string(WTERMSIG(status));
  return "exited with status " + std::to_string(WEXITSTATUS(status));
}

std::optional<int> wait_exit(Session &s, Millis deadline) {
  if (!poll_until(deadline, [&] { return game_exited(s); })) return std::nullopt;
  return s.game_status;
}

Error game_end_expect(Session &s, int code, Millis deadline) {
  const std::optional<int> status = wait_exit(s, deadline);
  if (!status) return "the game still runs after " + std::to_string(scaled(deadline).count()) + " ms";
  if (!WIFEXITED(*status) || WEXITSTATUS(*status) != code)
    return "the game " + describe_status(*status) + ", expected status " + std::to_string(code);
  return {};
}

void game_kill(Session &s) {
  if (s.game_pid <= 0 || game_exited(s)) return;
  kill(s.game_pid, SIGKILL);
  int status = 0;
  if (waitpid(s.game_pid, &status, 0) == s.game_pid) s.game_status = status;
}

std::string game_logs(const Session &s) {
  if (s.dir.empty()) return {};
  return "game stdout:\n" + read_file(s.dir + "/stdout.log") + "game stderr:\n" +
         read_file(s.dir + "/stderr.log");
}

}  // namespace xs
