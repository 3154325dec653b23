#include "make_assets/pixel_font.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gfx/glyph_table.h"

namespace assets {
namespace {

struct SmallGlyph {
  char c;
  const char* rows;  // 5 columns a row, rows joined by '|', 7 or 9 rows
};

// '#' is ink. Rows 0..6 stand on the baseline; rows 7 and 8 are descenders.
constexpr SmallGlyph SmallGlyphs[] = {
    {'A', ".###.|#...#|#...#|#####|#...#|#...#|#...#"},
    {'B', "####.|#...#|#...#|####.|#...#|#...#|####."},
    {'C', ".###.|#...#|#....|#....|#....|#...#|.###."},
    {'D', "####.|#...#|#...#|#...#|#...#|#...#|####."},
    {'E', "#####|#....|#....|####.|#....|#....|#####"},
    {'F', "#####|#....|#....|####.|#....|#....|#...."},
    {'G', ".###.|#...#|#....|#.###|#...#|#...#|.####"},
    {'H', "#...#|#...#|#...#|#####|#...#|#...#|#...#"},
    {'I', "###|.#.|.#.|.#.|.#.|.#.|###"},
    {'J', "..###|...#.|...#.|...#.|#..#.|#..#.|.##.."},
    {'K', "#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#"},
    {'L', "#....|#....|#....|#....|#....|#....|#####"},
    {'M', "#...#|##.##|#.#.#|#.#.#|#...#|#...#|#...#"},
    {'N', "#...#|##..#|#.#.#|#..##|#...#|#...#|#...#"},
    {'O', ".###.|#...#|#...#|#...#|#...#|#...#|.###."},
    {'P', "####.|#...#|#...#|####.|#....|#....|#...."},
    {'Q', ".###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#"},
    {'R', "####.|#...#|#...#|####.|#.#..|#..#.|#...#"},
    {'S', ".####|#....|#....|.###.|....#|....#|####."},
    {'T', "#####|..#..|..#..|..#..|..#..|..#..|..#.."},
    {'U', "#...#|#...#|#...#|#...#|#...#|#...#|.###."},
    {'V', "#...#|#...#|#...#|#...#|#...#|.#.#.|..#.."},
    {'W', "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#."},
    {'X', "#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#"},
    {'Y', "#...#|#...#|.#.#.|..#..|..#..|..#..|..#.."},
    {'Z', "#####|....#|...#.|..#..|.#...|#....|#####"},
    {'0', ".###.|#...#|#..##|#.#.#|##..#|#...#|.###."},
    {'1', "..#..|.##..|..#..|..#..|..#..|..#..|.###."},
    {'2', ".###.|#...#|....#|...#.|..#..|.#...|#####"},
    {'3', "####.|....#|....#|.###.|....#|....#|####."},
    {'4', "...#.|..##.|.#.#.|#..#.|#####|...#.|...#."},
    {'5', "#####|#....|####.|....#|....#|#...#|.###."},
    {'6', "..##.|.#...|#....|####.|#...#|#...#|.###."},
    {'7', "#####|....#|...#.|..#..|.#...|.#...|.#..."},
    {'8', ".###.|#...#|#...#|.###.|#...#|#...#|.###."},
    {'9', ".###.|#...#|#...#|.####|....#|...#.|.##.."},
    {'a', ".....|.....|.###.|....#|.####|#...#|.####"},
    {'b', "#....|#....|####.|#...#|#...#|#...#|####."},
    {'c', ".....|.....|.###.|#....|#....|#...#|.###."},
    {'d', "....#|....#|.####|#...#|#...#|#...#|.####"},
    {'e', ".....|.....|.###.|#...#|#####|#....|.###."},
    {'f', "..##|.#..|.#..|###.|.#..|.#..|.#.."},
    {'g', ".....|.....|.####|#...#|#...#|#...#|.####|....#|.###."},
    {'h', "#....|#....|####.|#...#|#...#|#...#|#...#"},
    {'i', ".#.|...|##.|.#.|.#.|.#.|###"},
    {'j', "...#|....|..##|...#|...#|...#|...#|#..#|.##."},
    {'k', "#...|#...|#..#|#.#.|##..|#.#.|#..#"},
    {'l', "##.|.#.|.#.|.#.|.#.|.#.|###"},
    {'m', ".....|.....|##.#.|#.#.#|#.#.#|#.#.#|#.#.#"},
    {'n', ".....|.....|####.|#...#|#...#|#...#|#...#"},
    {'o', ".....|.....|.###.|#...#|#...#|#...#|.###."},
    {'p', ".....|.....|####.|#...#|#...#|#...#|####.|#....|#...."},
    {'q', ".....|.....|.####|#...#|#...#|#...#|.####|....#|....#"},
    {'r', ".....|.....|#.##.|##..#|#....|#....|#...."},
    {'s', ".....|.....|.####|#....|.###.|....#|####."},
    {'t', ".#..|.#..|###.|.#..|.#..|.#.#|..#."},
    {'u', ".....|.....|#...#|#...#|#...#|#..##|.##.#"},
    {'v', ".....|.....|#...#|#...#|#...#|.#.#.|..#.."},
    {'w', ".....|.....|#...#|#...#|#.#.#|#.#.#|.#.#."},
    {'x', ".....|.....|#...#|.#.#.|..#..|.#.#.|#...#"},
    {'y', ".....|.....|#...#|#...#|#...#|#...#|.####|....#|.###."},
    {'z', ".....|.....|#####|...#.|..#..|.#...|#####"},
    {'.', ".|.|.|.|.|.|#"},
    {',', "..|..|..|..|..|.#|.#|#."},
    {':', ".|.|#|.|.|#|."},
    {'!', "#|#|#|#|#|.|#"},
    {'?', ".###.|#...#|....#|...#.|..#..|.....|..#.."},
    {'-', "....|....|....|####|....|....|...."},
    {'\'', "#|#|.|.|.|.|."},
    {'(', "..#|.#.|#..|#..|#..|.#.|..#"},
    {')', "#..|.#.|..#|..#|..#|.#.|#.."},
    {'/', "....#|....#|...#.|..#..|.#...|#....|#...."},
    {'+', ".....|..#..|..#..|#####|..#..|..#..|....."},
    {'=', ".....|.....|#####|.....|#####|.....|....."},
    {'>', "#...|.#..|..#.|...#|..#.|.#..|#..."},
    {'<', "...#|..#.|.#..|#...|.#..|..#.|...#"},
    {'*', ".....|#.#.#|.###.|#####|.###.|#.#.#|....."},
};

const SmallGlyph* FindSmall(char c) {
  for (const SmallGlyph& g : SmallGlyphs)
    if (g.c == c) return &g;
  return nullptr;
}

int SmallGlyphWidth(const SmallGlyph& g) { return static_cast<int>(std::strcspn(g.rows, "|")); }

int GlyphIndex(char c) {
  if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);  // upper case draws as lower case
  const char* p = std::strchr(FontCharset, c);
  return (p && c) ? static_cast<int>(p - FontCharset) : SpaceGlyph;
}

template <typename Plot>
void ForEachSmallInk(std::string_view text, int x, int y, int scale, int gap, Plot plot) {
  int pen = x;
  for (char c : text) {
    const SmallGlyph* g = FindSmall(c);
    if (!g) {
      pen += (3 + gap) * scale;
      continue;
    }
    const int w = SmallGlyphWidth(*g);
    int row = 0;
    int col = 0;
    for (const char* p = g->rows; *p; ++p) {
      if (*p == '|') {
        ++row;
        col = 0;
        continue;
      }
      if (*p == '#') plot(pen + col * scale, y + row * scale);
      ++col;
    }
    pen += (w + gap) * scale;
  }
}

}  // namespace

