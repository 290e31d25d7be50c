// input_test.cpp -- the in-game keys and the pad: turning, power-ups, once-per-press keys, pausing, quitting
#include "frontend/input.h"

#include <sstream>
#include <vector>

#include "core/game_local.h"
#include "core/pause.h"
#include "fixture.h"
#include "frontend/input_local.h"
#include "frontend/menu_local.h"
#include "frontend/pad.h"
#include "frontend/sound_local.h"
#include "playfield/map.h"
#include "playfield/player.h"
#include "playfield/roller.h"
#include "playfield_helpers.h"

namespace {

class InputTest : public GameTest {
 protected:
  void press(SDLKey key) { game_handle_event(key_event(SDL_KEYDOWN, key)); }
  void release(SDLKey key) { game_handle_event(key_event(SDL_KEYUP, key)); }
  // A power-up key pressed at tick `now`.
  void press_at(Uint32 now, SDLKey key) {
    fake_clock_set(now);
    press(key);
  }
  void invert() { paddle()->inverser_time = 2500; }
  void expect_flags(int right, int left) {
    EXPECT_EQ(g_game->move_right, right);
    EXPECT_EQ(g_game->move_left, left);
  }
  // Each arrow pressed sets the flags given, released clears them again.
  void expect_arrows(int right_on_right, int left_on_right) {
    press(SDLK_RIGHT);
    expect_flags(right_on_right, left_on_right);
    release(SDLK_RIGHT);
    expect_flags(0, 0);
    press(SDLK_LEFT);
    expect_flags(left_on_right, right_on_right);
    release(SDLK_LEFT);
    expect_flags(0, 0);
  }
};

TEST_F(InputTest, CreationClearsTheTurnFlags) {
  g_game->move_right = 1;
  g_game->move_left = 1;
  input_create();
  expect_flags(0, 0);
}

TEST_F(InputTest, ArrowsTurnTheirOwnWayUnderTheNormalMapping) { expect_arrows(1, 0); }

TEST_F(InputTest, ArrowsSwapWhileTheControlsAreInverted) {
  invert();
  expect_arrows(0, 1);
}

TEST_F(InputTest, AnyStartTimeOtherThanMinusOneInverts) {
  paddle()->inverser_time = 0;  // an effect started at tick 0
  press(SDLK_RIGHT);
  expect_flags(0, 1);
}

TEST_F(InputTest, ReleaseUnderTheOtherMappingClearsTheOtherFlag) {
  press(SDLK_RIGHT);  // normal: sets move_right
  invert();
  release(SDLK_RIGHT);  // inverted: clears move_left, move_right keeps turning
  expect_flags(1, 0);
  press(SDLK_LEFT);  // inverted: sets move_right again
  release(SDLK_LEFT);
  expect_flags(0, 0);

  press(SDLK_LEFT);              // inverted: sets move_right
  paddle()->inverser_time = -1;  // normal again
  press(SDLK_LEFT);              // a repeat under the normal mapping sets move_left too
  expect_flags(1, 1);
  release(SDLK_LEFT);  // normal: clears move_left only
  expect_flags(1, 0);
}

TEST_F(InputTest, BothArrowsHeldSetBothFlags) {
  press(SDLK_RIGHT);
  press(SDLK_LEFT);
  expect_flags(1, 1);
  release(SDLK_RIGHT);
  expect_flags(0, 1);
}

TEST_F(InputTest, OtherKeysReleasesAndMouseEventsLeaveTheFlagsAlone) {
  press(SDLK_RIGHT);
  press(SDLK_a);
  press(SDLK_SPACE);
  release(SDLK_ESCAPE);  // Escape quits on press only
  release(SDLK_UP);
  release(SDLK_h);

  game_handle_event(button_event(SDL_BUTTON_LEFT, 300, 400));
  game_handle_event(button_event(SDL_BUTTON_LEFT, 300, 400, SDL_MOUSEBUTTONUP));
  game_handle_event(plain_event(SDL_MOUSEMOTION));

  expect_flags(1, 0);
  EXPECT_EQ(paddle()->inverser_time, -1.0f);
  EXPECT_EQ(paddle()->size, 4.0f);
}

TEST_F(InputTest, EscapeEndsTheGameWithSuccess) {
  EXPECT_EXIT(press(SDLK_ESCAPE), ::testing::ExitedWithCode(0), "");
}

TEST_F(InputTest, ClosingTheWindowEndsTheGameWithSuccess) {
  EXPECT_EXIT(game_handle_event(plain_event(SDL_QUIT)), ::testing::ExitedWithCode(0), "");
}

// Each power-up key starts its effect at the tick at which its event is handled.
using PowerUpKeyTest = InputTest;

TEST_F(PowerUpKeyTest, LetterKeysStartTheirTimedEffects) {
  press_at(4100, SDLK_f);
  EXPECT_EQ(paddle()->transverser_time, 4100.0f);
  press_at(4200, SDLK_g);
  EXPECT_EQ(paddle()->speed_time, 4200.0f);
  press_at(4300, SDLK_h);
  EXPECT_EQ(paddle()->inverser_time, 4300.0f);
  EXPECT_EQ(paddle()->resize_time, -1.0f);
}

TEST_F(PowerUpKeyTest, UpAndDownResizeThePaddle) {
  press_at(5000, SDLK_UP);
  EXPECT_EQ(paddle()->size, 8.0f);
  EXPECT_EQ(paddle()->resize_time, 5000.0f);
  press_at(5100, SDLK_DOWN);
  EXPECT_EQ(paddle()->size, 2.0f);
  EXPECT_EQ(paddle()->resize_time, 5100.0f);
  expect_flags(0, 0);  // the arrows that resize never turn
}

TEST_F(PowerUpKeyTest, HeldTimedKeysRestartTheirEffectOnEveryRepeat) {
  press_at(6000, SDLK_g);
  press_at(6020, SDLK_g);  // a key repeat
  EXPECT_EQ(paddle()->speed_time, 6020.0f);
}

// The keys that act once per press, and what each changes (F11, which needs a
// window, is pressed by the screen tests).
struct OnceKey {
  const char *name;
  SDLKey key;
  bool while_paused;  // acts while paused too
  int (*state)();
};

const OnceKey kOnceKeys[] = {{"Split", SDLK_d, false, [] { return ball_count(); }},
                             {"Mute", SDLK_m, false, [] { return static_cast<int>(sound_mixer()->muted); }},
                             {"Pause", SDLK_p, true, [] { return static_cast<int>(pause_active()); }}};

class OncePerPressKey : public InputTest, public ::testing::WithParamInterface<OnceKey> {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    put_ball({20, 0.4f, 0}, {1, 0, 0});
  }
  // Presses the key; answers whether it acted.
  bool acts() {
    const int before = GetParam().state();
    press(GetParam().key);
    return GetParam().state() != before;
  }
};

