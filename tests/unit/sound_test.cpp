// sound_test.cpp -- the synthesised effects: lengths, envelopes, voices, mute, and where the rules start them
#include "frontend/sound.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

#include "core/game_local.h"
#include "fixture.h"
#include "frontend/input.h"
#include "frontend/sound_local.h"
#include "playfield/bonus.h"
#include "playfield/bricker.h"
#include "playfield/map.h"
#include "playfield_helpers.h"

namespace {

constexpr int kRate = 44100;
constexpr int kFullScale = 32767;

std::vector<int16_t> render(sound_mixer_t *m, int frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames));
  sound_mixer_fill(m, out.data(), frames, 1);
  return out;
}

int ms(double t) { return static_cast<int>(t * kRate / 1000); }

int peak(const std::vector<int16_t> &s, size_t from = 0, size_t to = SIZE_MAX) {
  int p = 0;
  for (size_t i = from; i < std::min(to, s.size()); ++i) p = std::max(p, std::abs(static_cast<int>(s[i])));
  return p;
}

int last_sound(const std::vector<int16_t> &s) {
  for (size_t i = s.size(); i-- > 0;)
    if (s[i] != 0) return static_cast<int>(i);
  return -1;
}

// Upward zero crossings per second: the pitch of a sound whose first partial leads.
double pitch(const std::vector<int16_t> &s, int from, int to) {
  int crossings = 0;
  for (int i = from + 1; i < to; ++i) crossings += s[i - 1] < 0 && s[i] >= 0;
  return crossings * static_cast<double>(kRate) / (to - from);
}

class Synth : public ::testing::Test {
 protected:
  void SetUp() override { sound_mixer_init(&m, kRate); }
  std::vector<int16_t> alone(sound_event_t event, int detail = 0) {
    sound_mixer_start(&m, event, detail);
    return render(&m, kRate);
  }
  int busy() {
    return static_cast<int>(std::count_if(std::begin(m.voices), std::end(m.voices),
                                          [](const sound_voice_t &v) { return v.length > 0; }));
  }
  sound_mixer_t m{};
};

struct Effect {
  sound_event_t event;
  double length_ms;
  const char *name;
};

class EachEffect : public Synth, public ::testing::WithParamInterface<Effect> {};

TEST_P(EachEffect, RisesFromSilenceAndDecaysIntoItWithinItsLength) {
  const std::vector<int16_t> s = alone(GetParam().event, 75);
  const int length = ms(GetParam().length_ms), top = peak(s);
  EXPECT_GT(top, kFullScale / 5);
  EXPECT_EQ(s[0], 0);
  EXPECT_LT(std::abs(s[1]), top / 30) << "starts with a click";
  EXPECT_LT(last_sound(s), length);
  EXPECT_GT(last_sound(s), length * 97 / 100) << "ends early";
  EXPECT_LT(peak(s, length - ms(1)), top / 100) << "ends with a click";
  EXPECT_EQ(peak(s, 0, length / 4), top) << "the loudest part comes first";
  EXPECT_LT(peak(s, length * 9 / 10), top / 20) << "has not decayed at the end";
}

