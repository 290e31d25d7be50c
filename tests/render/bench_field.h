// bench_field.h -- fields laid out the same way for the benchmarks and the picture test
#pragma once

// Builds the context and the paddle, without a window; call once.
void bench_field_game();
// Replaces the field with the one a new game lays out (the same random
// sequence every time), lets its bricks come to rest unless `settle` is false,
// and adds balls spread over the field until there are `balls` of them.
void bench_field_reset(int balls, bool settle = true);
int bench_field_ball_count();
