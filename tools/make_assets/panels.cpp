#include "make_assets/panels.h"

#include <string>

#include "make_assets/emblem.h"
#include "make_assets/pixel_font.h"

namespace assets {
namespace {

Coverage Over(const Canvas& c, const Shape& s) { return Coverage(s, 0, 0, c.width, c.height); }

void ShadowText(Canvas& c, std::string_view text, int x, int y, int scale, Rgb colour) {
  DrawSmallText(c, text, x + 1, y + 1, scale, InkDeep);
  DrawSmallText(c, text, x, y, scale, colour);
}

void CentredLabel(Canvas& c, std::string_view text, int x0, int x1, int y, int scale, Rgb colour) {
  const int w = SmallTextWidth(text, scale);
  ShadowText(c, text, (x0 + x1 + 1 - w) / 2, y, scale, colour);
}

// Hourglass pictogram, 7 x 9, for the clock.
void Hourglass(Canvas& c, int x, int y, Rgb colour) {
  const char* rows[] = {"#######", ".#...#.", "..#.#..", "...#...",
                        "..#.#..", ".#.#.#.", "#######"};
  for (int j = 0; j < 7; ++j)
    for (int i = 0; i < 7; ++i)
      if (rows[j][i] == '#') c.Set(x + i, y + j, colour);
}

// Two overlapping tiles, for the move counter.
void TilePair(Canvas& c, int x, int y, Rgb colour) {
  c.FrameRect(x, y + 2, x + 5, y + 8, colour);
  c.FillRect(x + 3, y, x + 8, y + 6, colour);
}

// A grid of cols x rows little squares centred on (cx, cy).
void BoardPictogram(Canvas& c, int cx, int cy, int cols, int rows) {
  const int w = cols * 3 - 1;
  const int h = rows * 3 - 1;
  for (int r = 0; r < rows; ++r)
    for (int k = 0; k < cols; ++k) {
      const int x = cx - w / 2 + k * 3;
      const int y = cy - h / 2 + r * 3;
      c.FillRect(x, y, x + 1, y + 1, ((r + k) & 1) ? Lavender : Gold);
    }
}

}  // namespace

void PaintButton(Canvas& canvas, int x0, int y0, int x1, int y1) {
  Paint(canvas, Coverage(RoundBox(x0, y0, x1 + 1, y1 + 1, 3.0), x0, y0, x1 - x0 + 1, y1 - y0 + 1),
        Gold);
  Paint(canvas, Coverage(RoundBox(x0 + 1, y0 + 1, x1, y1, 2.0), x0, y0, x1 - x0 + 1, y1 - y0 + 1),
        [&](int, int y) {
          return Mix(MakeRgb(92, 76, 164), MakeRgb(44, 36, 98), (y - y0) * 256 / (y1 - y0 + 1));
        });
  for (int x = x0 + 3; x <= x1 - 3; ++x) canvas.Blend(x, y0 + 1, MakeRgb(200, 186, 255), 110);
}

void PaintWell(Canvas& canvas, int x0, int y0, int x1, int y1) {
  canvas.FillRect(x0, y0, x1, y1, MakeRgb(70, 60, 126));
  canvas.FillRect(x0, y0, x1, y0, MakeRgb(4, 4, 12));
  canvas.FillRect(x0, y0, x0, y1, MakeRgb(4, 4, 12));
  canvas.FillRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, WellColour);
}

Canvas MakePlayPanel() {
  Canvas c(240, 80);
  PaintNight(c, MakeRgb(30, 26, 66), MakeRgb(14, 12, 34), 21, 30);
  c.FillRect(0, 0, 239, 0, Gold);

  // Sound toggle in the top right corner, under where the mute cross falls.
  PaintButton(c, 222, 1, 239, 16);
  const Shape speaker =
      Union({Box(225, 6, 228, 11), Polygon({228, 6, 232, 2.5, 232, 14.5, 228, 11})});
  const Shape waves = Intersect(Union({Minus(Circle(231, 8.5, 4.6), Circle(231, 8.5, 3.4)),
                                       Minus(Circle(231, 8.5, 7.4), Circle(231, 8.5, 6.2))}),
                                Box(233.5, 0, 240, 17));
  Paint(c, Over(c, speaker), Cream);
  Paint(c, Over(c, waves), Cream);

  // Counters: the game prints three or more 14-pixel digits at (63, 17)
  // and (177, 17) with a shadow one pixel down and right.
  PaintWell(c, 57, 12, 118, 36);
  PaintWell(c, 171, 12, 240, 36);  // open to the right: a fourth digit ends at 239
  Hourglass(c, 8, 21, Gold);
  ShadowText(c, "TIME", 20, 21, 1, Cream);
  TilePair(c, 125, 20, Gold);
  ShadowText(c, "MOVES", 137, 21, 1, Cream);

  for (int x = 8; x <= 231; ++x) c.Blend(x, 45, Gold, 90);

  // The three buttons along the bottom edge (screen rows 295..319).
  PaintButton(c, 0, 55, 55, 79);
  CentredLabel(c, "INFO", 0, 55, 61, 2, Cream);
  PaintButton(c, 63, 55, 173, 79);
  BoardPictogram(c, 82, 67, 4, 4);
  CentredLabel(c, "BOARDS", 92, 173, 61, 2, Cream);
  PaintButton(c, 190, 55, 239, 79);
  CentredLabel(c, "QUIT", 190, 239, 61, 2, Cream);
  return c;
}

