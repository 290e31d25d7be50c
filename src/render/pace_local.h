// pace_local.h -- the pacer's rules as functions of times, shared with the unit tests only
#pragma once

#include <cstdint>

#include "render/pace.h"

// Frame intervals timed before deciding whether the driver holds the swap:
// more than a driver's queue of a few frames that are let through at once,
// and than the slow first frames of a mode (shaders, glyphs).
constexpr int kPaceProbeFrames = 12;

struct pace_step_t {
  std::int64_t sleep_until;    // ns on the monotonic clock; no later than now: no sleep
  std::int64_t next_deadline;  // when the frame after may be shown at the earliest
};
// The deadline rule: a frame ready to be shown at `now`, with the deadline
// `deadline` (0: none yet), at `period` ns a frame.
pace_step_t pace_rule(std::int64_t deadline, std::int64_t now, std::int64_t period);

struct pace_t {
  std::int64_t period;    // ns a frame; 0: frames are never held
  std::int64_t deadline;  // for the next frame, once the game waits itself
  std::int64_t last;      // when the previous frame was ready, while the driver is timed; 0: none
  int timed;              // intervals timed in this round...
  int fast;               // ...and those shorter than the display allows
  bool waits;             // whether the game waits out the periods itself
};
// The pacer at a frame ready at `now`: times the driver until it knows
// whether to wait, then applies the deadline rule. Returns when to sleep until.
std::int64_t pace_step(pace_t *pace, std::int64_t now);
