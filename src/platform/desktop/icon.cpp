// Icon resources. The handheld kept the icon inside the program file; on the
// desktop resource 101 is the file "quillmoth.png" beside the program, and
// when that is missing a small icon drawn here stands in, so the window never
// goes without one.
#include <memory>
#include <string>

#include "platform/icon.h"
#include "platform/platform.h"
#include "platform/png_file.h"

namespace host::detail {
namespace {

constexpr int ProgramIconResource = 101;

std::unique_ptr<IconImage>& LoadedIcon() {
  static std::unique_ptr<IconImage> icon;
  return icon;
}

std::string IconPathBesideProgram() {
  std::string path(PlatformPathCapacity, '\0');
  path.resize(GetModuleFileName(path.data(), path.size()));
  const size_t slash = path.rfind('/');
  path.resize(slash == std::string::npos ? 0 : slash + 1);
  return path + "quillmoth.png";
}

// A 32 x 32 card: a dark blue face with a light border and two matching
// diamonds, the game in one glance.
IconImage BuiltInIcon() {
  IconImage icon;
  icon.Width = 32;
  icon.Height = 32;
  icon.Rgba.resize(32 * 32 * 4);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      uint8_t r = 24, g = 40, b = 112, a = 255;
      if (x < 2 || y < 2 || x > 29 || y > 29) {
        r = g = b = 0;
        a = 0;
      } else if (x < 4 || y < 4 || x > 27 || y > 27) {
        r = 230, g = 226, b = 200;
      } else {
        const int dy = y < 16 ? y - 10 : y - 21;
        const int dx = x - 16;
        if ((dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) <= 4) r = 240, g = 180, b = 40;
      }
      uint8_t* at = &icon.Rgba[static_cast<size_t>(y * 32 + x) * 4];
      at[0] = r, at[1] = g, at[2] = b, at[3] = a;
    }
  }
  return icon;
}

}  // namespace

const IconImage* IconFromHandle(IconHandle icon) {
  const auto& loaded = LoadedIcon();
  return loaded && icon == loaded.get() ? loaded.get() : nullptr;
}

void ResetIcons() { LoadedIcon().reset(); }

}  // namespace host::detail

IconHandle LoadIconResource(InstanceHandle, int resourceId) {
  using host::detail::IconImage;
  if (resourceId != host::detail::ProgramIconResource) return nullptr;
  auto& loaded = host::detail::LoadedIcon();
  if (!loaded) {
    auto icon = std::make_unique<IconImage>();
    if (!host::detail::ReadPngRgba(host::detail::IconPathBesideProgram(), &icon->Width,
                                   &icon->Height, &icon->Rgba)) {
      *icon = host::detail::BuiltInIcon();
    }
    loaded = std::move(icon);
  }
  return loaded.get();
}
