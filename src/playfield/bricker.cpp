// bricker.cpp -- the bricks: settling, contact with balls, scoring, falling away
#include "playfield/bricker.h"

void bricker_create(float, float, float, float, float) {}
void bricker_mother_create(float, float, float) {}
void bricker_update() {}
void bricker_display() {}
void bricker_destroy() {}
