// pace.cpp -- frames of play held to the display's refresh rate where the driver would draw them faster
#include "render/pace.h"

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "render/pace_local.h"

namespace {
constexpr std::int64_t kNsPerSecond = 1000000000;
// Xvfb reports its mode at 0 Hz: a display without a rate is taken to refresh
// as most do.
constexpr int kDefaultHz = 60;

pace_t g_pace;

std::int64_t pace_clock() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * kNsPerSecond + t.tv_nsec;
}
}  // namespace

pace_step_t pace_rule(std::int64_t deadline, std::int64_t now, std::int64_t period) {
  // Late, or the first frame: shown at once, and the next period counts from
  // it, so that a slow spell never ends in a burst of frames catching up.
  if (now >= deadline) return {now, now + period};
  // A deadline set at a longer period never holds a frame for more than one.
  const std::int64_t until = std::min(deadline, now + period);
  // Counted from the deadline, not from the wake-up, so that an oversleep or
  // a slow swap never drags the rate below the display's.
  return {until, until + period};
}

std::int64_t pace_step(pace_t *pace, std::int64_t now) {
  if (pace->period == 0) return now;
  if (!pace->waits) {
    // A swap held to the display lets frames through no faster than it
    // refreshes; waiting on top of it would only miss refreshes. A frame
    // under three quarters of the period was not held (the margin is the
    // swap's own jitter), and the driver is taken to hold the swap unless
    // most of a round's frames were not.
    if (pace->last != 0) {
      ++pace->timed;
      if (now - pace->last < pace->period * 3 / 4) ++pace->fast;
    }
    pace->last = now;
    if (pace->timed < kPaceProbeFrames) return now;
    pace->waits = 2 * pace->fast > pace->timed;
    pace->timed = pace->fast = 0;
    if (!pace->waits) return now;
  }
  const pace_step_t step = pace_rule(pace->deadline, now, pace->period);
  pace->deadline = step.next_deadline;
  return step.sleep_until;
}

void pace_start(int hz) {
  const char *cap = std::getenv("QUORVANE_FRAME_CAP");
  g_pace = {};
  if (cap == nullptr || std::strcmp(cap, "0") != 0) g_pace.period = kNsPerSecond / (hz > 0 ? hz : kDefaultHz);
}

void pace_restart() { g_pace.deadline = 0; }

void pace_frame() {
  const std::int64_t now = pace_clock();
  const std::int64_t until = pace_step(&g_pace, now);
  if (until <= now) return;
  // An absolute deadline on the monotonic clock: neither rounded to whole
  // milliseconds nor moved on by the time the call itself takes.
  const timespec at = {static_cast<time_t>(until / kNsPerSecond), static_cast<long>(until % kNsPerSecond)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
  }
}
