// camera.cpp -- the view from behind the paddle
#include "render/camera.h"

int camera_init() { return 0; }
void camera_create() {}
void camera_update() {}
