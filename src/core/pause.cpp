// pause.cpp -- play held still: whether it is, the wait while it is, and the clock shift after it
#include "core/pause.h"

#include "core/game.h"
#include "playfield/bonus.h"
#include "playfield/player.h"
#include "render/graphic.h"

namespace {
bool g_paused = false;
}  // namespace

bool pause_active() { return g_paused; }

void pause_set(bool paused) {
  const bool resumes = g_paused && !paused;
  g_paused = paused;
  if (resumes) input_resume();
}

void pause_shift(Uint32 paused_ms) {
  player_t *p = g_game->player[0];
  for (int e = 0; e < BONUS_TIMED; ++e) {
    if (!bonus_active(p, static_cast<bonus_timed_t>(e))) continue;
    // Added in double and rounded back to float, the way every start tick is stored.
    float &start = p->*kBonusEffects[e].start;
    start = static_cast<float>(static_cast<double>(start) + paused_ms);
  }
  // The first frame after the pause then measures only the play around it.
  g_game->last_tick += paused_ms;
}

void pause_hold() {
  const Uint32 start = SDL_GetTicks();
  graphic_display_paused();
  // A mode set now counts into the pause's own time.
  while (g_paused)
    if (game_rest(INPUT_PAUSED, graphic_display_paused) == INPUT_PAUSE) pause_set(false);
  pause_shift(static_cast<Uint32>(SDL_GetTicks() - start));
}
