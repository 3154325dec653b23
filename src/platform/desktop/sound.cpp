#include "platform/desktop/sound.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/backend.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace host {
namespace detail {

SoundCache::SoundCache(const SDL_AudioSpec* target) {
  if (target != nullptr) {
    Convert_ = true;
    Target_ = *target;
  }
}

Samples SoundCache::Load(const std::string& path) {
  if (auto found = Loaded_.find(path); found != Loaded_.end()) return found->second;
  if (!IsPlainFile(path)) return nullptr;
  SDL_AudioSpec fileFormat;
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV(path.c_str(), &fileFormat, &buffer, &length) == nullptr) return nullptr;
  auto samples = std::make_shared<std::vector<uint8_t>>(buffer, buffer + length);
  SDL_FreeWAV(buffer);
  if (Convert_) {
    SDL_AudioCVT cvt;
    const int needed =
        SDL_BuildAudioCVT(&cvt, fileFormat.format, fileFormat.channels, fileFormat.freq,
                          Target_.format, Target_.channels, Target_.freq);
    if (needed < 0) return nullptr;
    if (needed > 0) {
      samples->resize(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult));
      cvt.buf = samples->data();
      cvt.len = static_cast<int>(length);
      if (SDL_ConvertAudio(&cvt) != 0) return nullptr;
      samples->resize(static_cast<size_t>(cvt.len_cvt));
    }
  }
  Samples shared = std::move(samples);
  Loaded_[path] = shared;
  return shared;
}

Mixer::~Mixer() {
  if (Device_ != 0) SDL_CloseAudioDevice(Device_);
  if (AudioStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool Mixer::Open() {
  if (Tried_) return Device_ != 0;
  Tried_ = true;
  Cache_ = std::make_unique<SoundCache>(nullptr);
  // Sound libraries probing for a device that is not there can fill the
  // terminal with their own complaints; they are kept quiet while the
  // device is opened, and one line of ours says what it means.
  const int savedErrors = dup(STDERR_FILENO);
  const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (savedErrors >= 0 && quiet >= 0) dup2(quiet, STDERR_FILENO);
  const bool opened = OpenDevice();
  if (savedErrors >= 0 && quiet >= 0) dup2(savedErrors, STDERR_FILENO);
  if (quiet >= 0) close(quiet);
  if (savedErrors >= 0) close(savedErrors);
  if (!opened) {
    std::fprintf(stderr, "quillmoth: no sound device: playing silently\n");
    return false;
  }
  Cache_ = std::make_unique<SoundCache>(&Spec_);
  SDL_PauseAudioDevice(Device_, 0);
  return true;
}

bool Mixer::OpenDevice() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  AudioStarted_ = true;
  SDL_AudioSpec wanted;
  SDL_zero(wanted);
  wanted.freq = 22050;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = 1024;
  wanted.callback = &Mixer::Fill;
  wanted.userdata = this;
  Device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &Spec_,
                                SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  return Device_ != 0;
}

// Runs on SDL's audio thread, with the device locked against Play.
void Mixer::Fill(void* self, Uint8* stream, int length) {
  auto* mixer = static_cast<Mixer*>(self);
  std::memset(stream, mixer->Spec_.silence, static_cast<size_t>(length));
  for (Voice& voice : mixer->Voices_) {
    if (!voice.Data) continue;
    const size_t left = voice.Data->size() - voice.Position;
    const size_t take = std::min(left, static_cast<size_t>(length));
    SDL_MixAudioFormat(stream, voice.Data->data() + voice.Position, mixer->Spec_.format,
                       static_cast<Uint32>(take), SDL_MIX_MAXVOLUME);
    voice.Position += take;
    if (voice.Position >= voice.Data->size()) voice.Data.reset();
  }
}

bool Mixer::Play(const std::string& path, uint32_t flags) {
  if (!Open()) {
    // No device: the effect is silent, but the answer still says whether
    // the file could have been played.
    return Cache_->Load(path) != nullptr;
  }
  Samples samples = Cache_->Load(path);
  if (!samples) return false;
  SDL_LockAudioDevice(Device_);
  Voice* chosen = nullptr;
  for (Voice& voice : Voices_) {
    if (!voice.Data) {
      chosen = &voice;
      break;
    }
  }
  if (chosen == nullptr && (flags & SoundNoStop) == 0) {
    // Every voice is busy. The handheld played one sound at a time: with
    // "no stop" a request for a busy device was refused rather than cutting
    // the sound that played, otherwise the new sound took over. With four
    // voices the same rule applies when all four are taken: the game's
    // effects (always "no stop") are dropped, never waited for and never
    // allowed to cut one short; any other request replaces the oldest.
    chosen = &Voices_[0];
    for (Voice& voice : Voices_) {
      if (voice.Started < chosen->Started) chosen = &voice;
    }
  }
  if (chosen != nullptr) {
    chosen->Data = samples;
    chosen->Position = 0;
    chosen->Started = ++Starts_;
  }
  SDL_UnlockAudioDevice(Device_);
  return chosen != nullptr;
}

}  // namespace detail
}  // namespace host
