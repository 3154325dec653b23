#include "make_assets/preview.h"

#include <algorithm>

#include "pictures/face_maker.h"

#include <cstdio>

#include "make_assets/canvas.h"
#include "make_assets/emblem.h"
#include "make_assets/pixel_font.h"
#include "make_assets/png_icon.h"

namespace assets {
namespace {

using Screen = std::vector<uint16_t>;

void Put(Screen& s, int w, const Decoded& p, int x0, int y0) {
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      s[static_cast<size_t>((y0 + y) * w + x0 + x)] =
          p.pixels[static_cast<size_t>(y * p.width + x)];
}

void Number(Screen& s, const char* text, int x, int y) {
  Canvas ink(240, 320, 0x123456);
  DrawGlyphText(ink, text, x + 1, y + 1, 2, 0);
  for (size_t i = 0; i < s.size(); ++i)
    if (ink.pixels[i] == 0) s[i] = 0;
  Canvas white(240, 320, 0x123456);
  DrawGlyphText(white, text, x, y, 2, 0);
  for (size_t i = 0; i < s.size(); ++i)
    if (white.pixels[i] == 0) s[i] = 0xFFFF;
}

// grey: each pixel as its luma (ITU-R BT.601), as a colour-blind player or a
// grey display sees it.
bool Save(const std::filesystem::path& path, const Screen& s, int w, int h, int scale,
          bool grey = false) {
  RgbaImage out{w * scale, h * scale, {}};
  out.rgba.reserve(static_cast<size_t>(w * h * scale * scale * 4));
  for (int y = 0; y < h * scale; ++y)
    for (int x = 0; x < w * scale; ++x) {
      const Rgb c = FromRgb565(s[static_cast<size_t>((y / scale) * w + x / scale)]);
      const int l = (299 * Red(c) + 587 * Green(c) + 114 * Blue(c) + 500) / 1000;
      const Rgb o = grey ? MakeRgb(l, l, l) : c;
      out.rgba.insert(out.rgba.end(), {static_cast<uint8_t>(Red(o)), static_cast<uint8_t>(Green(o)),
                                       static_cast<uint8_t>(Blue(o)), 255});
    }
  return WritePng(path, out);
}

}  // namespace

bool WriteContactSheets(const std::filesystem::path& folder,
                        const std::map<std::string, Decoded>& pictures) {
  // Eight faces a row, each in a 34 x 44 cell with its number below it.
  constexpr int W = 8 * 34, H = 5 * 44;
  Canvas labels(W, H, 0);
  Screen sheet(W * H, ToRgb565(InkDeep));
  for (int n = 1; n <= 40; ++n) {
    const int x = ((n - 1) % 8) * 34, y = ((n - 1) / 8) * 44;
    Put(sheet, W, pictures.at("b" + std::to_string(n) + ".tga"), x + 2, y + 2);
    DrawSmallTextCentred(labels, std::to_string(n), x + 17, y + 34, 1, Lavender);
  }
  for (size_t i = 0; i < sheet.size(); ++i)
    if (labels.pixels[i]) sheet[i] = ToRgb565(labels.pixels[i]);
  std::filesystem::create_directories(folder);
  return Save(folder / "faces.png", sheet, W, H, 3) &&
         Save(folder / "faces-grey.png", sheet, W, H, 3, true);
}

bool WriteOwnDeckSheet(const std::filesystem::path& folder,
                       const std::vector<std::pair<std::string, const Canvas*>>& sources) {
  constexpr int CellW = 72, CellH = 136, Columns = 4;
  const int rows = (static_cast<int>(sources.size()) + Columns - 1) / Columns;
  const int W = Columns * CellW, H = rows * CellH;
  Screen sheet(static_cast<size_t>(W * H), ToRgb565(InkDeep));
  for (size_t i = 0; i < sources.size(); ++i) {
    const Canvas& from = *sources[i].second;
    const int x0 = static_cast<int>(i % Columns) * CellW + 4;
    const int y0 = static_cast<int>(i / Columns) * CellH + 4;
    std::vector<uint8_t> rgba;
    for (const Rgb c : from.pixels) {
      const bool clear = (c & KeyMarker) != 0;
      rgba.insert(rgba.end(),
                  {static_cast<uint8_t>(Red(c)), static_cast<uint8_t>(Green(c)),
                   static_cast<uint8_t>(Blue(c)), static_cast<uint8_t>(clear ? 0 : 255)});
    }
    // The source, its longer side 64 pixels.
    const int longer = std::max(from.width, from.height);
    for (int y = 0; y < from.height * 64 / longer; ++y)
      for (int x = 0; x < from.width * 64 / longer; ++x) {
        const Rgb c = from.Get(x * longer / 64, y * longer / 64);
        sheet[static_cast<size_t>((y0 + y) * W + x0 + x)] =
            (c & KeyMarker) != 0 ? ToRgb565(MakeRgb(90, 90, 110)) : ToRgb565(c);
      }
    // The face as the game reads it: palette entries blue, green, red after
    // the 18-byte header, then the rows from the bottom up.
    const std::vector<uint8_t> face = pictures::MakeFace(rgba.data(), from.width, from.height,
                                                         static_cast<size_t>(from.width) * 4);
    if (face.size() != pictures::FaceFileBytes) return false;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) {
        const uint8_t* entry = &face[18 + 3 * face[18 + 768 + (29 - y) * 30 + x]];
        const uint16_t pixel = ToRgb565(MakeRgb(entry[2], entry[1], entry[0]));
        for (int d = 0; d < 4; ++d)
          sheet[static_cast<size_t>((y0 + 68 + 2 * y + d / 2) * W + x0 + 2 * x + d % 2)] = pixel;
      }
  }
  std::filesystem::create_directories(folder);
  return Save(folder / "own-deck.png", sheet, W, H, 2);
}

