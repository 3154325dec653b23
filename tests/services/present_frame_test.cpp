#include "services/present_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "gfx/back_buffer.h"
#include "gfx/display_output.h"
#include "services/shared_state.h"
#include "support/headless_host.h"

namespace {

std::vector<uint32_t> Delivered;
intptr_t Log(WindowHandle, uint32_t m, uintptr_t, intptr_t) { return Delivered.push_back(m), 0; }

class PresentFrameTest : public HeadlessHostTest {};

// Messages are dispatched after every frame, drawn or not, and a quit
// request among them ends the loop without cutting the queue short. A plain
// 16-bit display with 480-byte rows holds the back buffer byte for byte.
TEST_F(PresentFrameTest, ShowsTheFrameThenDeliversEveryMessageAndNotesAQuit) {
  AllocateBackBuffer();
  for (const bool drawn : {true, false}) {
    for (const bool quit : {true, false}) {
      SCOPED_TRACE(testing::Message() << "drawn " << drawn << " quit " << quit);
      host::Stop();
      // The long wait keeps the script's end from queueing a close message.
      StartHost("wait 1000\n");
      GXOpenDisplay(nullptr, GXFullScreen);
      DisplayFormat = {16, 2, 480};
      // The host's test messages go to the first window created.
      DeclareWindowClass({0, Log, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "Recorder"});
      CreatePlatformWindow(0, "Recorder", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
      host::SetDisplayUnavailable(!drawn);
      host::PostMessageToGameWindow(MessageStylusDown, 0, 0);
      if (quit) PostQuitRequest(0);
      host::PostMessageToGameWindow(MessageStylusUp, 0, 0);
      for (uint32_t i = 0; i < 76800; ++i) BackBuffer[i] = static_cast<uint16_t>(i * 7919 + drawn);
      const auto origin = host::DisplayMemory().begin() + host::DisplayOrigin();
      std::vector<uint8_t> expected(origin, origin + 153600);
      if (drawn) std::memcpy(expected.data(), BackBuffer, expected.size());
      Delivered.clear();
      QuitFlag = 0;

      PresentFrame();

      EXPECT_TRUE(std::equal(expected.begin(), expected.end(),
                             host::DisplayMemory().begin() + host::DisplayOrigin()));
      EXPECT_EQ(Delivered, (std::vector<uint32_t>{MessageStylusDown, MessageStylusUp}));
      EXPECT_EQ(QuitFlag, quit ? 1 : 0);
    }
  }
  ReleaseBackBuffer();
  QuitFlag = 0;
}

}  // namespace
