// menu.cpp -- the title screen
#include "frontend/menu.h"

void menu_init(int) {}
void menu_create(int) {}
void menu_display() {}
