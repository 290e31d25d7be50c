// sound.cpp -- the sound effects: synthesised in the program, played through the audio device
#include "frontend/sound.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "frontend/sound_local.h"

namespace {
constexpr int kRate = 44100;
// About 12 ms a buffer: a hit is heard within a frame or two of happening.
constexpr Uint16 kBufferFrames = 512;
constexpr float kMuteRampSeconds = 0.005f;
constexpr float kDeclickSeconds = 0.002f;
// A sound of the same kind as one started less than this ago is heard as
// part of it: balls reaching the paddle together give one knock, not a buzz.
constexpr float kMergeSeconds = 0.025f;
// Up to here the mix passes unchanged; a louder one bends towards full scale
// without reaching it.
constexpr float kLimitFrom = 0.6f;

struct sound_shape_t {
  float ms;
  float attack_ms;
  float hz;        // of the first partial at the start
  float glide_to;  // pitch factor reached at the end
  float level;
  float ratio[kSoundPartials];
  float amp[kSoundPartials];  // shares of the level, adding up to 1
};

// Indexed by sound_event_t. Brick and power-up sounds take their pitch from
// the event's detail instead.
constexpr sound_shape_t kShapes[] = {
    {90, 2, 330, 0.67f, 0.45f, {1, 2, 3}, {0.7f, 0.22f, 0.08f}},                  // paddle: a soft knock
    {110, 1.5f, 0, 1, 0.3f, {1, 2, 4}, {0.75f, 0.2f, 0.05f}},                     // brick: a ping
    {700, 6, 523.25f, 1.0595f, 0.4f, {1, 1.2599f, 1.4983f}, {0.4f, 0.3f, 0.3f}},  // mother: a major chord
    {450, 4, 392, 0.25f, 0.45f, {1, 3, 5}, {0.8f, 0.15f, 0.05f}},                 // lost: falls two octaves
    {160, 3, 0, 2, 0.3f, {1, 2, 0}, {0.8f, 0.2f, 0}},                             // power-up: rises one
};
constexpr int kShapeCount = static_cast<int>(sizeof kShapes / sizeof kShapes[0]);

// The last brick pings at this pitch; each brick more left lowers it by a
// fifteenth of a semitone, so the pitch climbs a little with every hit.
constexpr float kBrickTopHz = 1320;
constexpr float kBrickStepsPerOctave = 180;
constexpr int kBrickMostLeft = 1000;  // beyond any field: the pitch stops falling

// Each power-up on its own note of a pentatonic scale.
constexpr float kPowerUpHz = 392;
constexpr int kPowerUpSteps[] = {0, 2, 4, 7, 9, 12};

sound_mixer_t g_mixer;
bool g_tried = false;
bool g_open = false;
int g_channels = 1;

float sound_pitch(sound_event_t event, int detail) {
  if (event == SOUND_BRICK) {
    const int left = std::clamp(detail, 0, kBrickMostLeft);
    return kBrickTopHz * std::exp2(-static_cast<float>(left) / kBrickStepsPerOctave);
  }
  if (event == SOUND_POWER_UP) {
    const int count = static_cast<int>(sizeof kPowerUpSteps / sizeof kPowerUpSteps[0]);
    const int step = kPowerUpSteps[std::clamp(detail, 0, count - 1)];
    return kPowerUpHz * std::exp2(static_cast<float>(step) / 12);
  }
  return kShapes[event].hz;
}

// sin(2 pi p) for p in [0, 1): a parabola per half turn, refined once. Within
// 0.1% of full scale, and much cheaper than std::sin for every sample of
// every voice.
float sound_sine(float p) {
  const float t = p < 0.5f ? p : p - 1;
  const float y = 8 * t * (1 - 2 * std::fabs(t));
  return 0.225f * (y * std::fabs(y) - y) + y;
}

float sound_limit(float x) {
  const float a = std::fabs(x);
  if (a <= kLimitFrom) return x;
  const float over = (a - kLimitFrom) / (1 - kLimitFrom);
  const float y = kLimitFrom + (1 - kLimitFrom) * over / (1 + over);
  return x < 0 ? -y : y;
}

// The envelope rises in a straight line from silence and decays as a square
// to silence at the very end, so a sound neither starts nor stops with a step.
float sound_voice_next(sound_voice_t *v) {
  float env;
  if (v->position < v->attack) {
    env = static_cast<float>(v->position) * v->attack_step;
  } else {
    const float d = 1 - static_cast<float>(v->position - v->attack) * v->decay_step;
    env = d * d;
  }
  float sum = 0;
  for (int k = 0; k < kSoundPartials; ++k) {
    sum += v->amp[k] * sound_sine(v->phase[k]);
    v->phase[k] += v->step[k];
    if (v->phase[k] >= 1) v->phase[k] -= 1;
    v->step[k] *= v->glide;
  }
  const float out = env * sum;
  v->last = out;
  if (++v->position >= v->length) v->length = 0;
  return out;
}

// The voice for a new sound, or none when a like sound has only just begun:
// until it has been heard the newer one replaces it, after that it stands
// for both.
sound_voice_t *sound_mixer_slot(sound_mixer_t *m, sound_event_t event) {
  sound_voice_t *free_voice = nullptr;
  sound_voice_t *oldest = &m->voices[0];
  for (sound_voice_t &v : m->voices) {
    if (v.length > 0 && v.event == event && v.position < m->merge) return v.position == 0 ? &v : nullptr;
    if (v.length == 0 && free_voice == nullptr) free_voice = &v;
    if (static_cast<int>(v.started - oldest->started) < 0) oldest = &v;
  }
  return free_voice != nullptr ? free_voice : oldest;
}

// Everything about a new sound that needs no lock: its length, envelope and pitches.
// A voice of length 0 for a sound that cannot be played.
sound_voice_t sound_voice_make(int rate, sound_event_t event, int detail) {
  sound_voice_t v{};
  if (rate <= 0 || event < 0 || event >= kShapeCount) return v;
  const sound_shape_t &shape = kShapes[event];
  const float per_ms = static_cast<float>(rate) / 1000;
  v.event = event;
  v.length = std::max(2, static_cast<int>(shape.ms * per_ms));
  v.attack = std::clamp(static_cast<int>(shape.attack_ms * per_ms), 1, v.length - 1);
  v.attack_step = 1 / static_cast<float>(v.attack);
  v.decay_step = 1 / static_cast<float>(v.length - v.attack);
  v.glide = std::pow(shape.glide_to, 1 / static_cast<float>(v.length));
  const float hz = sound_pitch(event, detail);
  for (int k = 0; k < kSoundPartials; ++k) {
    v.step[k] = hz * shape.ratio[k] / static_cast<float>(rate);
    // A partial that would pass half the rate would fold back as noise.
    const bool audible = v.step[k] * std::max(1.0f, shape.glide_to) < 0.5f;
    v.amp[k] = audible ? shape.level * shape.amp[k] : 0;
  }
  return v;
}

void sound_mixer_place(sound_mixer_t *mixer, const sound_voice_t &v) {
  if (mixer->muted || v.length == 0) return;
  sound_voice_t *slot = sound_mixer_slot(mixer, v.event);
  if (slot == nullptr) return;
  // A voice cut while sounding leaves its last sample to fade, not a step.
  if (slot->length > 0) mixer->declick += slot->last;
  *slot = v;
  slot->started = mixer->starts++;
}

void sound_unavailable() { std::fprintf(stderr, "quorvane: no sound: %s\n", SDL_GetError()); }

void sound_lock() {
  if (g_open) SDL_LockAudio();
}

void sound_unlock() {
  if (g_open) SDL_UnlockAudio();
}

void sound_callback(void * /*unused*/, Uint8 *stream, int len) {
  const int frames = len / (static_cast<int>(sizeof(int16_t)) * g_channels);
  sound_mixer_fill(&g_mixer, reinterpret_cast<int16_t *>(stream), frames, g_channels);
}
}  // namespace

