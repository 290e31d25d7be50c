// pace.h -- frames of play held to the display's refresh rate where the driver would draw them faster
#pragma once

// Paces play for a display refreshing `hz` times a second (60 where it reports
// no rate), or never waits where QUORVANE_FRAME_CAP=0 (for benchmarks alone).
// Whether the driver already holds each swap to the display is timed afresh.
void pace_start(int hz);
// After a new video mode: its first frame is shown at once, neither held by a
// deadline of the old mode nor followed by a hurried one.
void pace_restart();
// Once per frame of play, just before its swap: where the driver does not
// hold the swap (llvmpipe, Xvfb), sleeps until the frame's period is out. A
// late frame waits for nothing, and the next period counts from it.
void pace_frame();
