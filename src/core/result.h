// result.h -- the end of a game: its result held on screen until the player leaves
#pragma once

// Shows the result over the field as play left it, and waits on events until
// a key pressed after it appeared, a click, a pad button or the window closed
// ends the game, with status 0.
[[noreturn]] void result_hold();
