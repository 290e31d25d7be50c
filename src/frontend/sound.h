// sound.h -- the sound effects: synthesised in the program, played through the audio device
#pragma once

// What the rules decided; the sound module chooses how it sounds.
enum sound_event_t {
  SOUND_PADDLE,    // a ball bounced off the paddle
  SOUND_BRICK,     // a brick hit that counts; detail: the bricks left after it
  SOUND_MOTHER,    // the mother brick's hit
  SOUND_LOST,      // a ball got past the paddle
  SOUND_POWER_UP,  // a power-up key started its effect; detail: which one, from 0
};

// Opens the audio device, once, when play starts. Without a device the game
// plays silently and says so once on standard error.
void sound_open();
void sound_play(sound_event_t event, int detail);
void sound_toggle_mute();
void sound_close();