Canvas MakeSelectScreen() {
  Canvas c(240, 320);
  PaintNight(c, MakeRgb(22, 18, 52), MakeRgb(8, 8, 22), 31, 120);

  ShadowText(c, "BOARD", 8, 6, 2, Gold);
  ShadowText(c, "pick a size", 8, 25, 1, Lavender);
  static constexpr const char* Sizes[6] = {"2x4", "4x4", "4x6", "6x6", "6x8", "8x8"};
  for (int j = 0; j < 6; ++j) {
    const int x0 = 124 + 37 * (j % 3);
    const int y0 = 3 + 18 * (j / 3);
    PaintButton(c, x0, y0, x0 + 33, y0 + 15);
    CentredLabel(c, Sizes[j], x0, x0 + 33, y0 + 4, 1, Cream);
  }

  PaintButton(c, 0, 44, 60, 72);
  CentredLabel(c, "PLAY", 0, 60, 52, 2, Cream);
  PaintButton(c, 180, 44, 239, 72);
  CentredLabel(c, "BACK", 180, 239, 52, 2, Cream);
  const MothEmblem moth = MakeMothEmblem(120, 58, 13);
  Paint(c, Over(c, moth.wings), Gold);
  Paint(c, Over(c, moth.body), InkDeep);
  Paint(c, Over(c, moth.eyespots), GoldDark);
  Paint(c, Over(c, moth.antennae), Gold);

  // The records table: column heads, then a row per board size. The game
  // prints the best time at x 95 and the fewest moves at x 174.
  ShadowText(c, "board", 8, 78, 1, Lavender);
  CentredLabel(c, "best time", 90, 150, 78, 1, Lavender);
  CentredLabel(c, "fewest moves", 169, 239, 78, 1, Lavender);
  static constexpr int Columns[6] = {2, 4, 4, 6, 6, 8};
  static constexpr int Rows[6] = {4, 4, 6, 6, 8, 8};
  for (int i = 0; i < 6; ++i) {
    const int y = 96 + 40 * i;
    for (int x = 4; x <= 235; ++x) c.Blend(x, y - 7, Gold, i == 0 ? 110 : 60);
    ShadowText(c, Sizes[i], 8, y + 1, 2, Cream);
    BoardPictogram(c, 64, y + 7, Columns[i], Rows[i]);
    PaintWell(c, 89, y - 4, 150, y + 19);
    PaintWell(c, 169, y - 4, 240, y + 19);
  }
  return c;
}

Canvas MakeAboutScreen() {
  Canvas c(240, 320);
  PaintNight(c, MakeRgb(22, 18, 52), MakeRgb(8, 8, 22), 41, 140);

  const MothEmblem moth = MakeMothEmblem(120, 34, 28);
  Paint(c, Over(c, moth.wings).Grown(1.0), InkDeep);
  Paint(c, Over(c, moth.wings), [](int, int y) { return Mix(Cream, Gold, (y - 8) * 5); });
  Paint(c, Over(c, moth.veins), GoldDark);
  Paint(c, Over(c, moth.eyespots), GoldDark);
  Paint(c, Over(c, moth.eyespotPupils), Cream);
  Paint(c, Over(c, moth.body), InkDeep);
  Paint(c, Over(c, moth.antennae), Gold);

  CentredLabel(c, "QUILLMOTH", 0, 239, 68, 3, Cream);
  CentredLabel(c, "version 1.0.0", 0, 239, 96, 1, Lavender);
  for (int x = 30; x <= 209; ++x) c.Blend(x, 110, Gold, 120);

  ShadowText(c, "How to play", 12, 118, 1, Gold);
  static constexpr const char* Rules[] = {
      "Tap a tile to turn it over, then tap", "a second one. Two equal pictures",
      "are a pair and fade away. Tap again",  "to turn a wrong guess back.",
      "Clear the board in as few moves and",  "as little time as you can: the best",
      "of each board size is kept.",
  };
  int y = 132;
  for (const char* line : Rules) {
    ShadowText(c, line, 12, y, 1, Cream);
    y += 12;
  }
  ShadowText(c, "The panel", 12, 222, 1, Gold);
  ShadowText(c, "speaker: sound on or off", 12, 236, 1, Cream);
  ShadowText(c, "boards: board size, new game", 12, 248, 1, Cream);

  CentredLabel(c, "Free software under the MIT licence", 0, 239, 266, 1, Lavender);
  for (int x = 30; x <= 209; ++x) c.Blend(x, 282, Gold, 120);
  CentredLabel(c, "tap to return", 0, 239, 292, 2, Cream);
  return c;
}

}  // namespace assets
