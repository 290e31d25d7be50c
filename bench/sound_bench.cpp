// sound_bench.cpp -- what the audio callback costs: mixing one second of sound with every voice busy
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "frontend/sound_local.h"

namespace {
constexpr int kRate = 44100;  // what the game asks the device for
constexpr int kBuffer = 512;  // samples per callback, as the game asks

// Every voice sounding for the whole second: the longest sound, stretched,
// each a little later than the one before so that they are all different.
void sound_bench_fill_voices(sound_mixer_t *m) {
  sound_mixer_init(m, kRate);
  sound_mixer_start(m, SOUND_LOST, 0);
  sound_voice_t v = m->voices[0];
  v.length = 2 * kRate;
  v.decay_step = 1 / static_cast<float>(v.length - v.attack);
  for (int i = 0; i < kSoundVoices; ++i) {
    m->voices[i] = v;
    m->voices[i].position = i * 100;
    m->voices[i].started = m->starts++;
  }
}

void BM_MixOneSecond(benchmark::State &state) {
  const int channels = static_cast<int>(state.range(0));
  sound_mixer_t mixer{};
  std::vector<int16_t> buffer(static_cast<size_t>(kBuffer * channels));
  for (auto _ : state) {
    state.PauseTiming();
    sound_bench_fill_voices(&mixer);
    state.ResumeTiming();
    for (int done = 0; done < kRate; done += kBuffer)
      sound_mixer_fill(&mixer, buffer.data(), kBuffer, channels);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.counters["busy voices"] = kSoundVoices;
}
BENCHMARK(BM_MixOneSecond)->Arg(1)->Arg(2)->ArgNames({"channels"})->Unit(benchmark::kMillisecond);

// The same second with nothing to play: the callback's floor.
void BM_MixOneSecondOfSilence(benchmark::State &state) {
  sound_mixer_t mixer{};
  sound_mixer_init(&mixer, kRate);
  std::vector<int16_t> buffer(kBuffer);
  for (auto _ : state) {
    for (int done = 0; done < kRate; done += kBuffer) sound_mixer_fill(&mixer, buffer.data(), kBuffer, 1);
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(BM_MixOneSecondOfSilence)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
