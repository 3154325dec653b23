#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/desktop/player_faces.h"
#include "platform/files.h"
#include "platform/png_file.h"
#include "support/headless_host.h"
#include "tools/asset_files.h"

namespace fs = std::filesystem;

namespace {

using namespace asset_test;

// A picture of one colour; its channels are 0 or 255, which the display's
// 16-bit colours show exactly, so its face's middle must be that colour
// (pure red excepted: it is the pictures' see-through key).
void Paint(const fs::path& path, uint8_t r, uint8_t g, uint8_t b, int width, int height) {
  std::vector<uint8_t> rgb;
  for (int i = 0; i < width * height; ++i) rgb.insert(rgb.end(), {r, g, b});
  ASSERT_TRUE(host::detail::WritePngRgb(path.string(), rgb, width, height));
}

uint16_t Rgb565(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
}

// A camera's file: a JPEG of one colour.
void PaintJpeg(const fs::path& path, uint8_t r, uint8_t g, uint8_t b, int width, int height) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row;
  for (int x = 0; x < width; ++x) row.insert(row.end(), {r, g, b});
  JSAMPROW rows[] = {row.data()};
  while (info.next_scanline < info.image_height) jpeg_write_scanlines(&info, rows, 1);
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

class PlayerFaces : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    fs::copy(fs::path(QUILLMOTH_BINARY_DIR) / "Graph", Folder() / "Graph",
             fs::copy_options::recursive);
    fs::create_directories(Folder() / "pictures");
    setenv("XDG_CACHE_HOME", (Folder() / "cache").c_str(), 1);
    StartHost();
  }
  void TearDown() override {
    host::detail::ForgetSubstitutes();
    unsetenv("XDG_CACHE_HOME");
    HeadlessHostTest::TearDown();
  }

  // Face n as the game loads it.
  std::vector<uint16_t> Face(int n) {
    return LoadPictureFile(Folder() / "Graph" / ("b" + std::to_string(n) + ".tga"), 30, 30).pixels;
  }

  std::string Use(const fs::path& folder) {
    testing::internal::CaptureStderr();
    host::UsePlayerPictures(folder.string());
    return testing::internal::GetCapturedStderr();
  }
};

// In name order, files that make no picture skipped without taking a
// face's place, each named with its reason; ours keep the faces after.
TEST_F(PlayerFaces, TakeThePicturesInNameOrderAndNameWhatTheySkip) {
  const fs::path pictures = Folder() / "pictures";
  Paint(pictures / "a.png", 255, 255, 0, 64, 48);
  Paint(pictures / "b.png", 0, 255, 0, 1, 1);
  Paint(pictures / "c.png", 0, 0, 255, 300, 7);
  const std::vector<uint8_t> png = ReadBytes(pictures / "a.png");
  WriteBytes(pictures / "b-cut.png", {png.begin(), png.begin() + png.size() / 2});
  std::ofstream(pictures / "b-notes.txt") << "not a picture";
  fs::create_directories(pictures / "b-folder");
  fs::create_symlink(pictures / "gone.png", pictures / "b-link-to-nothing.png");
  const auto before = ReadTree(Folder() / "Graph");
  const std::vector<uint16_t> ourFourth = Face(4);

  const std::string said = Use(pictures);
  for (const char* line :
       {"skipped b-cut.png: damaged", "skipped b-notes.txt: not a PNG or JPEG picture",
        "skipped b-link-to-nothing.png: cannot be read", "3 of the 40 faces"})
    EXPECT_NE(said.find(line), std::string::npos) << said;
  EXPECT_EQ(said.find("b-folder"), std::string::npos) << said;

  const uint16_t colours[] = {Rgb565(255, 255, 0), Rgb565(0, 255, 0), Rgb565(0, 0, 255)};
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(Face(n)[15 * 30 + 15], colours[n - 1]) << n;
  EXPECT_EQ(Face(4), ourFourth);
  // The game's folder is read, never written.
  EXPECT_EQ(ReadTree(Folder() / "Graph"), before);
}