void sound_mixer_init(sound_mixer_t *mixer, int rate) {
  *mixer = sound_mixer_t{};
  mixer->gain = 1;
  if (rate <= 0) return;
  mixer->rate = rate;
  mixer->gain_step = 1 / (static_cast<float>(rate) * kMuteRampSeconds);
  mixer->declick_decay = std::exp(-1 / (static_cast<float>(rate) * kDeclickSeconds));
  mixer->merge = static_cast<int>(static_cast<float>(rate) * kMergeSeconds);
}

void sound_mixer_start(sound_mixer_t *mixer, sound_event_t event, int detail) {
  sound_mixer_place(mixer, sound_voice_make(mixer->rate, event, detail));
}

void sound_mixer_set_muted(sound_mixer_t *mixer, bool muted) { mixer->muted = muted; }

void sound_mixer_fill(sound_mixer_t *mixer, int16_t *out, int frames, int channels) {
  const float target = mixer->muted ? 0.0f : 1.0f;
  for (int i = 0; i < frames; ++i) {
    float sum = mixer->declick;
    mixer->declick *= mixer->declick_decay;
    if (std::fabs(mixer->declick) < 1e-6f) mixer->declick = 0;
    for (sound_voice_t &v : mixer->voices)
      if (v.length > 0) sum += sound_voice_next(&v);
    if (mixer->gain < target) mixer->gain = std::min(target, mixer->gain + mixer->gain_step);
    if (mixer->gain > target) mixer->gain = std::max(target, mixer->gain - mixer->gain_step);
    const auto sample = static_cast<int16_t>(std::lrint(sound_limit(sum * mixer->gain) * 32767));
    for (int c = 0; c < channels; ++c) out[i * channels + c] = sample;
  }
  // Faded out: what was playing is dropped, so unmuting starts from silence.
  if (mixer->muted && mixer->gain == 0) {
    for (sound_voice_t &v : mixer->voices) v.length = 0;
    mixer->declick = 0;
  }
}

