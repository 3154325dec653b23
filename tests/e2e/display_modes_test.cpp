// Every display layout must show the player the same game: the 16-bit ones
// exactly, the grey ones as the grey levels of the same picture.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/png_file.h"

namespace fs = std::filesystem;

namespace {

TEST(DisplayModes, EveryLayoutShowsTheSameGame) {
  const fs::path folder =
      fs::temp_directory_path() / ("quillmoth-modes-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  // The title's texture turns, and the board selection's highlight draws
  // from the random generator: both must match frame for frame.
  auto shoot = [&](const std::string& mode) {
    const fs::path shot = folder / (mode + ".png");
    const fs::path script = folder / "script.txt";
    std::ofstream(script) << "wait 7\ntap 120 300\nwait 3\nshot " << shot.string() << "\n";
    const std::string command = "QUILLMOTH_RUNTIME_DIR='" + folder.string() + "' '" +
                                QUILLMOTH_BINARY + "' --headless --tick-start 99 --display " +
                                mode + " --script '" + script.string() + "' > /dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << mode;
    return ReadPng(shot.string());
  };

  const Picture reference = shoot("rgb565");
  ASSERT_EQ(reference.Width, 240);
  for (const char* mode : {"rgb565-wide", "rgb565-flipped", "rgb565-sideways"})
    EXPECT_EQ(shoot(mode).Rgb, reference.Rgb) << mode;

  // Grey levels come from the 16-bit fields: (R5 + G6 + B5) >> 3 on a 4-bit
  // panel, the top two bits of red on a 2-bit one.
  const Picture grey4 = shoot("gray4");
  const Picture grey2 = shoot("gray2");
  ASSERT_EQ(grey4.Width, 240);
  ASSERT_EQ(grey2.Width, 240);
  for (size_t i = 0; i < reference.Rgb.size(); i += 3) {
    const int r5 = reference.Rgb[i] >> 3, g6 = reference.Rgb[i + 1] >> 2,
              b5 = reference.Rgb[i + 2] >> 3;
    const int level4 = (r5 + g6 + b5) >> 3, level2 = r5 >> 3;
    ASSERT_EQ(grey4.Rgb[i], 17 * level4) << "pixel " << i / 3;
    ASSERT_EQ(grey4.Rgb[i + 1], grey4.Rgb[i]);
    ASSERT_EQ(grey2.Rgb[i], 85 * level2) << "pixel " << i / 3;
  }

  // A depth the game does not draw stays black, and the game still runs.
  const Picture dark = shoot("rgb444");
  ASSERT_EQ(dark.Width, 240);
  EXPECT_EQ(dark.Rgb, std::vector<uint8_t>(dark.Rgb.size(), 0));
  fs::remove_all(folder);
}

}  // namespace
