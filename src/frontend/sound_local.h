// sound_local.h -- the synthesiser behind the sound module, open to the unit tests
#pragma once

#include <cstdint>

#include "frontend/sound.h"

// A burst of events never plays more than this many sounds at once.
constexpr int kSoundVoices = 8;
constexpr int kSoundPartials = 3;

// One sound being played: a few sine partials gliding together from one pitch
// to another under a rise-and-decay envelope.
struct sound_voice_t {
  sound_event_t event;
  unsigned started;  // start order, to find the oldest voice
  int length;        // samples; 0 when the voice is free
  int position;      // samples played so far
  int attack;        // samples of the rise from silence
  float attack_step;
  float decay_step;
  float glide;                  // per-sample factor of every partial's pitch
  float phase[kSoundPartials];  // in cycles
  float step[kSoundPartials];   // cycles per sample
  float amp[kSoundPartials];
  float last;  // the voice's latest sample, for a click-free cut
};

// Everything the audio callback touches. No allocation: a fixed set of voices.
struct sound_mixer_t {
  int rate;  // samples per second; 0 until a rate is known, and nothing plays
  sound_voice_t voices[kSoundVoices];
  unsigned starts;
  bool muted;
  float gain;  // follows muted in a short ramp, so muting does not click
  float gain_step;
  float declick;  // what a cut voice was playing, fading out
  float declick_decay;
  int merge;  // samples within which a like sound adds no voice
};

void sound_mixer_init(sound_mixer_t *mixer, int rate);
// Gives the event a voice: a free one, or else the oldest. A sound of the
// same kind that began moments ago takes it in instead. Ignored while muted.
void sound_mixer_start(sound_mixer_t *mixer, sound_event_t event, int detail);
void sound_mixer_set_muted(sound_mixer_t *mixer, bool muted);
// Mixes `frames` samples of signed 16-bit sound, the same on each channel.
void sound_mixer_fill(sound_mixer_t *mixer, int16_t *out, int frames, int channels);

// The mixer the game plays through.
sound_mixer_t *sound_mixer();
