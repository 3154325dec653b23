#include "app/sound_effects.h"

#include <gtest/gtest.h>

#include "app/data_paths.h"
#include "support/headless_host.h"

namespace {

class SoundEffects : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartHost();
    BuildDataPaths();
  }
  void TearDown() override {
    SoundOn = 0;
    HeadlessHostTest::TearDown();
  }
  static void PlayAll() {
    EffectNew();
    EffectSelect();
    EffectClick();
    EffectFade();
    EffectStartup();
  }
};

TEST_F(SoundEffects, EachEffectPlaysItsFileAsynchronouslyWithoutWaiting) {
  SoundOn = 1;
  PlayAll();
  const auto& played = host::SoundRequests();
  ASSERT_EQ(played.size(), 5u);
  const char* names[] = {"new.wav", "select.wav", "click.wav", "fade.wav", "startup.wav"};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(played[i].Path, (Folder() / "Sound" / names[i]).string());
    EXPECT_EQ(played[i].Flags, 0x22001u);
  }
}

TEST_F(SoundEffects, MutedEffectsRequestNothing) {
  // Only exactly 1 means sound on: a stray value must not make noise.
  for (uint8_t value : {0, 2, 255}) {
    SoundOn = value;
    PlayAll();
  }
  EXPECT_TRUE(host::SoundRequests().empty());
}

}  // namespace
