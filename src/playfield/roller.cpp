// roller.cpp -- the balls: motion, paddle bounce, falling out of the field
#include "playfield/roller.h"

void roller_create(float, float, float, float, float, float) {}
void roller_update() {}
void roller_display() {}
void roller_destroy() {}
float norm_angle(float angle) { return angle; }
int is_collision(float, float, float) { return 0; }
