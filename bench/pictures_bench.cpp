// Making faces from photos: one from a 12-megapixel picture (4000 x 3000,
// a phone camera's), and a whole set of forty, as a player choosing a folder
// of such photos waits for them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <unistd.h>

#include "pictures/face_maker.h"
#include "platform/desktop/player_faces.h"
#include "platform/files.h"

namespace {

// Smooth colour with fine detail over it, some of it see-through, so that no
// stage can take a short cut.
const std::vector<uint8_t>& Photo() {
  static const std::vector<uint8_t> photo = [] {
    std::vector<uint8_t> p(size_t{4000} * 3000 * 4);
    for (uint32_t y = 0; y < 3000; ++y)
      for (uint32_t x = 0; x < 4000; ++x) {
        uint8_t* px = &p[(size_t{y} * 4000 + x) * 4];
        px[0] = static_cast<uint8_t>(x * 255 / 3999);
        px[1] = static_cast<uint8_t>(y * 255 / 2999);
        px[2] = static_cast<uint8_t>((x ^ y) * 7);
        px[3] = x < 300 ? static_cast<uint8_t>(x) : 255;
      }
    return p;
  }();
  return photo;
}

void MakeFaces(benchmark::State& state, int faces) {
  const std::vector<uint8_t>& photo = Photo();
  for (auto _ : state) {
    for (int i = 0; i < faces; ++i) {
      // Each of the eight orientations in turn, as a folder of photos has.
      std::vector<uint8_t> face =
          pictures::MakeFaceOriented(photo.data(), 4000, 3000, size_t{4000} * 4, 1 + i % 8);
      benchmark::DoNotOptimize(face.data());
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * faces);
  state.SetBytesProcessed(state.iterations() * faces * static_cast<int64_t>(photo.size()));
}

void BM_FaceFrom4000x3000(benchmark::State& state) { MakeFaces(state, 1); }
void BM_FortyFacesFrom4000x3000(benchmark::State& state) { MakeFaces(state, 40); }

BENCHMARK(BM_FaceFrom4000x3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FortyFacesFrom4000x3000)->Unit(benchmark::kMillisecond);

// The photo as a camera stores it: a JPEG of good quality.
void WriteJpeg(const std::string& path, const std::vector<uint8_t>& rgba) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = 4000;
  info.image_height = 3000;
  info.input_components = 4;
  info.in_color_space = JCS_EXT_RGBA;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(rgba.data()) + size_t{info.next_scanline} * 4000 * 4;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

// The desktop's whole way from a folder of forty 12-megapixel JPEG photos
// to faces the game reads, decoding included, on every core, with nothing
// kept from before (each round starts from an empty cache folder).
void BM_FortyFacesFromAFolderOfJpegPhotos(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("quillmoth-bench-" + std::to_string(getpid()));
  const fs::path photos = folder / "photos";
  fs::create_directories(photos);
  WriteJpeg((photos / "00.jpg").string(), Photo());
  for (int i = 1; i < 40; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%02d.jpg", i);
    fs::copy_file(photos / "00.jpg", photos / name);
  }
  setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
  // The one line each round says goes nowhere.
  std::fflush(stderr);
  const int kept = dup(STDERR_FILENO);
  std::FILE* nowhere = std::fopen("/dev/null", "w");
  if (nowhere != nullptr) dup2(fileno(nowhere), STDERR_FILENO);
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(folder / "cache");
    host::detail::ForgetSubstitutes();
    state.ResumeTiming();
    host::UsePlayerPictures(photos.string());
  }
  std::fflush(stderr);
  dup2(kept, STDERR_FILENO);
  close(kept);
  if (nowhere != nullptr) std::fclose(nowhere);
  host::detail::ForgetSubstitutes();
  fs::remove_all(folder);
  state.SetItemsProcessed(state.iterations() * 40);
}

BENCHMARK(BM_FortyFacesFromAFolderOfJpegPhotos)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
