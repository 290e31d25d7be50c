// frame_bench.cpp -- frames per second of the game's frame against the bare reference drawing
//
// Usage: frame_bench [seconds per run] [runs] [ball counts...]   (default: 2 7 1 256)
// Needs an X display; bench/run_frame_bench starts one.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "bench_field.h"
#include "core/game.h"
#include "core/physics.h"
#include "reference_frame.h"
#include "render/graphic.h"

namespace {
// A fresh field has no ball that can be removed (which would end the game
// once the last one goes) before 2.7 s of play.
constexpr double kLongestRun = 2.5;
constexpr int kWarmUpFrames = 3;

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

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
}  // namespace

int main(int argc, char **argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  std::vector<int> counts;
  for (int i = 3; i < argc; ++i) counts.push_back(std::max(1, std::atoi(argv[i])));
  if (counts.empty()) counts = {1, 256};
  if (seconds > kLongestRun || seconds <= 0) {
    std::fprintf(stderr, "frame_bench: runs last at most %.1f s; using that\n", kLongestRun);
    seconds = kLongestRun;
  }

  bench_field_game();
  graphic_create(0);
  std::printf("renderer: %s, OpenGL %s\n", reinterpret_cast<const char *>(glGetString(GL_RENDERER)),
              reinterpret_cast<const char *>(glGetString(GL_VERSION)));

  std::printf("%6s %9s %9s %7s %12s %12s %7s   %s\n", "balls", "game fps", "bare fps", "ratio", "game cpu ms",
              "bare cpu ms", "ratio", "fps of each run (game | bare)");
  for (const int balls : counts) {
    std::vector<double> game_fps, bare_fps, game_cpu, bare_cpu;
    // Interleaved, so that a slow spell of the machine hits both alike.
    for (int r = 0; r < runs; ++r) {
      const run_t g = frame_run(balls, true, seconds);
      const run_t b = frame_run(balls, false, seconds);
      game_fps.push_back(g.fps);
      game_cpu.push_back(g.cpu_ms);
      bare_fps.push_back(b.fps);
      bare_cpu.push_back(b.cpu_ms);
    }
    const double gf = median(game_fps), bf = median(bare_fps);
    const double gc = median(game_cpu), bc = median(bare_cpu);
    std::printf("%6d %9.1f %9.1f %7.2f %12.2f %12.2f %7.2f   ", balls, gf, bf, gf / bf, gc, bc, bc / gc);
    for (const double f : game_fps) std::printf("%.0f ", f);
    std::printf("|");
    for (const double f : bare_fps) std::printf(" %.0f", f);
    std::printf("\n");
    std::fflush(stdout);
  }
  return 0;
}
