// frame_bench.cpp -- frames per second of the game's frame against the bare reference drawing, or its numbers
// against bitmaps
//
// Usage: frame_bench [--numbers] [seconds per run] [runs] [ball counts...] [window sizes WxH...]
//        (default: 2 7 1 256 640x480)
// Needs an X display; bench/run_frame_bench starts one. Every run is a process
// of its own (frame_bench --run game|bare|bitmaps BALLS SECONDS W H), so that
// neither loop inherits what the other left in the GL driver. The game's frame
// is set against the bare loop, or with --numbers against the game's frame
// with the numbers in the font's own bitmaps, unscaled.
#include <GL/gl.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_field.h"
#include "core/game.h"
#include "core/physics.h"
#include "frontend/sound.h"
#include "reference_frame.h"
#include "render/graphic.h"
#include "render/screen.h"
#include "render/text_local.h"

namespace {
// A fresh field has no ball that can be removed (which would end the game
// once the last one goes) before 2.7 s of play.
constexpr double kLongestRun = 2.5;
constexpr int kWarmUpFrames = 10;  // the first frames compile shaders

using Clock = std::chrono::steady_clock;

void frame_once(bool game) {
  if (game) {
    // The game's frame without the input poll: simulation step, then drawing.
    physics_update();
    graphic_display();
  } else {
    reference_frame();
  }
}

// CPU time of the whole process, the software rasteriser's threads included:
// steadier than frames per second when other work shares the machine.
double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct run_t {
  double fps;
  double cpu_ms;  // per frame
};

// Both loops see the same sequence of scenes: the bare loop also advances the
// simulation between its frames (balls move, hit bricks fall away), but only
// its drawing is timed.
run_t frame_run(int balls, bool game, double seconds) {
  bench_field_reset(balls);
  physics_create();
  for (int i = 0; i < kWarmUpFrames; ++i) frame_once(game);
  const Clock::time_point start = Clock::now();
  int frames = 0;
  double wall = 0, cpu = 0;
  do {
    if (!game) physics_update();
    const Clock::time_point t0 = Clock::now();
    const double c0 = cpu_seconds();
    frame_once(game);
    cpu += cpu_seconds() - c0;
    wall += std::chrono::duration<double>(Clock::now() - t0).count();
    ++frames;
  } while (std::chrono::duration<double>(Clock::now() - start).count() < seconds);
  return {frames / wall, 1000 * cpu / frames};
}

// Runs one measurement in a fresh process on the same display.
bool frame_run_apart(int balls, const std::string &loop, double seconds, screen_view_t size, run_t *run,
                     std::string *renderer) {
  const std::string command = "'" + std::filesystem::read_symlink("/proc/self/exe").string() + "' --run " +
                              loop + " " + std::to_string(balls) + " " + std::to_string(seconds) + " " +
                              std::to_string(size.w) + " " + std::to_string(size.h);
  FILE *pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return false;
  std::string out;
  char buf[256];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  const int status = pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(out.c_str(), "%lf %lf", &run->fps, &run->cpu_ms) != 2) {
    std::fprintf(stderr, "frame_bench: a %s run with %d balls failed: %s\n", loop.c_str(), balls,
                 out.c_str());
    return false;
  }
  const size_t line = out.find('\n');
  if (line != std::string::npos) *renderer = out.substr(line + 1, out.find('\n', line + 1) - line - 1);
  return true;
}

int frame_child(const std::string &loop, int balls, double seconds, int w, int h) {
  const bool game = loop != "bare";
  bench_field_game();
  graphic_create();
  graphic_resize(w, h);  // both loops draw into the view the game sets at that size
  if (loop == "bitmaps") text_forget();
  // The game clears the bands beside the view with the scissor off, a clear
  // of the whole window; the bare loop's clear does the same.
  if (!game) glDisable(GL_SCISSOR_TEST);
  if (game) sound_open();  // as the game does, with whatever driver SDL_AUDIODRIVER names
  const run_t run = frame_run(balls, game, seconds);
  std::printf("%.3f %.4f\n%s, OpenGL %s\n", run.fps, run.cpu_ms,
              reinterpret_cast<const char *>(glGetString(GL_RENDERER)),
              reinterpret_cast<const char *>(glGetString(GL_VERSION)));
  return 0;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
}  // namespace

int main(int argc, char **argv) {
  if (argc == 7 && std::string(argv[1]) == "--run")
    return frame_child(argv[2], std::max(1, std::atoi(argv[3])), std::min(kLongestRun, std::atof(argv[4])),
                       std::atoi(argv[5]), std::atoi(argv[6]));

  const bool numbers = argc > 1 && std::string(argv[1]) == "--numbers";
  const std::string other = numbers ? "bitmaps" : "bare";
  if (numbers) --argc, ++argv;
  double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  std::vector<int> counts;
  std::vector<screen_view_t> sizes;
  for (int i = 3; i < argc; ++i) {
    screen_view_t size{};
    if (std::sscanf(argv[i], "%dx%d", &size.w, &size.h) == 2)
      sizes.push_back(size);
    else
      counts.push_back(std::max(1, std::atoi(argv[i])));
  }
  if (counts.empty()) counts = {1, 256};
  if (sizes.empty()) sizes = {{0, 0, kViewWidth, kViewHeight}};
  if (seconds > kLongestRun || seconds <= 0) {
    std::fprintf(stderr, "frame_bench: runs last at most %.1f s; using that\n", kLongestRun);
    seconds = kLongestRun;
  }

  std::string renderer;
  bool header = false;
  for (const screen_view_t &size : sizes)
    for (const int balls : counts) {
      std::vector<double> fps[2], cpu[2];  // of the game's runs, then of the other loop's
      // Interleaved, so that a slow spell of the machine hits both alike.
      for (int r = 0; r < runs; ++r)
        for (int i = 0; i < 2; ++i) {
          run_t run{};
          if (!frame_run_apart(balls, i == 0 ? "game" : other, seconds, size, &run, &renderer)) return 1;
          fps[i].push_back(run.fps);
          cpu[i].push_back(run.cpu_ms);
        }
      if (!header) {
        std::printf("renderer: %s\n", renderer.c_str());
        std::printf("%9s %6s %9s %9s %7s %12s %12s %7s   fps of each run (game | %s)\n", "size", "balls",
                    "game fps", (other + " fps").c_str(), "ratio", "game cpu ms", (other + " cpu ms").c_str(),
                    "ratio", other.c_str());
        header = true;
      }
      const double gf = median(fps[0]), bf = median(fps[1]);
      const double gc = median(cpu[0]), bc = median(cpu[1]);
      const std::string wxh = std::to_string(size.w) + "x" + std::to_string(size.h);
      std::printf("%9s %6d %9.1f %9.1f %7.2f %12.2f %12.2f %7.2f   ", wxh.c_str(), balls, gf, bf, gf / bf, gc,
                  bc, bc / gc);
      for (const double f : fps[0]) std::printf("%.0f ", f);
      std::printf("|");
      for (const double f : fps[1]) std::printf(" %.0f", f);
      std::printf("\n");
      std::fflush(stdout);
    }
  return 0;
}