// Forty pictures make a deck of only the player's; a forty-first is not
// used. Each picture's colour is one the display shows exactly and no other
// picture has: green full, red off or full, one of the 32 blues.
TEST_F(PlayerFaces, FortyPicturesTakeEveryFace) {
  const fs::path pictures = Folder() / "pictures";
  auto level = [](int n) { return n % 32; };
  auto red = [](int n) { return n >= 32 ? 255 : 0; };
  for (int n = 1; n <= 41; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "%02d.png", n);
    Paint(pictures / name, static_cast<uint8_t>(red(n)), 255,
          static_cast<uint8_t>(level(n) << 3 | level(n) >> 2), 20, 20);
  }
  const std::string said = Use(pictures);
  EXPECT_NE(said.find("40 of the 40 faces"), std::string::npos) << said;
  for (int n = 1; n <= 40; ++n) {
    EXPECT_EQ(Face(n)[15 * 30 + 15], (red(n) >> 3) << 11 | 0x3F << 5 | level(n)) << n;
  }
}

// A photo is decoded at a fraction of its size; one cut short is damaged,
// even though the decoder fills what is missing with grey.
TEST_F(PlayerFaces, JpegPhotosAndOnesCutShort) {
  const fs::path pictures = Folder() / "pictures";
  PaintJpeg(pictures / "a.jpg", 0, 0, 255, 1200, 900);
  const std::vector<uint8_t> jpeg = ReadBytes(pictures / "a.jpg");
  WriteBytes(pictures / "b.jpg", {jpeg.begin(), jpeg.begin() + jpeg.size() * 3 / 4});
  const std::string said = Use(pictures);
  EXPECT_NE(said.find("skipped b.jpg: damaged"), std::string::npos) << said;
  EXPECT_NE(said.find("1 of the 40 faces"), std::string::npos) << said;
  const uint16_t middle = Face(1)[15 * 30 + 15];
  // Blue within a step of full, no red, little green: the JPEG's rounding.
  EXPECT_GE(middle & 0x1F, 30) << std::hex << middle;
  EXPECT_LE(middle >> 11, 1) << std::hex << middle;
  EXPECT_LE((middle >> 5) & 0x3F, 2) << std::hex << middle;
}

// Made once, kept in the cache folder, made again when the picture changes.
TEST_F(PlayerFaces, KeepFacesUntilThePictureChanges) {
  const fs::path pictures = Folder() / "pictures";
  Paint(pictures / "a.png", 255, 255, 0, 40, 40);
  Use(pictures);
  const fs::path cache = Folder() / "cache" / "quillmoth" / "faces";
  ASSERT_EQ(std::distance(fs::directory_iterator(cache), fs::directory_iterator()), 1);
  const fs::path kept = fs::directory_iterator(cache)->path();
  const auto madeAt = fs::last_write_time(kept);

  host::detail::ForgetSubstitutes();
  Use(pictures);
  EXPECT_EQ(fs::last_write_time(kept), madeAt);
  EXPECT_EQ(std::distance(fs::directory_iterator(cache), fs::directory_iterator()), 1);

  host::detail::ForgetSubstitutes();
  Paint(pictures / "a.png", 0, 255, 255, 40, 41);
  Use(pictures);
  EXPECT_EQ(std::distance(fs::directory_iterator(cache), fs::directory_iterator()), 2);
  EXPECT_EQ(Face(1)[15 * 30 + 15], Rgb565(0, 255, 255));
}

TEST_F(PlayerFaces, AFolderThatCannotBeReadLeavesOurFaces) {
  const std::vector<uint16_t> ours = Face(1);
  const std::string said = Use(Folder() / "gone");
  EXPECT_NE(said.find("cannot read"), std::string::npos) << said;
  EXPECT_EQ(Face(1), ours);
}

}  // namespace