void DrawGlyphText(Canvas& canvas, std::string_view text, int x, int y, int scale, Rgb colour) {
  int pen = x;
  for (char c : text) {
    const int g = GlyphIndex(c);
    for (int k = 0; k < 7; ++k)
      for (int j = 0; j < 7; ++j)
        if (GlyphRowTexts[g][k][j] == 'o')
          canvas.FillRect(pen + j * scale, y + k * scale, pen + j * scale + scale - 1,
                          y + k * scale + scale - 1, colour);
    pen += 8 * scale;
  }
}

int GlyphTextWidth(std::string_view text, int scale) {
  return text.empty() ? 0 : static_cast<int>(text.size()) * 8 * scale - scale;
}

void DrawSmallText(Canvas& canvas, std::string_view text, int x, int y, int scale, Rgb colour,
                   int gap) {
  ForEachSmallInk(text, x, y, scale, gap, [&](int px, int py) {
    canvas.FillRect(px, py, px + scale - 1, py + scale - 1, colour);
  });
}

int SmallTextWidth(std::string_view text, int scale, int gap) {
  int width = 0;
  for (char c : text) {
    const SmallGlyph* g = FindSmall(c);
    width += ((g ? SmallGlyphWidth(*g) : 3) + gap) * scale;
  }
  return width > 0 ? width - gap * scale : 0;
}

void DrawSmallTextCentred(Canvas& canvas, std::string_view text, int cx, int y, int scale,
                          Rgb colour, int gap) {
  DrawSmallText(canvas, text, cx - SmallTextWidth(text, scale, gap) / 2, y, scale, colour, gap);
}

Shape SmallTextShape(std::string_view text, int x, int y, int scale, int gap) {
  // Rasterise once into a set of ink cells; the shape answers by lookup.
  const int w = SmallTextWidth(text, scale, gap) + scale;
  const int h = 9 * scale;
  auto ink = std::make_shared<std::vector<uint8_t>>(static_cast<size_t>(w * h), 0);
  ForEachSmallInk(text, 0, 0, scale, gap, [&](int px, int py) {
    for (int j = 0; j < scale; ++j)
      for (int i = 0; i < scale; ++i)
        if (px + i < w && py + j < h) (*ink)[static_cast<size_t>((py + j) * w + px + i)] = 1;
  });
  return [ink, x, y, w, h](double fx, double fy) {
    const int i = static_cast<int>(fx - x + 1000.0) - 1000;
    const int j = static_cast<int>(fy - y + 1000.0) - 1000;
    if (i < 0 || j < 0 || i >= w || j >= h) return false;
    return (*ink)[static_cast<size_t>(j * w + i)] != 0;
  };
}

}  // namespace assets