void WritePreviews(const std::filesystem::path& folder,
                   const std::map<std::string, Decoded>& pictures) {
  std::filesystem::create_directories(folder);
  auto pic = [&](const std::string& name) -> const Decoded& { return pictures.at(name); };

  // Play screen, 6 x 6 board with some tiles face up, sound muted.
  Screen play(240 * 320, 0);
  Put(play, 240, pic("backdrop.tga"), 0, 0);
  Put(play, 240, pic("panel2.tga"), 0, 240);
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 6; ++c) {
      const int n = r * 6 + c;
      const std::string name =
          (n % 3 == 0) ? "block.tga" : "b" + std::to_string(n % 40 + 1) + ".tga";
      if (n != 14 && n != 21) Put(play, 240, pic(name), 30 + c * 30, 30 + r * 30);
    }
  Number(play, "042", 63, 257);
  Number(play, "1017", 177, 257);
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 16; ++k) {
      if (222 + i + k <= 239) play[static_cast<size_t>((241 + k) * 240 + 222 + i + k)] = 0xF800;
      if (238 + i - k <= 239) play[static_cast<size_t>((241 + k) * 240 + 238 + i - k)] = 0xF800;
    }
  Save(folder / "play.png", play, 240, 320, 2);

  // Finished board with the record banner at its lowest point.
  Screen record(240 * 320, 0);
  Put(record, 240, pic("backdrop.tga"), 0, 0);
  Put(record, 240, pic("panel2.tga"), 0, 240);
  const Decoded& banner = pic("highscr.tga");
  const Decoded& backdrop = pic("backdrop.tga");
  for (int j = 0; j < 120; ++j)
    for (int i = 0; i < 240; ++i) {
      const uint16_t v = banner.pixels[static_cast<size_t>(j * 240 + i)];
      const size_t at = static_cast<size_t>((60 + j) * 240 + i);
      if (v == 0xF800) continue;
      record[at] = v == 0 ? 0 : static_cast<uint16_t>(backdrop.pixels[at] >> 5);
    }
  Save(folder / "record.png", record, 240, 320, 2);

  // Title at a few angles of the turning texture.
  const Decoded& front = pic("front.tga");
  for (int angle : {30, 100}) {
    Screen title(240 * 320, 0);
    Put(title, 240, pic("panel4.tga"), 0, 240);
    const double a = angle * Pi / 180.0;
    const double z = Sine(a) * 2.0;
    const int32_t ux = static_cast<int32_t>(Cosine(a) * z * 256.0);
    const int32_t uy = static_cast<int32_t>(Sine(a) * z * 256.0);
    const int32_t vx = -uy, vy = ux;
    const uint32_t u0 = 65536u - 50u * static_cast<uint32_t>(vx + ux);
    const uint32_t v0 = 65536u - 35u * static_cast<uint32_t>(vy + uy);
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 240; ++x) {
        const size_t i = static_cast<size_t>(y * 240 + x);
        const uint16_t p = front.pixels[i];
        if (p != 0xF800) {
          title[i] = p;
          continue;
        }
        const uint32_t u = u0 + static_cast<uint32_t>((y + 1) * vx + x * ux);
        const uint32_t v = v0 + static_cast<uint32_t>((y + 1) * vy + x * uy);
        title[i] = backdrop.pixels[((v >> 8) % 240) * 240 + (u >> 8) % 240];
      }
    Save(folder / ("title" + std::to_string(angle) + ".png"), title, 240, 320, 2);
  }

  Screen select = pic("panel3.tga").pixels;
  for (int i = 0; i < 6; ++i) {
    const int y = 96 + 40 * i;
    Number(select, i == 2 ? "1234" : "057", 95, y);
    Number(select, i == 5 ? "1999" : "999", 174, y);
  }
  for (int x = 124 + 37 * 0; x <= 157; ++x) {
    select[static_cast<size_t>(21 * 240 + x)] = 0x07E0;
    select[static_cast<size_t>(36 * 240 + x)] = 0x07E0;
  }
  Save(folder / "select.png", select, 240, 320, 2);
  Save(folder / "about.png", pic("about.tga").pixels, 240, 320, 2);
  Save(
      folder / "backdrop_tiled.png",
      [&] {
        Screen t(480 * 480);
        for (int y = 0; y < 480; ++y)
          for (int x = 0; x < 480; ++x)
            t[static_cast<size_t>(y * 480 + x)] =
                backdrop.pixels[static_cast<size_t>((y % 240) * 240 + x % 240)];
        return t;
      }(),
      480, 480, 1);

  // Every tile, 3x, in a sheet of 7 x 6.
  Screen sheet(7 * 34 * 6 * 34, 0x2104);
  for (int n = 0; n <= 40; ++n) {
    const std::string name = n == 0 ? "block.tga" : "b" + std::to_string(n) + ".tga";
    const Decoded& t = pic(name);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x)
        sheet[static_cast<size_t>(((n / 7) * 34 + 2 + y) * (7 * 34) + (n % 7) * 34 + 2 + x)] =
            t.pixels[static_cast<size_t>(y * 30 + x)];
  }
  Save(folder / "tiles.png", sheet, 7 * 34, 6 * 34, 3);
  Save(folder / "banner.png", banner.pixels, 240, 120, 2);
  Save(folder / "front.png", front.pixels, 240, 240, 2);
}

}  // namespace assets
