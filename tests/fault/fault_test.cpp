// fault_test.cpp -- the game under bad conditions: one message, status 1, no crash, the terminal untouched
#include <SDL/SDL_version.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using e2e::Millis;
using xs::Launch;

std::vector<char> real_picture() {
  const std::string text = xs::read_file(QUORVANE_MENU_BMP);
  return {text.begin(), text.end()};
}

// The terminal side of one run. Standard input and output are the slave of a
// fresh pseudo-terminal, which is also the game's controlling terminal, so a
// driver that paints the console or changes its modes would show here;
// standard error goes to a pipe of its own.
struct PtyRun {
  int master = -1, slave = -1, err = -1;
  termios before{};
  std::string tty;  // what the game wrote on the terminal, "\r\n" turned into "\n"
  std::string err_text;
  ~PtyRun() {
    for (int fd : {master, slave, err})
      if (fd >= 0) close(fd);
  }
};

void read_available(int fd, std::string &into) {
  char buf[4096];
  for (pollfd p{fd, POLLIN, 0}; fd >= 0 && poll(&p, 1, 0) > 0 && (p.revents & POLLIN);) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) return;
    into.append(buf, static_cast<size_t>(n));
  }
}

// Collects whatever output is waiting, without blocking.
void pty_drain(PtyRun &run) {
  read_available(run.master, run.tty);
  for (size_t at; (at = run.tty.find("\r\n")) != std::string::npos;) run.tty.erase(at, 1);
  read_available(run.err, run.err_text);
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

void write_file(const std::string &path, const std::vector<char> &bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void put_u32(std::vector<char> &bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
}

// What one stream must hold: nothing, exactly one fixed line, or one line
// made of a fixed text and the media library's own explanation after it,
// which differs between library versions but must not be empty.
struct Expected {
  std::string text;
  bool library_text = false;
};
const Expected kNothing{};
Expected exactly(const std::string &line) { return {line + "\n", false}; }
Expected line_after(const std::string &prefix) { return {prefix, true}; }
Expected out_of_memory(const std::string &record) {
  return exactly("quorvane: out of memory (" + record + ")");
}

::testing::AssertionResult holds(const std::string &got, const Expected &want) {
  bool ok = got == want.text;
  if (want.library_text)
    ok = got.size() > want.text.size() + 1 && got.compare(0, want.text.size(), want.text) == 0 &&
         got.find('\n') == got.size() - 1;
  if (ok) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "expected " << (want.text.empty() ? "nothing" : "\"" + want.text + "\"")
         << (want.library_text ? " and the library's text on one line" : "");
}

// A launch of the real game with these environment changes, its working
// directory filled by `prepare`, if given, instead of with the real picture.
Launch with_env(xs::Env env, std::function<void(const std::string &)> prepare = {}) {
  Launch how = e2e::game_default();
  how.env = std::move(env);
  how.prepare = std::move(prepare);
  return how;
}

// A launch of the hooked build in which the record `name` cannot be allocated.
Launch failing_alloc(const std::string &name) { return e2e::game_hooked({{"QUORVANE_FAIL_ALLOC", name}}); }

class FaultMatrix : public ::testing::Test {
 protected:
  e2e::Session s;
  PtyRun run;

  // The game on a terminal of its own, on a new private display unless told otherwise.
  void start(Launch how, bool new_display = true) {
    ASSERT_TRUE(new_display ? e2e::xvfb_start(s) : ::testing::AssertionSuccess());
    ASSERT_EQ(openpty(&run.master, &run.slave, nullptr, nullptr, nullptr), 0) << std::strerror(errno);
    tcgetattr(run.slave, &run.before);
    int errpipe[2];
    ASSERT_EQ(pipe2(errpipe, O_CLOEXEC), 0) << std::strerror(errno);
    fcntl(run.master, F_SETFD, FD_CLOEXEC);
    run.err = errpipe[0];
    how.in = how.out = run.slave;
    how.err = errpipe[1];
    how.own_terminal = true;
    const ::testing::AssertionResult started = e2e::game_launch(s, how);
    close(errpipe[1]);
    ASSERT_TRUE(started);
  }

  // The title picture is on screen and the pointer, and so the keyboard
  // focus, is on the window: from now on the game takes input.
  void wait_title() { ASSERT_TRUE(e2e::passed(xs::title_wait(s, QUORVANE_MENU_BMP))) << output(); }

  // Space released once the title is up, for a game that fails to start.
  void press_start() {
    wait_title();
    e2e::key_tap(s, XK_space);
  }

  // In play: the first frame is drawn and the keyboard is on its window.
  void enter_play() {
    wait_title();
    ASSERT_TRUE(e2e::passed(xs::play_enter(s))) << output();
  }

  std::string output() const { return "terminal:\n" + run.tty + "\nstandard error:\n" + run.err_text; }

  // The game must end by itself with `code`, not by a signal (a crash or a
  // sanitizer abort), and leave the terminal's modes as they were.
  void expect_end(int code) {
    e2e::poll_until(Millis(30000), [&] {
      pty_drain(run);
      return e2e::game_exited(s);
    });
    pty_drain(run);
    const std::optional<int> status = s.game_status;
    ASSERT_TRUE(status.has_value()) << "the game still runs\n" << output();
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == code)
        << "the game " << e2e::describe_status(*status) << ", expected status " << code << "\n"
        << output();
    EXPECT_TRUE(terminal_unchanged(run));
  }

  // That, with exactly the expected lines on the terminal and on standard
  // error: no escape sequences, no sanitizer report, nothing else.
  void expect_end(int code, const Expected &tty, const Expected &err) {
    expect_end(code);
    EXPECT_TRUE(holds(run.tty, tty)) << "on the terminal\n" << output();
    EXPECT_TRUE(holds(run.err_text, err)) << "on standard error\n" << output();
  }
};

// ---- The display: none, gone, without input, without OpenGL -------------

TEST_F(FaultMatrix, WithoutDisplayTheGameSaysSoOnItsOutputAndEndsWithStatusOne) {
  start(with_env({{"DISPLAY", std::nullopt}, {"SDL_VIDEODRIVER", std::nullopt}}), false);
  expect_end(1, line_after("SDL_Init: "), kNothing);
}

TEST_F(FaultMatrix, ADisplayWithNoServerBehindItIsReportedAndEndsWithStatusOne) {
  // A display number far above the ones Xvfb -displayfd hands out (the lowest
  // free), with no socket listening for it, so no parallel test can start a
  // server there while this one runs.
  const std::string listening = xs::read_file("/proc/net/unix");
  int gone = 4242;
  while (listening.find("/tmp/.X11-unix/X" + std::to_string(gone) + "\n") != std::string::npos) ++gone;
  start(with_env({{"DISPLAY", ":" + std::to_string(gone)}, {"SDL_VIDEODRIVER", std::nullopt}}), false);
  expect_end(1, line_after("SDL_Init: "), kNothing);
}

// The dummy driver opens a window nobody can see or type into, and it has no
// OpenGL: the title would wait for a start that cannot come, and the game
// could not be played after it anyway. It is refused before the title.
TEST_F(FaultMatrix, TheDummyDriverIsRefusedBeforeTheTitleWithStatusOne) {
  start(with_env({{"DISPLAY", std::nullopt}, {"SDL_VIDEODRIVER", "dummy"}}), false);
  expect_end(1, line_after("SDL_GL_LoadLibrary: "), kNothing);
}

// Without GLX the classic library still loads the GL library, so the title
// shows and the OpenGL mode fails after it; sdl12-compat already refuses to
// load it, before the title. Both end with one message and status 1.
TEST_F(FaultMatrix, AServerWithoutOpenGLIsReportedBeforeOrAfterTheTitleWithStatusOne) {
  ASSERT_TRUE(e2e::xvfb_start(s, {"-extension", "GLX"}));
  start(e2e::game_default(), false);
  const e2e::Picture reference = e2e::bmp_load(QUORVANE_MENU_BMP);
  auto title_up = [&] {
    return e2e::game_exited(s) ||
           (e2e::window_wait(s, Millis(0)) && e2e::title_shown(e2e::screenshot(s), reference));
  };
  const bool title = e2e::poll_until(Millis(30000), title_up) && !e2e::game_exited(s);
  if (title) {
    press_start();
    expect_end(1, line_after("SDL_SetVideoMode: "), kNothing);
  } else {
    expect_end(1, line_after("SDL_GL_LoadLibrary: "), kNothing);
  }
}

// Xlib ends the process when its server goes away, with status 1 and a
// sentence of its own naming the display, which depends on whether the game
// was reading or writing at that moment. Under sdl12-compat the game never
// ends then: SDL 2's shutdown, run at exit, waits on the dead connection
// forever (see doc/platforms.md). Under the sanitizers the libraries'
// half-done shutdown leaves leaks of theirs, so the case runs in the plain build.
TEST_F(FaultMatrix, TheServerGoingAwayInPlayEndsTheGameWithStatusOne) {
  // sdl12-compat numbers itself 1.2.50 and up; from Debian 13 on it is the SDL
  // 1.2 the game is built with, not only a preloaded stand-in.
  const char *preload = std::getenv("QUORVANE_E2E_PRELOAD");
  if (SDL_PATCHLEVEL >= 50 || (preload && std::string(preload).find("sdl12-compat") != std::string::npos))
    GTEST_SKIP() << "sdl12-compat waits forever at exit on a dead X connection";
  if (std::getenv("QUORVANE_SANITIZED")) GTEST_SKIP() << "the X and SDL libraries leak on this path";
  start(e2e::game_default());
  enter_play();
  ASSERT_FALSE(e2e::game_exited(s)) << output();
  const std::string display = ":" + std::to_string(s.display_number);
  auto names_display = [&](const std::string &text) {
    for (size_t at = text.find(display); at != std::string::npos; at = text.find(display, at + 1))
      if (at + display.size() == text.size() ||
          !std::isdigit(static_cast<unsigned char>(text[at + display.size()])))
        return true;
    return false;
  };
  xs::server_stop(s);
  expect_end(1);
  EXPECT_EQ(run.tty, "") << output();
  EXPECT_TRUE(names_display(run.err_text)) << "the lost display is not named\n" << output();
}

// ---- The title picture ----------------------------------------------------

struct BadPicture {
  const char *name;
  std::function<void(const std::string &dir)> make;
};

void PrintTo(const BadPicture &p, std::ostream *os) { *os << p.name; }

class BadTitlePicture : public FaultMatrix, public ::testing::WithParamInterface<BadPicture> {};

TEST_P(BadTitlePicture, IsReportedOnStandardErrorAndEndsWithStatusOne) {
  start(with_env({}, GetParam().make));
  expect_end(1, kNothing, line_after("Impossible de charger menu.bmp: "));
}

// Writes as menu.bmp what `change` makes of the real picture.
std::function<void(const std::string &)> altered(std::function<void(std::vector<char> &)> change) {
  return [change](const std::string &dir) {
    std::vector<char> bytes = real_picture();
    change(bytes);
    write_file(dir + "/menu.bmp", bytes);
  };
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BadTitlePicture,
    ::testing::Values(
        BadPicture{"Missing", [](const std::string &) {}},
        BadPicture{"Empty", altered([](std::vector<char> &b) { b.clear(); })},
        BadPicture{"CutInItsHeader", altered([](std::vector<char> &b) { b.resize(20); })},
        BadPicture{"CutInItsPixels", altered([](std::vector<char> &b) { b.resize(b.size() / 2); })},
        BadPicture{"OneByteShort", altered([](std::vector<char> &b) { b.pop_back(); })},
        BadPicture{"NotABitmap", altered([](std::vector<char> &b) {
                     const std::string text = "#!/bin/sh\necho this is not a picture\n";
                     b.assign(text.begin(), text.end());
                   })},
        BadPicture{"ClaimingAHundredThousandPixelsSquare", altered([](std::vector<char> &b) {
                     put_u32(b, 18, 100000);  // width
                     put_u32(b, 22, 100000);  // height
                   })},
        BadPicture{"ClaimingANegativeWidth",
                   altered([](std::vector<char> &b) { put_u32(b, 18, static_cast<uint32_t>(-640)); })},
        BadPicture{"ADirectory",
                   [](const std::string &dir) { std::filesystem::create_directory(dir + "/menu.bmp"); }}),
    [](const ::testing::TestParamInfo<BadPicture> &info) { return std::string(info.param.name); });

// An 8-bit picture listing 300 palette colours, more than 8 bits can index,
// its pixels a bright red.
// The classic library refuses it; sdl12-compat loads it and the title shows
// it. Either is sound as long as nothing is read or written out of bounds.
constexpr uint32_t kBrightIndex = 220;

TEST_F(FaultMatrix, APaletteLongerThanItsDepthIsRefusedCleanlyOrShown) {
  start(with_env({}, [](const std::string &dir) {
    constexpr uint32_t kColours = 300, kSide = 4, kRowBytes = 4;
    constexpr uint32_t kOffset = 14 + 40 + 4 * kColours, kPixels = kRowBytes * kSide;
    std::vector<char> bytes(kOffset + kPixels, static_cast<char>(kBrightIndex));
    bytes[0] = 'B';
    bytes[1] = 'M';
    put_u32(bytes, 2, kOffset + kPixels);
    put_u32(bytes, 10, kOffset);
    put_u32(bytes, 14, 40);  // BITMAPINFOHEADER
    put_u32(bytes, 18, kSide);
    put_u32(bytes, 22, kSide);
    bytes[26] = 1;  // planes
    bytes[28] = 8;  // bits per pixel
    put_u32(bytes, 34, kPixels);
    put_u32(bytes, 46, kColours);
    for (uint32_t i = 0; i < kColours; ++i) bytes[54 + 4 * i + 2] = static_cast<char>(i);  // shades of red
    write_file(dir + "/menu.bmp", bytes);
  }));
  // Either the game ends, or it shows the picture and takes input.
  bool shown = false;
  e2e::poll_until(Millis(30000), [&] {
    pty_drain(run);
    if (e2e::game_exited(s)) return true;
    if (!e2e::window_wait(s, Millis(0))) return false;
    const xs::Rgb corner = e2e::screenshot(s).at(1, 1);
    return shown = corner.r > 150 && corner.g < 40 && corner.b < 40;
  });
  if (!shown) {
    expect_end(1, kNothing, line_after("Impossible de charger menu.bmp: "));
  } else {
    e2e::pointer_move(s, 320, 240);
    e2e::key_tap(s, XK_Escape);
    expect_end(0, kNothing, kNothing);
  }
}

TEST_F(FaultMatrix, AnUnreadableTitlePictureIsReportedAndEndsWithStatusOne) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root, which reads a file whatever its mode";
  start(with_env({}, [](const std::string &dir) {
    altered([](std::vector<char> &) {})(dir);
    chmod((dir + "/menu.bmp").c_str(), 0);
  }));
  expect_end(1, kNothing, line_after("Impossible de charger menu.bmp: "));
}

