#include "fixture.h"
#include "playfield/player.h"

TEST_F(GameTest, PaddleStartsOnItsCircle) { EXPECT_EQ(g_game->player[0]->rho, 45.0f); }
