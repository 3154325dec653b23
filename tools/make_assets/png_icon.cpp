#include "make_assets/png_icon.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "make_assets/canvas.h"
#include "make_assets/emblem.h"

namespace assets {

RgbaImage MakeIcon(int size) {
  // Drawn on a 64-pixel design and rendered afresh at every size, so a
  // desktop's 16-pixel menu icon is as sharp as its 256-pixel one. The gold
  // rim is snapped to whole pixels: a rim that fell between two pixels would
  // show as a blurred half-tone line at the small sizes.
  const double scale = size / 64.0;
  const int rim = std::max(1, static_cast<int>(std::lround(2 * scale)));
  const double corner = 12 * scale;
  Canvas c(size, size);
  PaintNight(c, MakeRgb(54, 44, 118), MakeRgb(16, 12, 40), 61, 40 * size * size / (64 * 64));
  const auto over = [size](const Shape& s) { return Coverage(s, 0, 0, size, size); };
  const Coverage tile = over(RoundBox(0, 0, size, size, corner));
  Paint(c,
        over(Minus(RoundBox(0, 0, size, size, corner),
                   RoundBox(rim, rim, size - rim, size - rim, corner - 0.75 * rim))),
        Gold);
  // Where the rim came out thicker than its share (16 and 48 pixels), the
  // moth shrinks to keep a dark gap of at least a pixel between its wings
  // (which reach 1.08 of its size from the centre) and the rim; otherwise
  // the two would merge into one gold blot.
  const double gap = std::max(1.0, scale);
  const double mothSize = rim > 2 * scale ? (32 * scale - rim - gap) / 1.08 : 27 * scale;
  const MothEmblem moth = MakeMothEmblem(32 * scale, 33 * scale, mothSize);
  Paint(c, over(moth.wings).Grown(scale), InkDeep);
  Paint(c, over(moth.wings), [size](int, int y) { return Mix(Cream, Gold, y * 320 / size); });
  // Below 32 pixels the eyespots would be smudges of a pixel or two.
  if (size >= 32) {
    Paint(c, over(moth.eyespots), GoldDark);
    Paint(c, over(moth.eyespotPupils), Cream);
  }
  // The body, a pixel and a half wide at 16, would fall as two grey columns
  // on either side of the centre line: widened to fill them.
  Paint(c, size < 32 ? over(moth.body).Grown(0.25) : over(moth.body), InkDeep);
  Paint(c, over(moth.antennae), Gold);

  RgbaImage icon{size, size, {}};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
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