TEST_P(OncePerPressKey, ActsOnTheFirstPressAfterARelease) {
  EXPECT_TRUE(acts());
  EXPECT_FALSE(acts()) << "a key repeat acted";
  press(SDLK_RIGHT);
  release(SDLK_RIGHT);
  release(SDLK_g);
  EXPECT_FALSE(acts()) << "other keys re-armed it";
  release(GetParam().key);
  EXPECT_TRUE(acts());
  input_create();
  EXPECT_TRUE(acts()) << "a new game kept the key held";
}

TEST_P(OncePerPressKey, WhilePausedActsOnlyIfItActsOnThePauseAndItsReleaseCounts) {
  press(GetParam().key);
  pause_set(true);
  release(GetParam().key);
  EXPECT_EQ(acts(), GetParam().while_paused);
  pause_set(false);
  EXPECT_EQ(acts(), !GetParam().while_paused) << "only a press acted on holds the key";
}

INSTANTIATE_TEST_SUITE_P(Keys, OncePerPressKey, ::testing::ValuesIn(kOnceKeys),
                         [](const ::testing::TestParamInfo<OnceKey> &info) { return info.param.name; });

// The pad's events, handed to the title, then through SDL's own queue to the
// input step: "start" or "quit" when the last does that on the title, then
// what they changed in play. As SDL numbers them: bN=1 and bN=0 button N
// pressed and released, aN=V axis N at V, hN=V hat N at V (1 up, 2 right, 4
// down, 8 left), kN=1 and kN=0 key N (112 p, 276 Left).
const char *const kPadRows[] = {
    // Each button takes its key's action, once per press: A d, B f, X g, Y h,
    // LB Down, RB Up, Back m, Start p. A or Start let go starts from the title,
    // Back pressed quits there; a release with no press before it does nothing.
    "b0=1 b0=0 > start split", "b1=1 b1=0 > pass", "b2=1 > speed", "b3=1 > swap", "b4=1 > small",
    "b5=1 > big", "b6=1 > quit mute", "b7=1 b7=0 > start paused", "b0=0 >", "b7=1 b7=0 b7=0 > paused",
    // A key and its button each act once per press of their own: Start resumes
    // while p is held, and its release leaves p held.
    "k112=1 b7=1 b1=1 b7=0 k112=1 b2=1 > pass speed",
    // The left stick turns beyond a quarter of its travel and stops back inside
    // it; the d-pad turns both ways and stops when let go, leaving the stick
    // turning; the swap swaps them.
    "a0=8193 > right", "a0=-8193 > left", "a0=32767 a0=8192 >", "a0=-32768 a0=-8192 >", "h0=9 h0=2 > right",
    "h0=8 h0=0 >", "a0=-9000 h0=8 h0=0 > left", "b3=1 a0=9000 > left swap",
    // With no hat, axis 6 is the d-pad's left and right, axis 7 its up and down;
    // an arrow key and the stick each keep turning when the other is let go.
    "a6=-32767 > left", "a6=32767 a7=32767 a7=-32767 > right", "a6=32767 a6=0 >",
    "a0=-9000 k276=1 k276=0 > left", "k276=1 a0=-9000 a0=0 > left",
    // Resting triggers, the other axes, up and down on the d-pad, Guide and the
    // stick clicks do nothing.
    "a2=-32768 a5=-32768 a2=32767 a5=32767 a1=32767 a3=-32768 a4=32767 h0=1 h0=4 b8=1 b8=0 b9=1 b10=1 >",
    // While paused only Start acts (and Back, which quits): the stick let go
    // stops the paddle, and the d-pad still held turns it once play resumes.
    "a0=-9000 b7=1 b7=0 b0=1 b1=1 b2=1 b3=1 b4=1 b5=1 a0=0 h0=8 b7=1 > left"};

