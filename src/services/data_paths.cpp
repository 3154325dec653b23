#include "services/data_paths.h"

#include <cstring>
#include <initializer_list>

char ProgramFolder[FolderCapacity] = "";
char PictureFolder[FolderCapacity] = "";
char SoundFolder[FolderCapacity] = "";

bool JoinPath(char* out, size_t capacity, const char* folder, const char* name) {
  if (capacity == 0) return false;
  size_t used = 0;
  for (const char* part : {folder, name}) {
    for (const char* c = part; *c != '\0'; ++c) {
      if (used + 1 >= capacity) {
        out[used] = '\0';
        return false;
      }
      out[used++] = *c;
    }
  }
  out[used] = '\0';
  return true;
}

void BuildDataPaths() {
  char module[PlatformPathCapacity] = "";
  const size_t length = GetModuleFileName(module, sizeof module);
  module[length < sizeof module ? length : sizeof module - 1] = '\0';

  // The folder is everything before the last separator; a program file in
  // the root gives an empty folder, and a name with no separator at all
  // falls back to the root itself.
  char folder[PlatformPathCapacity] = "/";
  if (const char* last = std::strrchr(module, '/')) {
    const size_t folderLength = static_cast<size_t>(last - module);
    std::memcpy(folder, module, folderLength);
    folder[folderLength] = '\0';
  }
  JoinPath(SoundFolder, FolderCapacity, folder, "/Sound/");
  JoinPath(PictureFolder, FolderCapacity, folder, "/Graph/");
  JoinPath(ProgramFolder, FolderCapacity, folder, "/");
}
