#include "app/sound_effects.h"

#include <gtest/gtest.h>

#include "app/data_paths.h"
#include "support/headless_host.h"

namespace {

class SoundEffects : public HeadlessHostTest {};

TEST_F(SoundEffects, EachEffectPlaysItsFileOnlyWhenSoundIsExactlyOn) {
  StartHost();
  BuildDataPaths();
  void (*const effects[])() = {EffectNew, EffectSelect, EffectClick, EffectFade, EffectStartup};
  // A stray value in the flag must not make noise.
  for (uint8_t value : {0, 2, 255}) {
    SoundOn = value;
    for (auto effect : effects) effect();
  }
  EXPECT_TRUE(host::SoundRequests().empty());

  SoundOn = 1;
  for (auto effect : effects) effect();
  SoundOn = 0;
  const auto& played = host::SoundRequests();
  ASSERT_EQ(played.size(), 5u);
  const char* names[] = {"new.wav", "select.wav", "click.wav", "fade.wav", "startup.wav"};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(played[i].Path, (Folder() / "Sound" / names[i]).string());
    EXPECT_EQ(played[i].Flags, 0x22001u) << "asynchronous, never waiting for a busy device";
  }
}

}  // namespace
