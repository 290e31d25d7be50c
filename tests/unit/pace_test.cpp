// pace_test.cpp -- the frame deadline rule and the timing of the driver, on times the test sets
#include <gtest/gtest.h>

#include <algorithm>

#include "render/pace_local.h"

namespace {
constexpr std::int64_t kMs = 1000000;
constexpr std::int64_t kP = 1000 * kMs / 60;  // a 60 Hz display's period
constexpr std::int64_t kT = 5000 * kMs;       // a frame ready, on the monotonic clock

TEST(PaceRule, SleepsToTheDeadlineAndNeverCatchesUp) {
  const struct {
    const char *what;
    std::int64_t deadline, now, period, sleep_until, next;
  } rows[] = {
      {"first frame: at once", 0, kT, kP, kT, kT + kP},
      {"early: to the deadline, the next a period after it", kT + kP, kT + 4 * kMs, kP, kT + kP, kT + 2 * kP},
      {"on the deadline: at once", kT, kT, kP, kT, kT + kP},
      {"late: at once, the next a period after it", kT, kT + kMs, kP, kT + kMs, kT + kMs + kP},
      {"after a pause: at once, no burst", kT, kT + 9000 * kMs, kP, kT + 9000 * kMs, kT + 9000 * kMs + kP},
      {"a deadline of a longer period: one period", kT + kP, kT, kP / 2, kT + kP / 2, kT + kP},
  };
  for (const auto &r : rows) {
    const pace_step_t step = pace_rule(r.deadline, r.now, r.period);
    EXPECT_EQ(step.sleep_until, r.sleep_until) << r.what;
    EXPECT_EQ(step.next_deadline, r.next) << r.what;
  }
}

// Frames that take `work` to draw, the first three let through at once as by
// a driver's queue: whether the pacer sleeps, and the last frames' spacing.
TEST(PaceStep, WaitsOnlyWhereTheDriverLetsFramesRunAhead) {
  const struct {
    const char *what;
    std::int64_t period, work;
    bool waits;
  } rows[] = {
      {"llvmpipe", kP, 4 * kMs, true},
      {"a swap held to the display", kP, kP, false},
      {"the cap lifted", 0, 4 * kMs, false},
  };
  for (const auto &r : rows) {
    pace_t pace{r.period, 0, 0, 0, 0, false};
    std::int64_t start = kT, previous = 0, slept = 0;
    for (int frame = 0; frame < 3 * kPaceProbeFrames; ++frame) {
      previous = start;
      const std::int64_t end = start + (frame < 3 ? kMs : r.work);
      start = std::max(end, pace_step(&pace, end));
      slept += start - end;
    }
    EXPECT_EQ(slept > 0, r.waits) << r.what;
    EXPECT_EQ(start - previous, r.waits ? kP : r.work) << r.what;
  }
}
}  // namespace