INSTANTIATE_TEST_SUITE_P(Sounds, EachEffect,
                         ::testing::Values(Effect{SOUND_PADDLE, 90, "Paddle"},
                                           Effect{SOUND_BRICK, 110, "Brick"},
                                           Effect{SOUND_MOTHER, 700, "Mother"},
                                           Effect{SOUND_LOST, 450, "Lost"},
                                           Effect{SOUND_POWER_UP, 160, "PowerUp"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Synth, PitchesRiseWithFewerBricksDifferByPowerUpAndFallForALostBall) {
  const double full = pitch(alone(SOUND_BRICK, 149), 0, ms(100));
  const double last = pitch(alone(SOUND_BRICK, 0), 0, ms(100));
  EXPECT_LT(full, pitch(alone(SOUND_BRICK, 75), 0, ms(100)));
  EXPECT_LT(pitch(alone(SOUND_BRICK, 75), 0, ms(100)), last);
  EXPECT_GT(last / full, 1.3);  // a little
  EXPECT_LT(last / full, 2.0);
  EXPECT_LT(pitch(alone(SOUND_POWER_UP, 0), 0, ms(20)), pitch(alone(SOUND_POWER_UP, 5), 0, ms(20)));
  const std::vector<int16_t> lost = alone(SOUND_LOST);
  EXPECT_GT(pitch(lost, 0, ms(100)), 1.5 * pitch(lost, ms(300), ms(400)));
}

TEST_F(Synth, ANinthSoundTakesTheOldestVoiceWithoutAStep) {
  sound_mixer_start(&m, SOUND_LOST, 0);
  std::vector<int16_t> before = render(&m, ms(50));
  // Seven later voices, silent, so that only the one to be cut is heard.
  for (int i = 1; i < kSoundVoices; ++i) {
    m.voices[i] = m.voices[0];
    m.voices[i].started = m.starts++;
    std::fill(std::begin(m.voices[i].amp), std::end(m.voices[i].amp), 0.0f);
  }
  while (std::abs(before.back()) < kFullScale / 5) before.push_back(render(&m, 1)[0]);
  int motion = 0;
  for (size_t i = before.size() - 100; i < before.size(); ++i)
    motion = std::max(motion, std::abs(before[i] - before[i - 1]));

  sound_mixer_start(&m, SOUND_BRICK, 0);
  EXPECT_EQ(busy(), kSoundVoices);
  EXPECT_EQ(m.voices[0].event, SOUND_BRICK);
  const int16_t after = render(&m, 1)[0];
  EXPECT_LE(std::abs(after - before.back()), motion + motion / 2) << "a click where the voice was cut";
}

TEST_F(Synth, LikeEventsMomentsApartSoundAsOne) {
  sound_mixer_t one{};
  sound_mixer_init(&one, kRate);
  sound_mixer_start(&one, SOUND_PADDLE, 0);
  for (int i = 0; i < 256; ++i) sound_mixer_start(&m, SOUND_PADDLE, 0);
  EXPECT_EQ(busy(), 1);
  EXPECT_EQ(render(&m, ms(10)), render(&one, ms(10)));
  sound_mixer_start(&m, SOUND_PADDLE, 0);  // neither a second knock nor a restart
  EXPECT_EQ(render(&m, ms(100)), render(&one, ms(100)));
  sound_mixer_start(&m, SOUND_PADDLE, 0);  // long after: a knock of its own
  EXPECT_GT(peak(render(&m, ms(50))), kFullScale / 5);
}

TEST_F(Synth, BurstsOfEveryKindNeverReachFullScale) {
  int loudest = 0;
  for (int frame = 0; frame < 60; ++frame) {  // a second at 60 frames a second
    for (int i = 0; i < 256; ++i) {
      sound_mixer_start(&m, static_cast<sound_event_t>(i % 5), 150 - i % 150);
      if (i % 32 == 31) render(&m, 1);  // some of them in a buffer of their own
    }
    loudest = std::max(loudest, peak(render(&m, kRate / 60)));
    EXPECT_LE(busy(), kSoundVoices);
  }
  EXPECT_GT(loudest, kFullScale / 2);
  EXPECT_LT(loudest, kFullScale);

  // The loudest case: every voice the longest loud sound, one after the other.
  sound_mixer_init(&m, kRate);
  std::vector<int16_t> stack;
  for (int i = 0; i < kSoundVoices; ++i) {
    sound_mixer_start(&m, SOUND_LOST, 0);
    const std::vector<int16_t> part = render(&m, ms(26));
    stack.insert(stack.end(), part.begin(), part.end());
  }
  EXPECT_EQ(busy(), kSoundVoices);
  EXPECT_GT(peak(stack), kFullScale * 7 / 10);
  EXPECT_LT(peak(stack), kFullScale);
  for (size_t i = 1; i < stack.size(); ++i)
    ASSERT_LT(std::abs(stack[i] - stack[i - 1]), kFullScale / 2) << "wrapped around at " << i;
}

TEST_F(Synth, MuteFadesOutAtOnceDropsWhatPlaysAndIgnoresNewSounds) {
  sound_mixer_start(&m, SOUND_LOST, 0);
  const std::vector<int16_t> playing = render(&m, ms(50));
  sound_mixer_set_muted(&m, true);
  const std::vector<int16_t> fading = render(&m, ms(5) + 1);
  EXPECT_LT(std::abs(fading[0] - playing.back()), kFullScale / 20) << "cut off with a click";
  EXPECT_EQ(fading.back(), 0);
  sound_mixer_start(&m, SOUND_MOTHER, 0);
  EXPECT_EQ(peak(render(&m, ms(50))), 0);

  sound_mixer_set_muted(&m, false);
  EXPECT_EQ(peak(render(&m, ms(100))), 0) << "the muted sound came back";
  sound_mixer_start(&m, SOUND_PADDLE, 0);
  EXPECT_GT(peak(render(&m, ms(100))), kFullScale / 5);
}

// The rules start the sounds where they decide what happened.
class RuleSounds : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    sound_mixer_init(sound_mixer(), kRate);
  }
  // The events started since the last call, oldest first.
  std::vector<sound_event_t> started() {
    std::map<unsigned, sound_event_t> by_start;
    for (const sound_voice_t &v : sound_mixer()->voices)
      if (v.length > 0 && v.started >= seen) by_start[v.started] = v.event;
    seen = sound_mixer()->starts;
    std::vector<sound_event_t> events;
    for (const auto &[start, event] : by_start) events.push_back(event);
    return events;
  }
  unsigned seen = 0;
};

