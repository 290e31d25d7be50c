// sound_test.cpp -- the real game's sound: heard in play only, silenced by m, and optional
#include <X11/keysym.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "harness.h"

namespace e2e {
namespace {

// Bytes of the raw file, in any of the formats the two libraries write
// (16-bit mono or stereo), that certainly hold a sound started before them:
// several device buffers of either library.
constexpr std::uintmax_t kInFlight = 8192, kQuietStretch = 16384;

std::uintmax_t size_of(const std::string &path) {
  std::error_code absent;
  const std::uintmax_t size = std::filesystem::file_size(path, absent);
  return absent ? 0 : size;
}

// Whether the file holds a sample other than silence (16-bit silence is all
// zero bytes) from byte `from` on.
bool sounds_after(const std::string &path, std::uintmax_t from) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(from));
  for (std::istreambuf_iterator<char> it(in), end; it != end; ++it)
    if (*it != 0) return true;
  return false;
}

// A game on its title picture, with the audio driver `driver`.
class SoundTest : public GameSessionTest {
 protected:
  void SetUp() override {}
  void start_title(const std::string &driver) {
    // The classic disk driver writes a buffer every 150 ms unless told otherwise.
    launch.env = {
        {"SDL_AUDIODRIVER", driver}, {"SDL_DISKAUDIOFILE", "sound.raw"}, {"SDL_DISKAUDIODELAY", "10"}};
    GameSessionTest::SetUp();
  }

  void start_play() {
    Picture first;
    ASSERT_TRUE(passed(play_enter(s, &first)));
    normal = paddle_find(first).width();
  }

  ::testing::AssertionResult resize(unsigned long keysym, bool bigger) {
    return passed(paddle_resize(s, keysym, normal, bigger));
  }

  // Waits until the raw file holds `bytes` bytes.
  ::testing::AssertionResult grows_to(std::uintmax_t bytes) {
    if (poll_until(Millis(8000), [&] { return game_exited(s) || size_of(raw()) >= bytes; }) &&
        !game_exited(s))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the raw file stays at " << size_of(raw()) << " bytes"
                                         << (game_exited(s) ? " (the game has ended)" : "");
  }
  std::string raw() const { return s.dir + "/sound.raw"; }

  int normal = 0;
};

class DiskSound : public SoundTest {
 protected:
  void SetUp() override { start_title("disk"); }
};

TEST_F(DiskSound, SilentOnTheTitleHeardInPlayAndSilencedByM) {
  // The title is drawn only after everything before it has been opened.
  EXPECT_FALSE(std::filesystem::exists(raw())) << "the sound device is open on the title";

  start_play();
  if (HasFatalFailure()) return;
  // The ball starts towards the paddle and bounces off it within a second.
  ASSERT_TRUE(poll_until(Millis(8000), [&] { return sounds_after(raw(), 0); })) << "no sound in play";
  // More balls, so that the game cannot run out of them during the test.
  for (int i = 0; i < 3; ++i) key_tap(s, XK_d);

  key_tap(s, XK_m);
  ASSERT_TRUE(resize(XK_Up, true));
  std::uintmax_t muted_from = size_of(raw()) + kInFlight;
  ASSERT_TRUE(grows_to(muted_from));
  // Down starts its power-up, which would sound now if m had not muted it.
  ASSERT_TRUE(resize(XK_Down, false));
  const std::uintmax_t down_at = size_of(raw());
  ASSERT_TRUE(grows_to(down_at + kQuietStretch));
  EXPECT_FALSE(sounds_after(raw(), muted_from)) << "sound after m";

  // m again brings the sound back, with Up's power-up.
  const std::uintmax_t unmuted_from = size_of(raw());
  key_tap(s, XK_m);
  ASSERT_TRUE(resize(XK_Up, true));
  EXPECT_TRUE(poll_until(Millis(8000), [&] { return sounds_after(raw(), unmuted_from); }))
      << "no sound after m a second time";
}

class NoSoundDevice : public SoundTest {
 protected:
  void SetUp() override { start_title("nonexistent"); }
};

TEST_F(NoSoundDevice, PlaysSilentlySayingSoOnceAndQuitsWithStatusZero) {
  start_play();
  if (HasFatalFailure()) return;
  ASSERT_TRUE(resize(XK_Up, true));
  key_tap(s, XK_Escape);
  EXPECT_TRUE(ends_with_status(s, 0, Millis(20000)));
  EXPECT_EQ(read_file(s.dir + "/stdout.log"), "");
  const std::string said = read_file(s.dir + "/stderr.log");
  EXPECT_EQ(said.rfind("quorvane: no sound: ", 0), 0u) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_GT(said.size(), 21u) << "without the library's reason";
  EXPECT_EQ(said.back(), '\n');
}

}  // namespace
}  // namespace e2e
