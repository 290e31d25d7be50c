// input.h -- the in-game keyboard controls
#pragma once

void input_create();
void input_update();
