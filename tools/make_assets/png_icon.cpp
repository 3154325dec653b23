#include "make_assets/png_icon.h"

#include <png.h>

#include <cstdio>
#include <memory>

#include "make_assets/canvas.h"
#include "make_assets/emblem.h"

namespace assets {

RgbaImage MakeIcon() {
  constexpr int Size = 64;
  Canvas c(Size, Size);
  PaintNight(c, MakeRgb(54, 44, 118), MakeRgb(16, 12, 40), 61, 40);
  const Coverage tile(RoundBox(0, 0, Size, Size, 12), 0, 0, Size, Size);
  Paint(c,
        Coverage(Minus(RoundBox(0, 0, Size, Size, 12), RoundBox(2, 2, Size - 2, Size - 2, 10.5)), 0,
                 0, Size, Size),
        Gold);
  const MothEmblem moth = MakeMothEmblem(32, 33, 27);
  const auto over = [](const Shape& s) { return Coverage(s, 0, 0, Size, Size); };
  Paint(c, over(moth.wings).Grown(1.0), InkDeep);
  Paint(c, over(moth.wings), [](int, int y) { return Mix(Cream, Gold, y * 5); });
  Paint(c, over(moth.eyespots), GoldDark);
  Paint(c, over(moth.eyespotPupils), Cream);
  Paint(c, over(moth.body), InkDeep);
  Paint(c, over(moth.antennae), Gold);

  RgbaImage icon{Size, Size, {}};
  for (int y = 0; y < Size; ++y)
    for (int x = 0; x < Size; ++x) {
      const Rgb p = c.Get(x, y);
      icon.rgba.push_back(static_cast<uint8_t>(Red(p)));
      icon.rgba.push_back(static_cast<uint8_t>(Green(p)));
      icon.rgba.push_back(static_cast<uint8_t>(Blue(p)));
      icon.rgba.push_back(static_cast<uint8_t>(std::min(255, tile.At(x, y))));
    }
  return icon;
}

bool WritePng(const std::filesystem::path& path, const RgbaImage& image) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.string().c_str(), "wb"), &std::fclose);
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y)
    png_write_row(
        png, image.rgba.data() + static_cast<size_t>(y) * static_cast<size_t>(image.width) * 4);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace assets
