// map.h -- the field record and the lay-out of a new game
#pragma once

#include <cstdint>

struct bricker_t;
struct roller_t;

struct map_t {
  bricker_t *bricks;
  roller_t *rollers;
  int32_t bricks_left;  // shown on screen; starts at 150
};

// Whether every brick has been counted, the mother brick's last of all: its
// hit takes the count to -1.
inline bool map_cleared(const map_t *map) { return map->bricks_left < 0; }

void map_create();
void map_update();
void map_display();
void map_destroy();
