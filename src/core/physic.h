// physic.h -- placeholder module kept beside physics; nothing calls it
#pragma once

void physic_create();
void physic_update();
void physic_destroy();
