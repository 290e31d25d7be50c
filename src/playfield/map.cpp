// map.cpp -- the field record and the lay-out of a new game
#include "playfield/map.h"

void map_create() {}
void map_update() {}
void map_display() {}
void map_destroy() {}
