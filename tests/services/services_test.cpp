// The services between the game and the platform: its folders, its sounds
// and the end of every frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "gfx/back_buffer.h"
#include "gfx/display_output.h"
#include "services/data_paths.h"
#include "services/present_frame.h"
#include "services/shared_state.h"
#include "services/sound_effects.h"
#include "support/headless_host.h"

namespace {

using Services = HeadlessHostTest;

TEST(DataPaths, FoldersLieBesideTheProgram) {
  // The handheld cut module names at 260 characters; here a deep folder must
  // still reach its own files.
  std::string deep;
  while (deep.size() < 400) deep += "/deeper-folder";
  // The program's path, then its folder, which holds "Graph/" and "Sound/".
  const std::pair<std::string, std::string> cases[] = {
      {"/apps/Pairs/quillmoth", "/apps/Pairs/"},
      {"/quillmoth", "/"},  // the root: an empty folder
      {"quillmoth", "//"},  // no separator: the root itself
      {deep + "/quillmoth", deep + "/"},
  };
  for (const auto& [module, program] : cases) {
    host::Options options;
    options.Headless = true;
    options.ScriptText = "wait 0\n";
    options.ModulePath = module;
    std::string error;
    ASSERT_TRUE(host::Start(options, &error)) << error;
    BuildDataPaths();
    host::Stop();
    EXPECT_EQ((std::vector<std::string>{ProgramFolder, PictureFolder, SoundFolder}),
              (std::vector<std::string>{program, program + "Graph/", program + "Sound/"}));
  }
}

TEST(DataPaths, JoinPathCutsAndSaysSo) {
  char out[8];
  EXPECT_TRUE(JoinPath(out, sizeof out, "/ab/", "cd"));
  EXPECT_STREQ(out, "/ab/cd");
  EXPECT_FALSE(JoinPath(out, sizeof out, "/abc/", "defgh"));
  EXPECT_STREQ(out, "/abc/de");
}

std::vector<uint32_t> Delivered;
intptr_t Log(WindowHandle, uint32_t m, uintptr_t, intptr_t) { return Delivered.push_back(m), 0; }

// Messages are dispatched after every frame, drawn or not (here the display
// gives no address), and a quit request among them ends the loop without
// cutting the queue short. What a drawn frame leaves in display memory is the
// display output's test's, and the golden runs show every frame presented.
TEST_F(Services, DeliversEveryMessageAfterAFrameAndNotesAQuit) {
  // The long wait keeps the script's end from queueing a close message.
  StartHost("wait 1000\n");
  AllocateBackBuffer();
  GXOpenDisplay(nullptr, GXFullScreen);
  DisplayFormat = {16, 2, 480};
  // The host's test messages go to the first window created.
  DeclareWindowClass({0, Log, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "Recorder"});
  CreatePlatformWindow(0, "Recorder", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  host::SetDisplayUnavailable(true);
  Delivered.clear();  // the window's own creation message
  host::PostMessageToGameWindow(MessageStylusDown, 0, 0);
  PostQuitRequest(0);
  host::PostMessageToGameWindow(MessageStylusUp, 0, 0);
  QuitFlag = 0;
  PresentFrame();
  EXPECT_EQ(Delivered, (std::vector<uint32_t>{MessageStylusDown, MessageStylusUp}));
  EXPECT_EQ(QuitFlag, 1);
  ReleaseBackBuffer();
  QuitFlag = 0;
}

TEST_F(Services, EachEffectPlaysItsFileOnlyWhenSoundIsExactlyOn) {
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