// The events of a row, up to its '>': as above, and mN=1 mouse button N
// pressed, c0=0 the window closed, f0=0 the keyboard focus lost.
std::vector<SDL_Event> written_events(const char *row) {
  std::istringstream in(std::string(row).substr(0, std::string(row).find('>')));
  std::vector<SDL_Event> events;
  char kind = 0, equals = 0;
  for (int n = 0, v = 0; in >> kind >> n >> equals >> v;) {
    SDL_Event e{};
    if (kind == 'a') e.jaxis = {SDL_JOYAXISMOTION, 0, Uint8(n), Sint16(v)};
    if (kind == 'h') e.jhat = {SDL_JOYHATMOTION, 0, Uint8(n), Uint8(v)};
    if (kind == 'b') e.jbutton = {Uint8(v ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP), 0, Uint8(n), Uint8(v)};
    if (kind == 'k') e = key_event(v ? SDL_KEYDOWN : SDL_KEYUP, SDLKey(n));
    if (kind == 'm') e = button_event(Uint8(n), 320, 240);
    if (kind == 'c') e = plain_event(SDL_QUIT);
    if (kind == 'f') e.active = {SDL_ACTIVEEVENT, 0, SDL_APPINPUTFOCUS};
    events.push_back(e);
  }
  return events;
}
std::string outcome(const char *row) { return std::string(row).substr(std::string(row).find('>') + 1); }

