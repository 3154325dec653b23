#include "platform/sound.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/headless_run.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace {

// A mono 16-bit WAV of a square wave.
void WriteWav(const std::string& path, int milliseconds) {
  const uint32_t rate = 11025;
  const uint32_t samples = rate * static_cast<uint32_t>(milliseconds) / 1000;
  std::vector<int16_t> data(samples);
  for (uint32_t i = 0; i < samples; ++i) data[i] = (i / 20) % 2 ? 4000 : -4000;
  const auto put32 = [](std::ofstream& out, uint32_t v) {
    out.write(reinterpret_cast<char*>(&v), 4);
  };
  const auto put16 = [](std::ofstream& out, uint16_t v) {
    out.write(reinterpret_cast<char*>(&v), 2);
  };
  std::ofstream out(path, std::ios::binary);
  out.write("RIFF", 4);
  put32(out, 36 + samples * 2);
  out.write("WAVEfmt ", 8);
  put32(out, 16);
  put16(out, 1);
  put16(out, 1);
  put32(out, rate);
  put32(out, rate * 2);
  put16(out, 2);
  put16(out, 16);
  out.write("data", 4);
  put32(out, samples * 2);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(samples * 2));
}

constexpr uint32_t GameFlags = SoundFileName | SoundNoStop | SoundAsync;

class SoundTest : public HeadlessRun {
 protected:
  std::string Wav(const char* name, int milliseconds) {
    const std::string path = (std::filesystem::path(RuntimeDir) / name).string();
    WriteWav(path, milliseconds);
    return path;
  }
};

TEST_F(SoundTest, HeadlessRunsRecordEveryRequest) {
  const std::string click = Wav("click.wav", 50);
  const std::string missing = RuntimeDir + "/none.wav";
  EXPECT_TRUE(PlaySoundFile(click.c_str(), GameFlags));
  EXPECT_FALSE(PlaySoundFile(missing.c_str(), GameFlags));
  EXPECT_TRUE(PlaySoundFile(click.c_str(), GameFlags));
  ASSERT_EQ(host::SoundRequests().size(), 3u);
  EXPECT_EQ(host::SoundRequests()[1].Path, missing);
  EXPECT_EQ(host::SoundRequests()[2].Flags, GameFlags);
  Restart({});
  EXPECT_TRUE(host::SoundRequests().empty());
}

TEST_F(SoundTest, MixerDropsGameEffectsWhenEveryVoiceIsBusy) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const std::string longSound = Wav("long.wav", 20000);
  const std::string notWav = RuntimeDir + "/text.wav";
  std::ofstream(notWav) << "not a sound";
  host::detail::Mixer mixer;
  for (int voice = 0; voice < host::detail::Mixer::Voices; ++voice) {
    EXPECT_TRUE(mixer.Play(longSound, GameFlags)) << voice;
  }
  // Four long effects still play: the game's request is refused rather than
  // cutting one short, while a plain request takes the oldest voice.
  EXPECT_FALSE(mixer.Play(longSound, GameFlags));
  EXPECT_TRUE(mixer.Play(longSound, SoundFileName | SoundAsync));
  EXPECT_FALSE(mixer.Play(notWav, SoundFileName | SoundAsync));
  EXPECT_FALSE(mixer.Play(RuntimeDir + "/none.wav", SoundFileName | SoundAsync));
}

}  // namespace
