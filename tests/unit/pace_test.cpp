// pace_test.cpp -- the frame deadline rule and the timing of the driver, on times the test sets
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "render/pace_local.h"

namespace {
constexpr std::int64_t kMs = 1000000;
constexpr std::int64_t kP = 1000 * kMs / 60;  // a 60 Hz display's period
constexpr std::int64_t kT = 5000 * kMs;       // a frame ready, on the monotonic clock

TEST(PaceRule, SleepsToTheDeadlineAndNeverCatchesUp) {
  // The deadline, now and the period; then when to sleep until and the next deadline.
  const std::int64_t rows[][5] = {
      {0, kT, kP, kT, kT + kP},                           // the first frame: at once
      {kT + kP, kT + 4 * kMs, kP, kT + kP, kT + 2 * kP},  // early: to the deadline, the next a period on
      {kT, kT + kMs, kP, kT + kMs, kT + kMs + kP},        // late (or after a pause): at once, no burst
      {kT + kP, kT, kP / 2, kT + kP / 2, kT + kP},        // a deadline of a longer period: one period
  };
  for (const auto &r : rows) {
    const pace_step_t step = pace_rule(r[0], r[1], r[2]);
    EXPECT_EQ((std::array{step.sleep_until, step.next_deadline}), (std::array{r[3], r[4]})) << &r - rows;
  }
}

TEST(PaceStep, WaitsOnlyWhereTheDriverLetsFramesRunAhead) {
  // The period and a frame's time (the first three's let through at once, as by a driver's queue), then
  // the last frames' spacing, slept for where it is not their own: llvmpipe, a held swap, the cap lifted.
  const std::int64_t rows[][3] = {{kP, 4 * kMs, kP}, {kP, kP, kP}, {0, 4 * kMs, 4 * kMs}};
  for (const auto &r : rows) {
    pace_t pace{r[0], 0, 0, 0, 0, false};
    std::int64_t shown = kT, previous = 0, slept = 0;
    for (int frame = 0; frame < 3 * kPaceProbeFrames; ++frame) {
      const std::int64_t ready = (previous = shown) + (frame < 3 ? kMs : r[1]);
      slept += (shown = std::max(ready, pace_step(&pace, ready))) - ready;
    }
    EXPECT_EQ(shown - previous, r[2]) << &r - rows;
    EXPECT_EQ(slept > 0, r[2] != r[1]) << &r - rows;
  }
}
}  // namespace
