// Where the game's files lie: beside the program file.
#pragma once

#include <cstddef>

#include "platform/platform.h"

// Room for the longest program path the host gives plus "/Sound/".
constexpr size_t FolderCapacity = PlatformPathCapacity + 16;

extern char ProgramFolder[FolderCapacity];  // the program's folder + "/"
extern char PictureFolder[FolderCapacity];  // + "/Graph/"
extern char SoundFolder[FolderCapacity];    // + "/Sound/"

void BuildDataPaths();
// folder + name into out (capacity bytes), cut and terminated when too long.
// Returns false when it had to cut.
bool JoinPath(char* out, size_t capacity, const char* folder, const char* name);