// ---- A record of the game that cannot be allocated ------------------------

struct FailingRecord {
  const char *name;  // as QUORVANE_FAIL_ALLOC takes it
  bool after_title;  // allocated once the player has started
  Expected terminal;
  Expected error;
};

void PrintTo(const FailingRecord &r, std::ostream *os) { *os << r.name; }

class OutOfMemory : public FaultMatrix, public ::testing::WithParamInterface<FailingRecord> {};

TEST_P(OutOfMemory, EndsTheGameWithOneMessageAndStatusOne) {
  start(failing_alloc(GetParam().name));
  if (GetParam().after_title) press_start();
  expect_end(1, GetParam().terminal, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Records, OutOfMemory,
    ::testing::Values(FailingRecord{"game", false, kNothing, out_of_memory("game")},
                      FailingRecord{"title screen", false, kNothing, out_of_memory("title screen")},
                      FailingRecord{"window", true, kNothing, out_of_memory("window")},
                      FailingRecord{"camera", true, exactly("Error during camera_init in camera"), kNothing},
                      FailingRecord{"paddle", true, kNothing, out_of_memory("paddle")},
                      FailingRecord{"map", true, kNothing, out_of_memory("map")}),
    [](const ::testing::TestParamInfo<FailingRecord> &info) {
      std::string name = info.param.name;
      for (char &c : name)
        if (c == ' ') c = '_';
      return name;
    });

TEST_F(FaultMatrix, WithoutBricksTheGamePlaysOnAndEscapeEndsItWithStatusZero) {
  start(failing_alloc("bricks"));
  enter_play();
  // It plays on: later frames are drawn.
  ASSERT_FALSE(e2e::next_frame(s, e2e::screenshot(s), Millis(10000)).px.empty() || e2e::game_exited(s))
      << output();
  e2e::key_tap(s, XK_Escape);
  expect_end(0, kNothing, kNothing);
}

// Without its first ball the field is over before it starts: the rule for an
// empty ball list ends play at the first step, as a normal game over.
TEST_F(FaultMatrix, WithoutItsFirstBallTheGameIsOverAtOnceWithoutACrash) {
  start(failing_alloc("balls"));
  press_start();
  ASSERT_TRUE(e2e::passed(xs::result_wait(s))) << output();
  e2e::key_tap(s, XK_space);
  expect_end(0, kNothing, kNothing);
}

// ---- Normal ends keep status 0 and a quiet terminal -----------------------
// Escape, closing the window and the quit area are the end-to-end tests'; the
// end by the last ball lost is here.

TEST_F(FaultMatrix, LosingTheOnlyBallShowsTheResultUntilAKeyThenEndsWithStatusZero) {
  start(e2e::game_default());
  enter_play();
  // The first ball heads straight for the paddle at angle 0 and reaches it
  // about 0.7 s into play; the paddle, turning from the first frame on, has
  // left by then (37 degrees in half a second), and keeps turning until the
  // last ball is lost, so that a ball it still caught falls at a later pass.
  // Past the rim it falls 30 units at 0.015 per ms: about two seconds more.
  e2e::key_press(s, XK_Right);
  ASSERT_TRUE(e2e::passed(xs::result_wait(s))) << output();
  // Shown while the arrow is held all along: its repeats do not leave it.
  e2e::key_release(s, XK_Right);
  e2e::key_tap(s, XK_Return);
  expect_end(0, kNothing, kNothing);
}

}  // namespace