sound_mixer_t *sound_mixer() { return &g_mixer; }

void sound_open() {
  if (g_tried) return;
  g_tried = true;
  // sdl12-compat refuses an unknown driver here already, the classic library
  // only when the device is opened.
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == -1) {
    sound_unavailable();
    return;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = kRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = kBufferFrames;
  wanted.callback = sound_callback;
  SDL_AudioSpec got{};
  if (SDL_OpenAudio(&wanted, &got) == -1) {
    sound_unavailable();
    return;
  }
  // The rate and the channels are the device's; for another sample format
  // the library converts from the one asked for.
  if (got.format != AUDIO_S16SYS || got.channels == 0 || got.freq <= 0) {
    SDL_CloseAudio();
    if (SDL_OpenAudio(&wanted, nullptr) == -1) {
      sound_unavailable();
      return;
    }
    got = wanted;
  }
  sound_mixer_init(&g_mixer, got.freq);
  g_channels = got.channels;
  g_open = true;
  SDL_PauseAudio(0);
}

void sound_play(sound_event_t event, int detail) {
  if (g_mixer.rate == 0) return;  // no device: nothing to mix
  const sound_voice_t voice = sound_voice_make(g_mixer.rate, event, detail);
  sound_lock();
  sound_mixer_place(&g_mixer, voice);
  sound_unlock();
}

void sound_toggle_mute() {
  sound_lock();
  sound_mixer_set_muted(&g_mixer, !g_mixer.muted);
  sound_unlock();
}

void sound_close() {
  if (g_open) SDL_CloseAudio();
  g_open = false;
  g_tried = false;
  sound_mixer_init(&g_mixer, 0);
}
