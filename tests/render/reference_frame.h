// reference_frame.h -- one frame drawn with the plain GL calls of the game's drawing rules
#pragma once

// Draws the current state of g_game as the game's frame is defined: every
// sphere generated afresh by glutSolidSphere, the blend and depth switches
// around every brick, then flush and buffer swap. Nothing is cached, nothing
// simulated: the yardstick for the game's own frame. The paddle and the
// numbers, which the comparison is not about, are the game's own drawing.
void reference_frame();
