// input.cpp -- the in-game keyboard controls
#include "frontend/input.h"

void input_create() {}
void input_update() {}
