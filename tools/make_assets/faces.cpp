#include "make_assets/faces.h"

#include <utility>
#include <vector>

#include "make_assets/emblem.h"

namespace assets {
namespace {

// Symbols are designed on a square from -1 to 1 (y downwards) that maps to
// the middle 22 x 22 pixels of the tile.
constexpr double Centre = 15.0;
constexpr double Scale = 11.0;

Shape ToTile(Shape symbol) {
  return [symbol = std::move(symbol)](double x, double y) {
    return symbol((x - Centre) / Scale, (y - Centre) / Scale);
  };
}

// Regular star or polygon: points alternate between the two radii.
Shape Star(int points, double outer, double inner, double startDegrees, double cx = 0,
           double cy = 0) {
  std::vector<double> xy;
  const int n = inner > 0 ? points * 2 : points;
  for (int i = 0; i < n; ++i) {
    const double a = (startDegrees + 360.0 * i / n) * Pi / 180.0;
    const double r = (inner > 0 && (i & 1)) ? inner : outer;
    xy.push_back(cx + r * Cosine(a));
    xy.push_back(cy + r * Sine(a));
  }
  return Polygon(std::move(xy));
}

Shape Tri(double ax, double ay, double bx, double by, double cx, double cy) {
  return Polygon({ax, ay, bx, by, cx, cy});
}

// A wedge cut into the vane of the feather, at distance t along its axis
// (towards the tip) on side s, slanting back towards the quill.
Shape FeatherNotch(double t, int side) {
  const double cx = -0.15, cy = -0.15;    // vane centre
  const double dx = -0.707, dy = -0.707;  // towards the tip
  const double nx = 0.707 * side, ny = -0.707 * side;
  auto at = [&](double along, double across, int k) {
    return k == 0 ? cx + along * dx + across * nx : cy + along * dy + across * ny;
  };
  return Tri(at(t - 0.12, 0.1, 0), at(t - 0.12, 0.1, 1), at(t + 0.02, 0.5, 0), at(t + 0.02, 0.5, 1),
             at(t + 0.18, 0.5, 0), at(t + 0.18, 0.5, 1));
}

constexpr Rgb Crimson = MakeRgb(200, 36, 64);
constexpr Rgb Vermilion = MakeRgb(228, 96, 28);
constexpr Rgb Amber = MakeRgb(222, 164, 16);
constexpr Rgb Leaf = MakeRgb(72, 148, 40);
constexpr Rgb Teal = MakeRgb(16, 140, 136);
constexpr Rgb Cobalt = MakeRgb(36, 92, 204);
constexpr Rgb Indigo = MakeRgb(76, 56, 168);
constexpr Rgb Violet = MakeRgb(148, 56, 184);
constexpr Rgb Magenta = MakeRgb(204, 48, 140);
constexpr Rgb Sepia = MakeRgb(128, 80, 36);
constexpr Rgb Slate = MakeRgb(84, 96, 120);

struct FaceDesign {
  Shape symbol;
  Rgb ink;
};

FaceDesign Design(int n) {
  switch (n) {
    case 1:  // moth
      return {Minus(Union({Ellipse(0, 0.05, 0.13, 0.6), Circle(0, -0.55, 0.14),
                           Ellipse(-0.48, -0.22, 0.52, 0.36, 0.906, 0.423),
                           Ellipse(0.48, -0.22, 0.52, 0.36, 0.906, -0.423),
                           Ellipse(-0.36, 0.4, 0.34, 0.27, 0.94, -0.342),
                           Ellipse(0.36, 0.4, 0.34, 0.27, 0.94, 0.342),
                           Capsule(-0.05, -0.62, -0.38, -0.95, 0.06),
                           Capsule(0.05, -0.62, 0.38, -0.95, 0.06)}),
                    Union({Circle(-0.52, -0.24, 0.13), Circle(0.52, -0.24, 0.13)})),
              Sepia};
    case 2:  // crescent moon
      return {Minus(Circle(0, 0, 0.9), Circle(0.42, -0.25, 0.74)), Amber};
    case 3:  // full moon with craters
      return {Minus(Circle(0, 0, 0.88), Union({Circle(-0.3, -0.28, 0.2), Circle(0.3, 0.2, 0.25),
                                               Circle(-0.2, 0.48, 0.12)})),
              Slate};
    case 4:  // half moon
      return {Intersect(Circle(0.3, 0, 0.92), Box(-1, -1, 0.3, 1)), Cobalt};
    case 5:  // five-pointed star
      return {Star(5, 0.98, 0.42, -90, 0, 0.08), Amber};
    case 6:  // four-pointed sparkle
      return {Star(4, 0.98, 0.25, -90), Teal};
    case 7:  // six-pointed star
      return {Union({Tri(0, -0.95, 0.82, 0.475, -0.82, 0.475),
                     Tri(0, 0.95, 0.82, -0.475, -0.82, -0.475)}),
              Indigo};
    case 8:  // heart
      return {Union({Circle(-0.42, -0.3, 0.45), Circle(0.42, -0.3, 0.45),
                     Tri(-0.84, -0.16, 0.84, -0.16, 0, 0.9)}),
              Crimson};
    case 9:  // diamond
      return {Polygon({0, -0.98, 0.65, 0, 0, 0.98, -0.65, 0}), Magenta};
    case 10:  // square
      return {RoundBox(-0.72, -0.72, 0.72, 0.72, 0.15), Leaf};
    case 11:  // triangle
      return {Tri(0, -0.9, 0.92, 0.75, -0.92, 0.75), Vermilion};
    case 12:  // ring
      return {Minus(Circle(0, 0, 0.9), Circle(0, 0, 0.5)), Violet};
    case 13:  // plus
      return {Union({Box(-0.22, -0.9, 0.22, 0.9), Box(-0.9, -0.22, 0.9, 0.22)}), Crimson};
    case 14:  // saltire
      return {
          Union({Capsule(-0.68, -0.68, 0.68, 0.68, 0.2), Capsule(-0.68, 0.68, 0.68, -0.68, 0.2)}),
          Slate};
    case 15:  // ink drop
      return {Union({Circle(0, 0.3, 0.6), Tri(0, -0.98, 0.53, 0.02, -0.53, 0.02)}), Cobalt};
    case 16:  // leaf with its stem and a vein
      return {Minus(Union({Intersect(Circle(0.45, 0.45, 1.18), Circle(-0.45, -0.45, 1.18)),
                           Capsule(-0.6, 0.6, -0.92, 0.92, 0.09)}),
                    Capsule(-0.45, 0.45, 0.4, -0.4, 0.05)),
              Leaf};
    case 17:  // quill feather
      return {Minus(Union({Ellipse(-0.15, -0.15, 0.82, 0.34, 0.707, 0.707),
                           Capsule(0.2, 0.2, 0.92, 0.92, 0.07)}),
                    Union({FeatherNotch(0.3, 1), FeatherNotch(-0.2, 1), FeatherNotch(0.05, -1),
                           FeatherNotch(-0.45, -1), Capsule(0.1, 0.1, -0.6, -0.6, 0.045)})),
              Violet};
    case 18:  // key
      return {
          Union({Minus(Circle(-0.55, 0, 0.4), Circle(-0.55, 0, 0.17)), Box(-0.2, -0.11, 0.95, 0.11),
                 Box(0.52, 0.11, 0.7, 0.45), Box(0.78, 0.11, 0.95, 0.33)}),
          Amber};
    case 19:  // lantern
      return {Union({Minus(Circle(0, -0.78, 0.2), Circle(0, -0.78, 0.1)),
                     Polygon({-0.35, -0.62, 0.35, -0.62, 0.58, -0.42, -0.58, -0.42}),
                     Minus(RoundBox(-0.45, -0.42, 0.45, 0.62, 0.12), Box(-0.26, -0.24, 0.26, 0.44)),
                     Ellipse(0, 0.16, 0.11, 0.22), Box(-0.58, 0.62, 0.58, 0.8)}),
              Vermilion};
    case 20:  // bell
      return {Union({Circle(0, -0.25, 0.55),
                     Polygon({-0.55, -0.25, 0.55, -0.25, 0.86, 0.55, -0.86, 0.55}),
                     Circle(0, 0.74, 0.18), Circle(0, -0.86, 0.12)}),
              Amber};
    case 21:  // hexagon
      return {Star(6, 0.92, 0, 0), Teal};
    case 22:  // arrow
      return {Union({Tri(0, -0.95, 0.75, -0.1, -0.75, -0.1), Box(-0.22, -0.2, 0.22, 0.92)}), Leaf};
    case 23:  // lightning bolt
      return {Polygon({0.25, -0.98, -0.5, 0.12, -0.02, 0.12, -0.25, 0.98, 0.58, -0.2, 0.08, -0.2,
                       0.42, -0.98}),
              Amber};
    case 24:  // toadstool
      return {Union({Minus(Intersect(Ellipse(0, -0.08, 0.95, 0.78), Box(-1, -1, 1, -0.1)),
                           Union({Circle(-0.45, -0.42, 0.13), Circle(0.22, -0.6, 0.12)})),
                     RoundBox(-0.25, -0.15, 0.25, 0.88, 0.1)}),
              Crimson};
    case 25: {  // flower
      std::vector<Shape> petals{Circle(0, 0, 0.35)};
      for (int k = 0; k < 5; ++k) {
        const double a = (-90.0 + 72.0 * k) * Pi / 180.0;
        petals.push_back(Circle(0.56 * Cosine(a), 0.56 * Sine(a), 0.36));
      }
      return {Minus(Union(std::move(petals)), Circle(0, 0, 0.14)), Magenta};
    }
    case 26:  // clover
      return {Union({Circle(0, -0.48, 0.33), Circle(-0.44, 0.04, 0.33), Circle(0.44, 0.04, 0.33),
                     Circle(0, -0.08, 0.2), Capsule(0, 0.1, 0.28, 0.95, 0.09)}),
              Leaf};
    case 27:  // eye
      return {
          Union({Minus(Intersect(Circle(0, 0.75, 1.2), Circle(0, -0.75, 1.2)), Circle(0, 0, 0.38)),
                 Circle(0, 0, 0.22)}),
          Teal};
    case 28:  // candle
      return {Union({Box(-0.28, -0.1, 0.28, 0.8), Box(-0.5, 0.8, 0.5, 0.95), Circle(0, -0.45, 0.17),
                     Tri(-0.16, -0.5, 0.16, -0.5, 0, -0.98)}),
              Vermilion};
    case 29:  // hourglass
      return {
          Union({Box(-0.72, -0.95, 0.72, -0.78), Box(-0.72, 0.78, 0.72, 0.95),
                 Polygon({-0.55, -0.78, 0.55, -0.78, 0.08, 0, 0.55, 0.78, -0.55, 0.78, -0.08, 0})}),
          Sepia};
    case 30:  // cloud
      return {Union({Circle(-0.48, 0.18, 0.36), Circle(0.05, -0.15, 0.5), Circle(0.52, 0.18, 0.36),
                     Box(-0.48, 0.18, 0.52, 0.54)}),
              Cobalt};
    case 31:  // pine tree, three tiers with deep steps
      return {
          Union({Tri(0, -0.98, 0.4, -0.48, -0.4, -0.48), Tri(0, -0.7, 0.62, -0.02, -0.62, -0.02),
                 Tri(0, -0.36, 0.9, 0.56, -0.9, 0.56), Box(-0.15, 0.56, 0.15, 0.96)}),
          Leaf};
    case 32:  // spade
      return {Union({Circle(-0.42, 0.2, 0.42), Circle(0.42, 0.2, 0.42),
                     Tri(-0.83, 0.08, 0.83, 0.08, 0, -0.92), Tri(0, 0.3, 0.32, 0.94, -0.32, 0.94)}),
              Indigo};
    case 33:  // crown
      return {Union({Polygon({-0.85, 0.5, -0.85, -0.5, -0.42, -0.05, 0, -0.75, 0.42, -0.05, 0.85,
                              -0.5, 0.85, 0.5}),
                     Box(-0.85, 0.62, 0.85, 0.82), Circle(-0.85, -0.6, 0.13),
                     Circle(0, -0.84, 0.13), Circle(0.85, -0.6, 0.13)}),
              Amber};
    case 34:  // fish
      return {Minus(Union({Ellipse(-0.15, 0, 0.66, 0.42), Tri(0.35, 0, 0.97, -0.52, 0.97, 0.52)}),
                    Circle(-0.5, -0.1, 0.1)),
              Teal};
    case 35:  // inkwell with a quill
      return {Union({RoundBox(-0.7, 0.05, 0.7, 0.9, 0.2),
                     Polygon({-0.7, 0.12, 0.7, 0.12, 0.35, -0.2, -0.35, -0.2}),
                     Box(-0.28, -0.45, 0.28, -0.15), Box(-0.4, -0.56, 0.4, -0.42),
                     Capsule(0.05, -0.5, 0.72, -0.97, 0.08)}),
              Indigo};
    case 36: {  // sun
      std::vector<Shape> parts{Circle(0, 0, 0.47)};
      for (int k = 0; k < 8; ++k) {
        const double a = k * Pi / 4;
        const double s = 0.2;
        parts.push_back(Tri(0.6 * Cosine(a - s), 0.6 * Sine(a - s), 0.6 * Cosine(a + s),
                            0.6 * Sine(a + s), 0.98 * Cosine(a), 0.98 * Sine(a)));
      }
      return {Union(std::move(parts)), Vermilion};
    }
    case 37:  // arched door
      return {
          Minus(Union({Box(-0.6, -0.2, 0.6, 0.95), Circle(0, -0.2, 0.6)}), Circle(0.32, 0.32, 0.1)),
          Sepia};
    case 38:  // musical note
      return {Union({Ellipse(-0.36, 0.62, 0.32, 0.22, 0.94, -0.342), Box(-0.12, -0.85, 0.04, 0.6),
                     Polygon({-0.04, -0.85, 0.58, -0.45, 0.52, -0.12, -0.04, -0.48})}),
              Magenta};
    case 39:  // mountains
      return {Polygon({-0.98, 0.75, -0.35, -0.55, 0.0, 0.05, 0.35, -0.85, 0.98, 0.75}), Slate};
    default:  // shield with a bar
      return {Minus(Polygon({-0.75, -0.85, 0.75, -0.85, 0.75, 0.05, 0.4, 0.6, 0, 0.95, -0.4, 0.6,
                             -0.75, 0.05}),
                    Box(-0.12, -0.68, 0.12, 0.62)),
              Crimson};
  }
}

constexpr Rgb TileEdge = MakeRgb(14, 12, 30);
constexpr Rgb SymbolOutline = MakeRgb(36, 26, 44);

// The common tile: dark rim with rounded corners that melt into the night.
Canvas TileBase(Rgb top, Rgb bottom) {
  Canvas tile(TileSize, TileSize, TileEdge);
  const Coverage face(RoundBox(1, 1, 29, 29, 3.5), 0, 0, TileSize, TileSize);
  Paint(tile, face, [&](int, int y) { return Mix(top, bottom, y * 256 / 29); });
  return tile;
}

}  // namespace

Canvas MakeFace(int n) {
  Canvas tile = TileBase(MakeRgb(246, 238, 216), MakeRgb(220, 204, 168));
  const FaceDesign design = Design(n);
  const Shape symbol = ToTile(design.symbol);
  const Coverage fill(symbol, 0, 0, TileSize, TileSize);
  Paint(tile, fill.Grown(1.0), SymbolOutline);
  const Rgb light = Mix(design.ink, MakeRgb(255, 255, 255), 72);
  const Rgb dark = Mix(design.ink, MakeRgb(0, 0, 0), 48);
  Paint(tile, fill, [&](int, int y) { return Mix(light, dark, (y - 3) * 256 / 24); });
  return tile;
}

Canvas MakeTileBack() {
  Canvas tile = TileBase(MakeRgb(52, 44, 112), MakeRgb(26, 22, 64));
  // A fine diagonal lattice, like the ruled back of a playing card.
  for (int y = 3; y <= 26; ++y)
    for (int x = 3; x <= 26; ++x)
      if ((x + y) % 6 == 0 || (x - y + 30) % 6 == 0) tile.Blend(x, y, MakeRgb(120, 104, 200), 72);
  const Rgb gold = MakeRgb(226, 182, 82);
  Paint(tile,
        Coverage(Minus(RoundBox(3, 3, 27, 27, 2.5), RoundBox(4, 4, 26, 26, 1.5)), 0, 0, 30, 30),
        gold);
  // A medallion with the game's moth in the middle.
  Paint(tile, Coverage(Circle(15, 15, 9.5), 0, 0, 30, 30), MakeRgb(20, 16, 48));
  Paint(tile, Coverage(Minus(Circle(15, 15, 9.5), Circle(15, 15, 8.5)), 0, 0, 30, 30), gold);
  const MothEmblem moth = MakeMothEmblem(15, 15.2, 8.2);
  Paint(tile, Coverage(moth.wings, 0, 0, 30, 30), gold);
  Paint(tile, Coverage(moth.body, 0, 0, 30, 30), MakeRgb(20, 16, 48));
  return tile;
}

}  // namespace assets
