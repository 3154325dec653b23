#include "make_assets/title_art.h"

#include <vector>

#include "make_assets/emblem.h"
#include "make_assets/pixel_font.h"

namespace assets {
namespace {

Coverage Whole(const Canvas& c, const Shape& s) { return Coverage(s, 0, 0, c.width, c.height); }

Shape Sparkle(double cx, double cy, double r) {
  std::vector<double> xy;
  for (int i = 0; i < 8; ++i) {
    const double a = (-90.0 + 45.0 * i) * Pi / 180.0;
    const double radius = (i & 1) ? r * 0.28 : r;
    xy.push_back(cx + radius * Cosine(a));
    xy.push_back(cy + radius * Sine(a));
  }
  return Polygon(std::move(xy));
}

}  // namespace

Canvas MakeFront() {
  Canvas c(240, 240);
  PaintNight(c, MakeRgb(8, 8, 24), MakeRgb(30, 24, 70), 11, 170);

  // The moth's wings are the big window: the turning sky is seen through
  // them, framed in gold, with the body, veins and eyespots drawn in ink.
  const MothEmblem moth = MakeMothEmblem(120, 88, 86);
  const Coverage wings = Whole(c, moth.wings);
  Paint(c, wings.Grown(3.0), InkDeep);
  Paint(c, wings.Grown(1.5), Gold);
  PaintKey(c, wings);
  Paint(c, Whole(c, moth.veins), MakeRgb(26, 20, 54));
  const Coverage spots = Whole(c, moth.eyespots);
  Paint(c, spots.Grown(1.5), Gold);
  Paint(c, spots, InkDeep);
  PaintKey(c, Whole(c, moth.eyespotPupils));
  const Coverage body = Whole(c, moth.body);
  Paint(c, body.Grown(1.5), Gold);
  Paint(c, body,
        [](int, int y) { return Mix(MakeRgb(70, 52, 96), MakeRgb(24, 18, 44), (y - 40) * 2); });
  Paint(c, Whole(c, moth.antennae), Gold);

  // The name, in bold letters that are windows too.
  const char* name = "QUILLMOTH";
  const int x = 120 - SmallTextWidth(name, 4) / 2;
  const Coverage letters = Whole(c, SmallTextShape(name, x, 186, 4)).Grown(1.0);
  Paint(c, letters.Grown(3.0), InkDeep);
  Paint(c, letters.Grown(1.5), Gold);
  PaintKey(c, letters);
  DrawSmallTextCentred(c, "a memory game of moths and ink", 120, 226, 1, Lavender);
  FillKeySpecks(c, 6);
  return c;
}

Canvas MakeTitlePanel() {
  Canvas c(240, 80);
  PaintNight(c, MakeRgb(30, 26, 66), MakeRgb(10, 8, 26), 12, 50);
  c.FillRect(0, 0, 239, 0, Gold);
  c.FillRect(0, 1, 239, 1, GoldDark);
  const char* invite = "tap to start";
  const int w = SmallTextWidth(invite, 2);
  DrawSmallText(c, invite, 121 - w / 2, 23, 2, InkDeep);
  DrawSmallText(c, invite, 120 - w / 2, 22, 2, Cream);
  // Chevrons and two little moths point at the invitation.
  for (int side = -1; side <= 1; side += 2) {
    const int cx = 120 + side * (w / 2 + 22);
    const MothEmblem moth = MakeMothEmblem(cx, 29, 11);
    Paint(c, Whole(c, moth.wings), Gold);
    Paint(c, Whole(c, moth.body), InkDeep);
    Paint(c, Whole(c, moth.eyespots), GoldDark);
  }
  DrawSmallTextCentred(c, "version 1.0.0", 120, 62, 1, Lavender);
  return c;
}

Canvas MakeRecordBanner() {
  Canvas c(240, 120, KeyMarker);
  // Letters show the backdrop recoloured; the black outline keeps them
  // readable over any part of it.
  const Rgb fill = MakeRgb(255, 255, 255);
  auto outlined = [&](const Shape& shape) {
    const Coverage cover = Whole(c, shape).Grown(1.0);
    Paint(c, cover.Grown(3.5), MakeRgb(0, 0, 0));
    Paint(c, cover, fill);
  };
  outlined(SmallTextShape("NEW", 120 - SmallTextWidth("NEW", 6) / 2, 9, 6));
  outlined(SmallTextShape("RECORD!", 120 - SmallTextWidth("RECORD!", 6) / 2, 64, 6));
  outlined(Sparkle(42, 30, 16));
  outlined(Sparkle(198, 30, 16));
  outlined(Sparkle(66, 50, 7));
  outlined(Sparkle(174, 50, 7));
  return c;
}

}  // namespace assets
