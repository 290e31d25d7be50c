// physic.cpp -- placeholder module kept beside physics; nothing calls it
#include "core/physic.h"

void physic_create() {}
void physic_update() {}
void physic_destroy() {}
