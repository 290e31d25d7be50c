// fixture.h -- a fresh game context for each test, without a window
#pragma once

#include <gtest/gtest.h>

#include "core/game.h"
#include "fake_clock.h"

// Builds the context and the paddle as start-up does, minus the window, and
// releases them afterwards. Balls and bricks are the test's to add.
class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};
