#include "app/entry.h"

#include <gtest/gtest.h>

#include "services/shared_state.h"
#include "support/headless_host.h"

namespace {

class ProgramStart : public HeadlessHostTest {};

TEST_F(ProgramStart, OpensOnTheTitleWithTheStartUpChimeAndClosingGivesTheScreenBack) {
  StartHost("wait 3\nquit\n");
  EXPECT_EQ(ProgramEntry(nullptr, nullptr, "", ShowNormal), 0);
  EXPECT_EQ(host::FramesRun(), 4u) << "the frame that took the quit request still ran";
  EXPECT_EQ(ScreenState, ScreenTitle);
  const auto& sounds = host::SoundRequests();
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].Path, (Folder() / "Sound" / "startup.wav").string());
  EXPECT_TRUE(host::TaskbarVisible());
  EXPECT_EQ(host::LastShellFlags(), 0x15u);
  EXPECT_FALSE(host::DisplayOpen());
}

TEST_F(ProgramStart, FailedWindowSetUpStillGivesTheScreenBack) {
  for (bool classFails : {true, false}) {
    StartHost();
    host::SetWindowCreationFails(classFails, !classFails);
    EXPECT_EQ(ProgramEntry(nullptr, nullptr, "", ShowNormal), 0);
    EXPECT_TRUE(host::TaskbarVisible());
    EXPECT_FALSE(host::DisplayOpen());
    EXPECT_EQ(host::FramesRun(), 0u);
    host::Stop();
  }
}

}  // namespace