class PadTest : public InputTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(PadTest, ActsAsTheKeysItStandsFor) {
  put_ball({20, 0.4f, 0}, {1, 0, 0});
  setenv("SDL_VIDEODRIVER", "dummy", 1);  // the queue runs once video has started; no window needed
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  std::istringstream words("start quit split left right pass speed swap small big mute paused");
  std::string did, word;
  input_action_t title = INPUT_NOTHING;  // of the last event handed to the title
  for (SDL_Event e : written_events(GetParam())) title = menu_event_action(e), SDL_PushEvent(&e);
  game_handle_events();
  SDL_Quit();
  for (bool on : {title == INPUT_START, title == INPUT_QUIT, ball_count() == 2, g_game->move_left != 0,
                  g_game->move_right != 0, paddle()->transverser_time != -1, paddle()->speed_time != -1,
                  paddle()->inverser_time != -1, paddle()->size < 4, 4 < paddle()->size, sound_mixer()->muted,
                  pause_active()})
    if (words >> word && on) did += " " + word;
  EXPECT_EQ(did, outcome(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Events, PadTest, ::testing::ValuesIn(kPadRows));

// What each event asks of the result (q quit, f fullscreen, . nothing), with
// Left (276) and d (100) held on the keyboard as it appeared, and A on the pad:
// they, their repeats and their release leave it up; anything pressed after
// it appeared, a click or the window closed leaves it; F11 still switches.
const char *const kResultRows[] = {"k276=1 k276=1 k276=0 k276=1 > ...q",
                                   "k100=1 k100=0 k97=1 > ..q",
                                   "k292=1 k292=0 k27=1 > f.q",
                                   "b0=0 b0=1 b7=1 > .qq",
                                   "m1=1 m3=1 c0=0 > qqq",
                                   "m4=1 m5=1 a0=30000 h0=8 f0=0 k98=0 > ......"};

TEST_F(InputTest, TheResultIsLeftOnlyByWhatIsPressedAfterItAppears) {
  for (const char *row : kResultRows) {
    input_create();
    Uint8 held[SDLK_LAST] = {};
    held[SDLK_LEFT] = held[SDLK_d] = 1;
    input_ignore_keys(held, SDLK_LAST);
    pad_take_button({SDL_JOYBUTTONDOWN, 0, PAD_A, SDL_PRESSED});
    std::string got = " ";
    for (const SDL_Event &e : written_events(row)) {
      const input_action_t a = input_take(e, INPUT_RESULT);
      got += a == INPUT_QUIT ? 'q' : a == INPUT_FULLSCREEN ? 'f' : a == INPUT_NOTHING ? '.' : '?';
    }
    EXPECT_EQ(got, outcome(row)) << row;
  }
}

}  // namespace

// p holds play still; while it is held, only releases and the keys that leave
// the pause count. Losing the window pauses, only once it had been held in play.
class PauseKeyTest : public InputTest {
 protected:
  void focus(Uint8 gain, Uint8 state) {
    SDL_Event e = plain_event(SDL_ACTIVEEVENT);
    e.active.gain = gain;
    e.active.state = state;
    game_handle_event(e);
  }
};

TEST_F(PauseKeyTest, WhilePausedPressesAreIgnoredAndReleasesCount) {
  press(SDLK_RIGHT);
  press(SDLK_d);
  press(SDLK_p);
  for (SDLKey key : {SDLK_LEFT, SDLK_UP, SDLK_f, SDLK_g, SDLK_h}) press(key);
  expect_flags(1, 0);
  EXPECT_EQ(paddle()->resize_time, -1.0f);
  EXPECT_EQ(paddle()->speed_time, -1.0f);
  release(SDLK_RIGHT);
  expect_flags(0, 0);
  EXPECT_EXIT(press(SDLK_ESCAPE), ::testing::ExitedWithCode(0), "");
  SDL_Event back{};  // the pad's way out while paused
  back.jbutton = {SDL_JOYBUTTONDOWN, 0, PAD_BACK, SDL_PRESSED};
  EXPECT_EXIT(game_handle_event(back), ::testing::ExitedWithCode(0), "");
}

TEST_F(PauseKeyTest, FocusLostOnlyAfterItWasGainedInPlayPauses) {
  focus(0, SDL_APPINPUTFOCUS);  // the title window's, at the switch to play
  focus(0, SDL_APPMOUSEFOCUS);
  EXPECT_FALSE(pause_active());
  focus(1, SDL_APPINPUTFOCUS);
  focus(0, SDL_APPINPUTFOCUS);
  EXPECT_TRUE(pause_active());
  focus(1, SDL_APPINPUTFOCUS | SDL_APPACTIVE);
  EXPECT_TRUE(pause_active()) << "getting the focus back resumed the game";
}

TEST_F(PauseKeyTest, IconifiedPauses) {
  focus(0, SDL_APPACTIVE);
  EXPECT_TRUE(pause_active());
}
