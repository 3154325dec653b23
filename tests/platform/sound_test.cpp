#include "platform/sound.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "support/headless_host.h"

namespace {

using SoundTest = HeadlessHostTest;

TEST_F(SoundTest, MixerDropsGameEffectsWhenEveryVoiceIsBusy) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  // Twenty seconds of mono 16-bit sound: still playing when the test ends.
  const uint32_t rate = 11025, bytes = rate * 2 * 20;
  std::string wav = "RIFF";
  const auto put = [&wav](uint32_t v, int size) {
    wav.append(reinterpret_cast<const char*>(&v), static_cast<size_t>(size));
  };
  put(36 + bytes, 4);
  wav += "WAVEfmt ";
  for (const auto& [value, size] :
       {std::pair{16u, 4}, {1u, 2}, {1u, 2}, {rate, 4}, {rate * 2, 4}, {2u, 2}, {16u, 2}})
    put(value, size);
  wav += "data";
  put(bytes, 4);
  wav.append(bytes, '\x10');
  const std::string longSound = (Folder() / "long.wav").string();
  const std::string notWav = (Folder() / "text.wav").string();
  std::ofstream(longSound, std::ios::binary) << wav;
  std::ofstream(notWav) << "not a sound";

  constexpr uint32_t gameFlags = SoundFileName | SoundNoStop | SoundAsync;
  host::detail::Mixer mixer;
  for (int voice = 0; voice < host::detail::Mixer::Voices; ++voice) {
    EXPECT_TRUE(mixer.Play(longSound, gameFlags)) << voice;
  }
  // The game's request is refused rather than cutting a sound short, while a
  // plain request takes the oldest voice.
  EXPECT_FALSE(mixer.Play(longSound, gameFlags));
  EXPECT_TRUE(mixer.Play(longSound, SoundFileName | SoundAsync));
  EXPECT_FALSE(mixer.Play(notWav, SoundFileName | SoundAsync));
  EXPECT_FALSE(mixer.Play((Folder() / "none.wav").string(), SoundFileName | SoundAsync));
}

// A real run plays an effect at nearly every tap, for hours: nothing may
// pile up per request unless a test asked to watch them.
TEST(SoundLog, AnUnwatchedRunKeepsNoRecordOfItsEffects) {
  host::Options options;
  options.Headless = true;
  options.ScriptText = "wait 0\n";
  ASSERT_TRUE(host::Start(options, nullptr));
  for (int i = 0; i < 10000; ++i) PlaySoundFile("/nowhere/click.wav", 0x22001);
  EXPECT_TRUE(host::SoundRequests().empty());
  host::Stop();
}

// --mute: the game asks for its effects as ever, and the host never opens a
// sound device. Without a device at all the host says so once, in its own
// words.
TEST_F(SoundTest, AMutedRunOpensNoDeviceAndAMissingDeviceIsSaidOnce) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const std::string wav = (Folder() / "click.wav").string();
  std::ofstream(wav, std::ios::binary) << std::string(
      "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0"
      "\x11\x2B\0\0\x22\x56\0\0\x02\0\x10\0data\0\0\0\0",
      44);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  for (const bool mute : {true, false}) {
    host::Options options;
    options.Mute = mute;
    options.LogSounds = true;
    options.RuntimeDir = Folder().string();
    ASSERT_TRUE(host::Start(options, nullptr));
    PlaySoundFile(wav.c_str(), SoundFileName | SoundNoStop | SoundAsync);
    EXPECT_EQ(host::SoundRequests().size(), 1u);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO) != 0, !mute);
    host::Stop();
  }
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  testing::internal::CaptureStderr();
  {
    host::detail::Mixer mixer;
    mixer.Play(wav, SoundFileName | SoundNoStop | SoundAsync);
    mixer.Play(wav, SoundFileName | SoundNoStop | SoundAsync);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "quillmoth: no sound device: playing silently\n");
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
