#include "platform/desktop/sound.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "support/headless_host.h"

namespace {

using SoundTest = HeadlessHostTest;
constexpr uint32_t GameFlags = SoundFileName | SoundNoStop | SoundAsync;
// The game's longest effect, over a second: still playing when a test ends.
const std::string LongSound = std::string(QUILLMOTH_BINARY_DIR) + "/Sound/startup.wav";

TEST_F(SoundTest, MixerDropsGameEffectsWhenEveryVoiceIsBusy) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const std::string notWav = (Folder() / "text.wav").string();
  std::ofstream(notWav) << "not a sound";
  host::detail::Mixer mixer;
  for (int voice = 0; voice < 4; ++voice) EXPECT_TRUE(mixer.Play(LongSound, GameFlags)) << voice;
  // The game's request is refused rather than cutting a sound short, while a
  // plain request takes the oldest voice.
  EXPECT_FALSE(mixer.Play(LongSound, GameFlags));
  EXPECT_TRUE(mixer.Play(LongSound, SoundFileName | SoundAsync));
  EXPECT_FALSE(mixer.Play(notWav, SoundFileName | SoundAsync));
  EXPECT_FALSE(mixer.Play((Folder() / "none.wav").string(), SoundFileName | SoundAsync));
}

// --mute: the game asks for its effects as ever, and the host never opens a
// sound device. A real run plays an effect at nearly every tap, for hours, so
// it keeps no record of them unless a test asked to watch them. Without a
// device at all the host says so once, in its own words.
TEST_F(SoundTest, AMutedRunOpensNoDeviceAndAMissingDeviceIsSaidOnce) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  for (const bool mute : {true, false}) {
    host::Options options;
    options.Mute = mute;
    options.LogSounds = mute;
    options.RuntimeDir = Folder().string();
    ASSERT_TRUE(host::Start(options, nullptr));
    PlaySoundFile(LongSound.c_str(), GameFlags);
    EXPECT_EQ(host::SoundRequests().size(), mute ? 1u : 0u);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO) != 0, !mute);
    host::Stop();
  }
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  testing::internal::CaptureStderr();
  {
    host::detail::Mixer mixer;
    mixer.Play(LongSound, GameFlags);
    mixer.Play(LongSound, GameFlags);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "quillmoth: no sound device: playing silently\n");
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
