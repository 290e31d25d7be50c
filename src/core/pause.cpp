// pause.cpp -- play held still: the wait while paused and the clock shift after it
#include "core/pause.h"

#include "core/game.h"
#include "frontend/input.h"
#include "playfield/bonus.h"
#include "playfield/player.h"
#include "render/graphic.h"

namespace {
// What may have wiped the picture while nothing else redraws it.
bool pause_needs_redraw(const SDL_Event &event) {
  return event.type == SDL_VIDEOEXPOSE || event.type == SDL_VIDEORESIZE ||
         (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_F11);
}
}  // namespace

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
  while (g_game->paused) {
    const SDL_Event event = input_wait();
    if (g_game->paused && pause_needs_redraw(event)) graphic_display_paused();
  }
  pause_shift(static_cast<Uint32>(SDL_GetTicks() - start));
}
