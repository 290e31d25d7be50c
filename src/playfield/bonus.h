// bonus.h -- the six power-ups, each started from its own key
#pragma once

void bonus_split();
void bonus_transverser();
void bonus_speed();
void bonus_inverser();
void bonus_bigger();
void bonus_smaller();
void bonus_display();
