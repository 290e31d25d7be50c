// physics.h -- the per-frame simulation step and its frame clock
#pragma once

void physics_create();
void physics_update();
void physics_destroy();
