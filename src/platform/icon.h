// The program's icon resource, as the desktop window shows it
// (desktop/icon.cpp). The page has none: its manifest carries the icon
// (web/web_services.cpp).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace host::detail {

struct IconImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Rgba;  // top row first
};

// The picture behind a handle from LoadIconResource; nullptr for others.
const IconImage* IconFromHandle(IconHandle icon);
void ResetIcons();

}  // namespace host::detail
