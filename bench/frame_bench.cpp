// frame_bench.cpp -- frames per second of the game's frame against the bare reference drawing
//
// Usage: frame_bench [seconds per run] [runs] [ball counts...]   (default: 2 7 1 256)
// Needs an X display; bench/run_frame_bench starts one. Every run is a process
// of its own (frame_bench --run game|bare BALLS SECONDS), so that neither loop
// inherits what the other left in the GL driver.
#include <GL/gl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench_field.h"
#include "core/game.h"
#include "core/physics.h"
#include "frontend/sound.h"
#include "reference_frame.h"
#include "render/graphic.h"

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
bool frame_run_apart(int balls, bool game, double seconds, run_t *run, std::string *renderer) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const std::string balls_arg = std::to_string(balls), seconds_arg = std::to_string(seconds);
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    execl("/proc/self/exe", "frame_bench", "--run", game ? "game" : "bare", balls_arg.c_str(),
          seconds_arg.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string out;
  char buf[256];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(out.c_str(), "%lf %lf", &run->fps, &run->cpu_ms) != 2) {
    std::fprintf(stderr, "frame_bench: a %s run with %d balls failed: %s\n", game ? "game" : "bare", balls,
                 out.c_str());
    return false;
  }
  const size_t line = out.find('\n');
  if (line != std::string::npos) *renderer = out.substr(line + 1, out.find('\n', line + 1) - line - 1);
  return true;
}

int frame_child(bool game, int balls, double seconds) {
  bench_field_game();
  graphic_create(0);
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
  if (argc == 5 && std::string(argv[1]) == "--run")
    return frame_child(std::string(argv[2]) == "game", std::max(1, std::atoi(argv[3])),
                       std::min(kLongestRun, std::atof(argv[4])));

  double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  std::vector<int> counts;
  for (int i = 3; i < argc; ++i) counts.push_back(std::max(1, std::atoi(argv[i])));
  if (counts.empty()) counts = {1, 256};
  if (seconds > kLongestRun || seconds <= 0) {
    std::fprintf(stderr, "frame_bench: runs last at most %.1f s; using that\n", kLongestRun);
    seconds = kLongestRun;
  }

  std::string renderer;
  bool header = false;
  for (const int balls : counts) {
    std::vector<double> game_fps, bare_fps, game_cpu, bare_cpu;
    // Interleaved, so that a slow spell of the machine hits both alike.
    for (int r = 0; r < runs; ++r) {
      run_t g{}, b{};
      if (!frame_run_apart(balls, true, seconds, &g, &renderer) ||
          !frame_run_apart(balls, false, seconds, &b, &renderer)) {
        return 1;
      }
      game_fps.push_back(g.fps);
      game_cpu.push_back(g.cpu_ms);
      bare_fps.push_back(b.fps);
      bare_cpu.push_back(b.cpu_ms);
    }
    if (!header) {
      std::printf("renderer: %s\n", renderer.c_str());
      std::printf("%6s %9s %9s %7s %12s %12s %7s   %s\n", "balls", "game fps", "bare fps", "ratio",
                  "game cpu ms", "bare cpu ms", "ratio", "fps of each run (game | bare)");
      header = true;
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
