// map_local.h -- the field's edges and the walk that takes fallen balls and bricks off it
#pragma once

#include <cstdlib>

// Anything further than this past the paddle's circle has left the field and falls.
constexpr double kLostBeyondPaddle = 2;
// What falls is removed only once it is below this height.
constexpr float kRemovalHeight = -30;

// Calls update on every element of a list linked through `next`, then unlinks
// and frees each element that has fallen below the removal height. The
// successor is noted first, and update sees the list as it stands so far.
template <typename T, typename Update>
void map_update_list(T **head, Update update) {
  T *kept = nullptr;
  for (T *e = *head; e != nullptr;) {
    T *const next = e->next;
    update(e);
    if (e->pos.y < kRemovalHeight) {
      if (kept == nullptr)
        *head = next;
      else
        kept->next = next;
      std::free(e);
    } else {
      kept = e;
    }
    e = next;
  }
}
