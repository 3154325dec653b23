#include "platform/desktop/player_faces.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <unistd.h>

#include "pictures/face_maker.h"
#include "platform/backend.h"
#include "platform/desktop/picture_reader.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace host {
namespace {

// The game's faces are b1.tga to b40.tga in its Graph folder.
constexpr int FaceCount = 40;
// A new maker makes new faces from the same pictures: its number is part of
// every cached face's name.
constexpr const char* MakerEdition = "1";

struct Candidate {
  fs::path Path;
  std::string Face;  // where its face is, once made
  std::string Why;   // why it has none
};

// Where made faces are kept: $XDG_CACHE_HOME/quillmoth/faces, else
// ~/.cache/quillmoth/faces.
fs::path CacheFolder() {
  std::string base = detail::FolderFromEnvironment("XDG_CACHE_HOME");
  if (base.empty()) {
    const std::string home = detail::FolderFromEnvironment("HOME");
    if (home.empty()) return {};
    base = home + "/.cache";
  }
  return fs::path(base) / "quillmoth" / "faces";
}

// A picture's face is found again by its name, size and time: any change
// to the picture makes a new name.
std::string CachedName(const fs::path& picture, uintmax_t size, int64_t nanoseconds) {
  std::error_code error;
  const std::string key = fs::absolute(picture, error).string() + '\n' + std::to_string(size) +
                          '\n' + std::to_string(nanoseconds) + '\n' + MakerEdition;
  uint64_t hash = 0xCBF29CE484222325u;
  for (const unsigned char c : key) hash = (hash ^ c) * 0x100000001B3u;
  char name[32];
  std::snprintf(name, sizeof name, "%016llx.tga", static_cast<unsigned long long>(hash));
  return name;
}

bool IsWholeFace(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) &&
         fs::file_size(path, error) == pictures::FaceFileBytes && !error;
}

// Written under a name of its own, then moved into place, so that a face
// is whole or absent even when two copies make it at once.
bool WriteFace(const fs::path& path, const std::vector<uint8_t>& bytes) {
  const fs::path temporary =
      path.string() + ".part-" + std::to_string(getpid()) + "-" +
      std::to_string(std::hash<std::thread::id>{}(std::this_thread::get_id()));
  FILE* file = std::fopen(temporary.c_str(), "wbx");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

void MakeFace(Candidate* candidate, const fs::path& cache) {
  std::error_code error;
  const uintmax_t size = fs::file_size(candidate->Path, error);
  const auto time = fs::last_write_time(candidate->Path, error);
  if (error) {
    candidate->Why = "cannot be read: " + error.message();
    return;
  }
  const int64_t nanoseconds =
      std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
  const fs::path kept = cache / CachedName(candidate->Path, size, nanoseconds);
  if (IsWholeFace(kept)) {
    candidate->Face = kept.string();
    return;
  }
  detail::DecodedPicture picture;
  if (!detail::ReadPicture(candidate->Path.string(), &picture, &candidate->Why)) return;
  const std::vector<uint8_t> face =
      pictures::MakeFaceOriented(picture.Rgba.data(), picture.Width, picture.Height,
                                 static_cast<size_t>(picture.Width) * 4, picture.Orientation);
  if (face.size() != pictures::FaceFileBytes) {
    candidate->Why = "no picture in it";
    return;
  }
  if (!WriteFace(kept, face)) {
    candidate->Why = "its face could not be kept in " + cache.string();
    return;
  }
  candidate->Face = kept.string();
}

// Makes the faces of `batch` on every core the machine has.
void MakeFaces(std::vector<Candidate*>& batch, const fs::path& cache) {
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < batch.size(); i = next++) MakeFace(batch[i], cache);
  };
  const size_t helpers =
      std::min<size_t>(batch.size(), std::max(1u, std::thread::hardware_concurrency())) - 1;
  std::vector<std::thread> threads;
  for (size_t i = 0; i < helpers; ++i) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
}

}  // namespace

void UsePlayerPictures(const std::string& folder) {
  std::error_code error;
  std::vector<Candidate> candidates;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    // Folders and hidden files (a file manager's thumbnails, say) are no
    // pictures of the player's.
    std::error_code kind;
    if (name.starts_with('.') || it->is_directory(kind)) continue;
    candidates.push_back({it->path(), {}, {}});
  }
  if (error) {
    std::fprintf(stderr, "quillmoth: --pictures: cannot read %s (%s); playing with our faces\n",
                 folder.c_str(), error.message().c_str());
    return;
  }
  std::sort(candidates.begin(), candidates.end(),
            [](const Candidate& a, const Candidate& b) { return a.Path < b.Path; });
  const fs::path cache = CacheFolder();
  if (cache.empty() || (fs::create_directories(cache, error), error)) {
    std::fprintf(
        stderr, "quillmoth: --pictures: no cache folder for the faces (%s)\n",
        cache.empty() ? "neither XDG_CACHE_HOME nor HOME is set" : error.message().c_str());
    return;
  }
  // In name order, as many at a time as faces are still wanted: a folder
  // of a thousand photos costs the first forty that can be made.
  std::vector<Candidate*> made;
  size_t taken = 0;
  while (made.size() < FaceCount && taken < candidates.size()) {
    std::vector<Candidate*> batch;
    while (batch.size() + made.size() < FaceCount && taken < candidates.size()) {
      batch.push_back(&candidates[taken++]);
    }
    MakeFaces(batch, cache);
    for (Candidate* candidate : batch) {
      if (candidate->Face.empty()) {
        std::fprintf(stderr, "quillmoth: --pictures: skipped %s: %s\n",
                     candidate->Path.filename().c_str(), candidate->Why.c_str());
      } else {
        made.push_back(candidate);
      }
    }
  }
  const fs::path graph = fs::path(detail::ModulePath()).parent_path() / "Graph";
  for (size_t i = 0; i < made.size(); ++i) {
    const fs::path ours = graph / ("b" + std::to_string(i + 1) + ".tga");
    if (!detail::ReadInstead(ours.string(), made[i]->Face)) {
      std::fprintf(stderr, "quillmoth: --pictures: %s is missing, so %s cannot take its place\n",
                   ours.c_str(), made[i]->Path.filename().c_str());
    }
  }
  std::fprintf(stderr, "quillmoth: %zu of the %d faces from %s%s\n", made.size(), FaceCount,
               folder.c_str(), made.size() < FaceCount ? ", ours for the rest" : "");
}

}  // namespace host
