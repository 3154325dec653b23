// Sound effects: decoded WAV files and the small mixer of the SDL backend.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace host::detail {

using Samples = std::shared_ptr<const std::vector<uint8_t>>;

// Decoded effects by path. The game plays the same five files over and over,
// so each is read and converted once; a file that cannot be read is not
// remembered, so it plays once it appears.
class SoundCache {
 public:
  // With a target the samples are converted to it; without one (headless)
  // they are kept as the file has them.
  explicit SoundCache(const SDL_AudioSpec* target);
  // nullptr when the file is missing or no WAV.
  Samples Load(const std::string& path);

 private:
  bool Convert_ = false;
  SDL_AudioSpec Target_{};
  std::map<std::string, Samples> Loaded_;
};

// Plays effects on the default audio device, a few at a time. The device is
// opened on the first effect; when none can be opened the game runs silent.
class Mixer {
 public:
  static constexpr int Voices = 4;
  Mixer() = default;
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  bool Play(const std::string& path, uint32_t flags);

 private:
  struct Voice {
    Samples Data;
    size_t Position = 0;
    uint64_t Started = 0;  // order of starting, to find the oldest
  };
  bool Open();
  bool OpenDevice();
  static void Fill(void* self, Uint8* stream, int length);

  bool Tried_ = false;
  bool AudioStarted_ = false;
  SDL_AudioDeviceID Device_ = 0;
  SDL_AudioSpec Spec_{};
  std::unique_ptr<SoundCache> Cache_;
  std::array<Voice, Voices> Voices_;
  uint64_t Starts_ = 0;
};

}  // namespace host::detail