using Events = std::vector<sound_event_t>;

TEST_F(RuleSounds, PaddleBounceAndTheStepThatTakesABallPastThePaddle) {
  put_ball({45, 0.4f, 0}, {1, 0, 0});
  run_frames(roller_update, 0);
  EXPECT_EQ(started(), Events{SOUND_PADDLE});
  put_ball({20, 0.4f, 0}, {1, 0, 0});  // nothing to hit
  put_ball({46.5f, 0.4f, 0}, {1, 0, 0});
  run_frames(roller_update, 100);  // to 48 out: more than 2 beyond the paddle
  EXPECT_EQ(started(), Events{SOUND_LOST});
  run_frames(roller_update, 100);  // falling on
  EXPECT_EQ(started(), Events{});
}

TEST_F(RuleSounds, CountingBrickHitsAndTheMotherBrick) {
  put_brick(20);
  put_ball({20, 0.4f, 0}, {1, 0, 0});
  put_ball({20.5f, 0.4f, 0}, {1, 0, 0});  // the same brick counts once
  bricker_update();
  EXPECT_EQ(started(), Events{SOUND_BRICK});
  bricker_update();  // hit bricks fall untouched
  EXPECT_EQ(started(), Events{});

  bricks_free();
  bricker_mother_create(0, 0, 0);
  put_ball({1, 0.4f, 1}, {-1, 0, 0});
  bricker_update();
  EXPECT_EQ(started(), Events{SOUND_MOTHER});
}

TEST_F(RuleSounds, PowerUpsThatStartSomethingAndTheMuteKey) {
  put_ball({20, 0.4f, 0}, {1, 0, 0});
  bonus_split();
  EXPECT_EQ(started(), Events{SOUND_POWER_UP});
  bonus_transverser();
  EXPECT_EQ(started(), Events{SOUND_POWER_UP});
  for (int i = 0; i < 254; ++i) put_ball({20, 0.4f, 0}, {1, 0, 0});
  bonus_split();  // at the bound: no twin, no sound
  EXPECT_EQ(started(), Events{});

  game_handle_event(key_event(SDL_KEYDOWN, SDLK_m));
  bonus_speed();
  EXPECT_EQ(started(), Events{}) << "sounded while muted";
}

}  // namespace
