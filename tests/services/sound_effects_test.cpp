#include "services/sound_effects.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "services/data_paths.h"
#include "support/headless_host.h"

namespace {

class SoundEffects : public HeadlessHostTest {};

TEST_F(SoundEffects, EachEffectPlaysItsFileOnlyWhenSoundIsExactlyOn) {
  StartHost();
  BuildDataPaths();
  void (*const effects[])() = {EffectNew, EffectSelect, EffectClick, EffectFade, EffectStartup};
  // A stray value in the flag must not make noise.
  for (uint8_t value : {0, 2, 255, 1}) {
    SoundOn = value;
    for (auto effect : effects) effect();
  }
  SoundOn = 0;
  // Each file once, asynchronous and never waiting for a busy device (0x22001).
  std::vector<std::pair<std::string, uint32_t>> played, expected;
  for (const auto& request : host::SoundRequests())
    played.emplace_back(request.Path, request.Flags);
  for (const char* name : {"new.wav", "select.wav", "click.wav", "fade.wav", "startup.wav"})
    expected.emplace_back((Folder() / "Sound" / name).string(), 0x22001u);
  EXPECT_EQ(played, expected);
}

}  // namespace
