#include "make_assets/faces.h"

#include <utility>
#include <vector>

#include "make_assets/emblem.h"
#include "pictures/tile_frame.h"

namespace assets {
namespace {

// Faces are drawn in tile pixels: pixel (x, y) spans [x, x + 1), the tile's
// centre is (15, 15), and a face keeps within 4..26 so that its outline
// stays clear of the frame.

constexpr Rgb Outline = MakeRgb(36, 26, 44);

Shape Oval(double cx, double cy, double rx, double ry, double degrees = 0) {
  return Ellipse(cx, cy, rx, ry, Cosine(degrees * Pi / 180), Sine(degrees * Pi / 180));
}

Shape Ring(double cx, double cy, double r, double width) {
  return Minus(Circle(cx, cy, r), Circle(cx, cy, r - width));
}

Shape Tri(double ax, double ay, double bx, double by, double cx, double cy) {
  return Polygon({ax, ay, bx, by, cx, cy});
}

// A pen stroke of the given width through the points x0, y0, x1, y1, ...
Shape Stroke(std::vector<double> xy, double width) {
  std::vector<Shape> parts;
  for (size_t i = 0; i + 3 < xy.size(); i += 2)
    parts.push_back(Capsule(xy[i], xy[i + 1], xy[i + 2], xy[i + 3], width / 2));
  return Union(std::move(parts));
}

// Points alternating between two radii from `from` to `to` degrees, closed
// through the centre unless the fan goes all the way round (a star).
Shape Burst(double cx, double cy, double outer, double inner, int points, double from = -90,
            double to = 270) {
  const bool full = to - from >= 360;
  std::vector<double> xy;
  if (!full) xy = {cx, cy};
  const int n = full ? points * 2 : points * 2 + 1;
  for (int i = 0; i < n; ++i) {
    const double a = (from + (to - from) * i / (points * 2)) * Pi / 180;
    const double r = (i & 1) ? inner : outer;
    xy.push_back(cx + r * Cosine(a));
    xy.push_back(cy + r * Sine(a));
  }
  return Polygon(std::move(xy));
}

// A spiral stroke from radius r0 to r1 over the given turns.
Shape Spiral(double cx, double cy, double r0, double r1, double turns, double from, double width) {
  std::vector<double> xy;
  const int n = static_cast<int>(24 * turns);
  for (int i = 0; i <= n; ++i) {
    const double t = static_cast<double>(i) / n;
    const double a = (from + 360 * turns * t) * Pi / 180;
    xy.push_back(cx + (r0 + (r1 - r0) * t) * Cosine(a));
    xy.push_back(cy + (r0 + (r1 - r0) * t) * Sine(a));
  }
  return Stroke(std::move(xy), width);
}

// The shape and its mirror image about the tile's middle column.
Shape Mirror(Shape s) {
  return [s = std::move(s)](double x, double y) { return s(x, y) || s(30 - x, y); };
}

// The shape turned by the given degrees (clockwise) about (cx, cy).
Shape Turn(Shape s, double degrees, double cx = 15, double cy = 15) {
  const double c = Cosine(degrees * Pi / 180), n = Sine(degrees * Pi / 180);
  return [s = std::move(s), c, n, cx, cy](double x, double y) {
    return s(cx + (x - cx) * c + (y - cy) * n, cy - (x - cx) * n + (y - cy) * c);
  };
}

// One part of a face: a shape in an ink, with a dark outline of its own
// (a body, a wing, a flame) or without (a spot, a line of ink).
struct Part {
  Shape shape;
  Rgb ink;
  bool edged;
};
Part Fill(Shape s, Rgb ink) { return {std::move(s), ink, true}; }
Part Spot(Shape s, Rgb ink) { return {std::move(s), ink, false}; }
Part Ink(Shape s) { return {std::move(s), Outline, false}; }

// A face drawn upright and shown turned (clockwise) about the centre.
std::vector<Part> Tilted(double degrees, std::vector<Part> parts) {
  for (Part& part : parts) part.shape = Turn(std::move(part.shape), degrees);
  return parts;
}

constexpr Rgb Crimson = MakeRgb(200, 36, 64);
constexpr Rgb Vermilion = MakeRgb(228, 96, 28);
constexpr Rgb Amber = MakeRgb(222, 164, 16);
constexpr Rgb Leaf = MakeRgb(72, 148, 40);
constexpr Rgb Pine = MakeRgb(36, 112, 84);
constexpr Rgb Jade = MakeRgb(120, 196, 150);
constexpr Rgb Teal = MakeRgb(16, 140, 136);
constexpr Rgb Cobalt = MakeRgb(36, 92, 204);
constexpr Rgb Indigo = MakeRgb(76, 56, 168);
constexpr Rgb Violet = MakeRgb(148, 56, 184);
constexpr Rgb Magenta = MakeRgb(204, 48, 140);
constexpr Rgb Sepia = MakeRgb(128, 80, 36);
constexpr Rgb Tan = MakeRgb(196, 150, 96);
constexpr Rgb Slate = MakeRgb(84, 96, 120);
constexpr Rgb Night = MakeRgb(48, 40, 84);
constexpr Rgb Moon = MakeRgb(240, 222, 150);
constexpr Rgb Glass = MakeRgb(200, 210, 240);
constexpr Rgb Paper = MakeRgb(246, 240, 228);
constexpr Rgb Olive = MakeRgb(120, 120, 64);
constexpr Rgb Glow = MakeRgb(252, 226, 110);

std::vector<Part> Design(int n) {
  switch (n) {
    case 1: {  // luna moth, the game's own, with its long tails
      const MothEmblem moth = MakeMothEmblem(15, 15.5, 10);
      return {Fill(moth.wings, Jade), Spot(moth.eyespots, Amber), Fill(moth.body, Violet),
              Ink(Mirror(Stroke({14, 11, 11.5, 5.5}, 1.2)))};
    }
    case 2:  // emperor moth: round wings with eyespots
      return {Fill(Mirror(Union({Circle(9.5, 11, 5.5), Circle(10.5, 19.5, 4.5)})), Vermilion),
              Spot(Mirror(Circle(9, 11, 2.4)), Moon), Ink(Mirror(Circle(9, 11, 1.1))),
              Fill(Oval(15, 15.5, 1.8, 7), Sepia), Ink(Mirror(Stroke({14, 9, 12, 5}, 1.2)))};
    case 3:  // hawk moth: narrow wings swept back
      return {Fill(Mirror(Oval(11.5, 18.5, 3.5, 2.2, -30)), Magenta),
              Fill(Mirror(Polygon({15, 9.5, 8, 11.5, 4, 17, 6.5, 17.5, 15, 14.5})), Olive),
              Fill(Union({Oval(15, 15, 2.6, 8.5), Circle(15, 8, 2)}), Olive),
              Spot(Box(14, 15, 16, 16), Magenta),
              Spot(Box(14, 18, 16, 19), Magenta),
              Ink(Mirror(Stroke({14, 7, 12, 4.5}, 1.2)))};
    case 4:  // moth at rest, wings folded like a tent
      return {Ink(Mirror(Stroke({14, 8, 11, 6, 9.5, 4}, 1.2))),
              Fill(Polygon({15, 9, 24.5, 21, 22.5, 24.5, 15, 22, 7.5, 24.5, 5.5, 21}), Tan),
              Spot(Mirror(Stroke({15, 16, 11, 18, 8.5, 21}, 1.8)), Sepia), Ink(Box(14, 13, 16, 22)),
              Fill(Union({Circle(15, 9, 2.5), Oval(15, 12, 3, 2.2)}), Sepia)};
    case 5:  // owl
      return {Fill(Union({Oval(15, 16.5, 8, 9), Mirror(Tri(7.5, 4.5, 12.5, 9, 7.5, 12))}), Sepia),
              Spot(Oval(15, 21, 4.5, 4), Tan),
              Fill(Mirror(Circle(11.5, 13, 3.5)), Moon),
              Spot(Mirror(Circle(11.5, 13, 2.2)), Amber),
              Ink(Mirror(Circle(12, 13, 1.1))),
              Fill(Tri(13.5, 15, 16.5, 15, 15, 18.5), Amber)};
    case 6:  // bat
      return {
          Fill(Mirror(Polygon({15, 12, 11, 7.5, 8, 7.5, 4, 10.5, 4.5, 18, 7.5, 15.5, 10, 20, 12, 17,
                               15, 19.5})),
               Night),
          Ink(Mirror(Union({Stroke({10.5, 8.5, 5, 17}, 1), Stroke({10.5, 8.5, 9.8, 18.5}, 1)}))),
          Fill(Union({Oval(15, 15, 3, 5.5), Circle(15, 10.5, 3),
                      Mirror(Tri(12.5, 10, 15, 9, 12.2, 5))}),
               Indigo)};
    case 7:  // firefly, its tail alight
      return Tilted(
          30, {Spot(Circle(15, 20, 6.5), Glow), Fill(Mirror(Oval(10.5, 12, 2.6, 6, 40)), Glass),
               Fill(Union({Circle(15, 7.5, 2.2), Oval(15, 15.5, 3, 7)}), Night),
               Fill(Oval(15, 10.5, 3.3, 2.2), Crimson),
               Fill(Intersect(Oval(15, 15.5, 3, 7), Box(0, 17.5, 30, 30)), Amber),
               Ink(Mirror(Stroke({14, 6, 11.5, 4}, 1.2)))});
    case 8:  // spider on its thread
      return {Ink(Box(15, 4, 16, 12)),
              Ink(Mirror(Union(
                  {Stroke({13, 12, 9, 8, 6, 10}, 1.3), Stroke({13, 13, 8, 12, 5, 15}, 1.3),
                   Stroke({13, 14, 8, 17, 5, 21}, 1.3), Stroke({13, 15, 9, 20, 7, 25}, 1.3)}))),
              Fill(Union({Circle(15, 12.5, 2.8), Circle(15, 19, 4.8)}), Slate),
              Spot(Circle(13, 17, 1.1), Glass)};
    case 9:  // cat
      return {Fill(Stroke({19, 24.5, 23.5, 24, 25, 21, 24, 17.5}, 2), Night),
              Fill(Union({Intersect(Oval(15, 20, 6.5, 7), Box(0, 0, 30, 25)), Circle(15, 10.5, 4.8),
                          Mirror(Tri(10.3, 9, 13.5, 6.5, 11, 3.8))}),
                   Night),
              Spot(Mirror(Box(12, 9, 14, 11)), Amber)};
    case 10:  // mouse
      return {Fill(Stroke({22, 22, 25, 21, 25.5, 17, 23.5, 14.5}, 1.4), Slate),
              Fill(Union({Oval(16.5, 19, 7, 5), Polygon({4, 20.5, 12.5, 13.5, 13, 24.5})}), Slate),
              Fill(Circle(14, 12.5, 3), Slate),
              Spot(Circle(14, 12.5, 1.6), Magenta),
              Ink(Box(8, 18, 10, 20)),
              Spot(Circle(4.8, 20.5, 1.1), Magenta)};
    case 11:  // hedgehog
      return {Fill(Union({Burst(16, 21, 9.8, 6.5, 8, 180, 360), Box(8, 20, 24, 23)}), Sepia),
              Fill(Oval(8.5, 20.5, 4.5, 3.2, -10), Tan), Ink(Box(7, 18, 9, 20)),
              Ink(Circle(4.5, 21.5, 1.1)), Fill(Mirror(Box(10, 23, 12, 25)), Sepia)};
    case 12:  // caterpillar
      return {Fill(Circle(6.5, 20.5, 2.6), Leaf),
              Fill(Circle(9.5, 18.5, 3), Leaf),
              Fill(Circle(13, 17.5, 3.2), Leaf),
              Fill(Circle(16.5, 17.5, 3.2), Leaf),
              Fill(Circle(19.5, 19.5, 3), Leaf),
              Fill(Circle(22, 14.5, 3.5), Leaf),
              Spot(Union({Circle(13, 17, 1.1), Circle(17, 17, 1.1)}), Amber),
              Ink(Box(22, 13, 24, 15)),
              Ink(Stroke({21, 11, 20, 7}, 1.2))};
    case 13:  // snail
      return {Fill(Union({Stroke({5, 23, 22, 23}, 3), Stroke({21, 22.5, 24, 16}, 3)}), Slate),
              Ink(Union({Stroke({23, 16, 22.5, 12}, 1), Stroke({24.5, 16.5, 26, 13}, 1)})),
              Fill(Circle(13.5, 15, 7), Amber), Ink(Spiral(13.5, 15, 0.5, 5, 1.7, 0, 1.2))};
    case 14:  // quill
      return Tilted(45,
                    {Fill(Minus(Union({Oval(15, 12.5, 3.8, 9.5), Stroke({15, 19, 15, 26}, 1.6)}),
                                Union({Tri(10, 8, 14, 11, 10, 12), Tri(20, 14, 16, 16.5, 20, 19)})),
                          Violet),
                     Ink(Stroke({15, 5, 15, 21}, 1))});
    case 15:  // inkwell
      return {Fill(Union({RoundBox(6, 14, 24, 25, 3), Polygon({7, 15, 23, 15, 19, 11, 11, 11}),
                          Box(12, 8, 18, 11)}),
                   Indigo),
              Fill(RoundBox(11, 6, 19, 8.5, 1), Slate), Spot(Box(10, 17, 20, 22), Moon),
              Spot(Box(8, 17, 9, 22), Glass)};
    case 16:  // ink drop
      return {Fill(Union({Circle(15, 18.3, 6.6), Tri(15, 4.2, 20.8, 15.2, 9.2, 15.2)}), Indigo),
              Spot(Oval(12.5, 17.5, 1.4, 2.4, 20), Glass)};
    case 17:  // candle
      return {Fill(Ring(22.5, 20.5, 2.5, 1.5), Amber), Fill(Oval(15, 23.5, 9.5, 2.2), Amber),
              Fill(RoundBox(11.5, 11, 18.5, 23.5, 1), Paper),
              Fill(Union({Circle(15, 8.3, 2.3), Tri(12.8, 8, 17.2, 8, 15, 4)}), Amber),
              Spot(Oval(15, 8.6, 1, 1.5), Vermilion)};
    case 18:  // lantern
      return {Fill(Ring(15, 6.4, 2.2, 1.1), Slate),
              Fill(Union({Polygon({11.2, 8.2, 18.8, 8.2, 21.4, 10.4, 8.6, 10.4}),
                          RoundBox(10, 10.4, 20, 22, 1.3), Box(8.6, 21.8, 21.4, 23.8)}),
                   Slate),
              Fill(Box(12, 12.4, 18, 20), Amber), Spot(Oval(15, 16.8, 1.2, 2.4), Moon)};
    case 19: {  // hourglass
      const Shape glass = Polygon({8.9, 6.4, 21.1, 6.4, 15.9, 15, 21.1, 23.6, 8.9, 23.6, 14.1, 15});
      return {
          Fill(glass, Glass),
          Spot(Intersect(glass, Union({Box(0, 11, 30, 16), Tri(15, 18, 23, 24, 7, 24)})), Amber),
          Fill(Box(7, 4.5, 23, 6.4), Sepia), Fill(Box(7, 23.6, 23, 25.5), Sepia)};
    }
    case 20:  // key
      return {Fill(Union({Ring(9, 15, 4.4, 2.5), Box(12.8, 13.8, 25.5, 16.2),
                          Box(20.7, 16.2, 22.7, 20), Box(23.6, 16.2, 25.5, 18.6)}),
                   Amber)};
    case 21:  // scroll
      return {Fill(Box(8, 7, 22, 23), Paper),
              Spot(Union({Box(10, 10, 20, 11), Box(10, 13, 18, 14), Box(10, 16, 19, 17)}), Slate),
              Fill(RoundBox(6, 4.5, 24, 8, 1.6), Sepia),
              Fill(RoundBox(6, 22, 24, 25.5, 1.6), Sepia), Fill(Circle(19, 19, 2.2), Crimson)};
    case 22:  // open book
      return {Fill(Polygon({4, 9, 15, 11, 26, 9, 26, 23, 15, 25.5, 4, 23}), Crimson),
              Fill(Mirror(Polygon({5.5, 7.5, 10, 6.5, 15, 9, 15, 23, 10, 21, 5.5, 21.5})), Paper),
              Spot(Mirror(Union({Stroke({7.5, 11, 13, 12.5}, 1), Stroke({7.5, 14, 13, 15.5}, 1),
                                 Stroke({7.5, 17, 13, 18.5}, 1)})),
                   Slate),
              Ink(Box(14, 9, 16, 24))};
    case 23:  // spectacles
      return {Ink(Mirror(Stroke({4.5, 15, 5.5, 8}, 1.4))), Fill(Mirror(Circle(9, 17, 4.8)), Glass),
              Fill(Intersect(Ring(15, 16.5, 2.8, 1.4), Box(0, 0, 30, 16)), Amber),
              Spot(Mirror(Ring(9, 17, 4.8, 1.5)), Amber),
              Spot(Mirror(Box(6.5, 14, 8.5, 16)), 0xFFFFFF)};
    case 24:  // pen nib
      return {Fill(Box(10.5, 4.5, 19.5, 8), Slate),
              Fill(Minus(Polygon({15, 26, 9.5, 16, 9.5, 10, 11, 7.5, 19, 7.5, 20.5, 10, 20.5, 16}),
                         Circle(15, 14, 1.6)),
                   Amber),
              Ink(Box(14.5, 15.5, 15.5, 25))};
    case 25:  // teacup
      return {Fill(Ring(22, 16, 3.3, 1.6), Teal), Fill(Oval(14, 23.5, 10, 2.2), Teal),
              Fill(Intersect(Oval(13.5, 12.5, 8.5, 10), Box(0, 12, 30, 30)), Teal),
              Spot(Box(6, 12.5, 21, 14), Sepia),
              Ink(Union({Stroke({10.5, 10.5, 9, 8.5, 10.5, 6.5, 9, 4.5}, 1.2),
                         Stroke({16.5, 10.5, 15, 8.5, 16.5, 6.5, 15, 4.5}, 1.2)}))};
    case 26:  // magnifying glass
      return {Fill(Stroke({17.5, 17.5, 24, 24}, 3.4), Sepia), Fill(Ring(12, 12, 7.5, 2), Amber),
              Spot(Circle(12, 12, 5.5), Glass), Spot(Oval(10, 10, 1.2, 2.2, 45), 0xFFFFFF)};
    case 27: {  // telescope on its tripod
      const Shape tube =
          Turn(Union({Box(4, 13.5, 8, 16.5), Box(8, 12.5, 16, 17.5), Box(16, 11.5, 25, 18.5)}), -25,
               15, 13);
      return {Fill(Union({Stroke({15, 16, 9, 25.5}, 1.6), Stroke({15, 16, 21, 25.5}, 1.6),
                          Stroke({15, 16, 15, 25.5}, 1.6)}),
                   Sepia),
              Fill(tube, Cobalt),
              Spot(Intersect(tube, Turn(Box(0, 0, 9.5, 30), -25, 15, 13)), Amber),
              Spot(Intersect(tube, Turn(Box(22, 0, 23.5, 30), -25, 15, 13)), Amber)};
    }
    case 28:  // crescent moon
      return {Fill(Minus(Circle(15, 15, 9.9), Circle(19.6, 12.2, 8.1)), Amber)};
    case 29:  // full moon
      return {
          Fill(Circle(15, 15, 9.7), Moon),
          Spot(Union({Circle(11.5, 12, 2.2), Circle(18.5, 17.5, 2.8), Circle(13, 20, 1.4)}), Tan)};
    case 30:  // half moon
      return {Fill(Intersect(Circle(18.3, 15, 10.1), Box(0, 0, 18.3, 30)), Glass)};
    case 31:  // star
      return {Fill(Burst(15, 15.9, 10.8, 4.6, 5), Amber)};
    case 32:  // comet
      return Tilted(
          -40, {Fill(Polygon({21, 11.3, 12, 11.5, 3.5, 10.5, 10, 13.5, 2.5, 15.2, 10, 16.8, 4, 19.8,
                              12, 18.6, 21, 18.7}),
                     Glass),
                Spot(Stroke({19, 15, 7, 15}, 1.2), 0xFFFFFF), Fill(Circle(20.5, 15, 4), Moon)});
    case 33: {  // constellation: five stars in a W
      const std::vector<double> w = {7, 8, 11, 19, 15, 12, 19, 20, 23, 9};
      std::vector<Shape> stars;
      for (size_t i = 0; i < w.size(); i += 2)
        stars.push_back(Burst(w[i], w[i + 1], i == 4 ? 4.2 : 3.4, i == 4 ? 1.8 : 1.4, 5));
      return {Spot(Stroke(w, 1), Slate), Fill(Union(std::move(stars)), Amber)};
    }
    case 34:  // cloud over the moon
      return {Fill(Circle(17.5, 11.5, 7), Moon),
              Fill(Union({Circle(9, 19, 4), Circle(14.5, 17, 5), Circle(20.5, 19.5, 4),
                          RoundBox(5, 19, 24.5, 24, 2.5)}),
                   Glass)};
    case 35: {  // ringed planet
      const Shape ring = Minus(Oval(15, 15, 11, 3.6, -20), Oval(15, 15, 8, 2, -20));
      return {Fill(ring, Glass), Fill(Circle(15, 15, 6.5), Vermilion),
              Spot(Intersect(Circle(15, 15, 6.5), Turn(Box(0, 12, 30, 13.5), -20)), Amber),
              Fill(Intersect(ring, Turn(Box(0, 15, 30, 30), -20)), Glass)};
    }
    case 36: {  // moonflower, open at night
      std::vector<Part> parts;
      for (int k = 0; k < 5; ++k) {
        const double a = (-90.0 + 72.0 * k) * Pi / 180.0;
        parts.push_back(Fill(Circle(15 + 6.6 * Cosine(a), 15.5 + 6.6 * Sine(a), 3.7), Glass));
      }
      parts.push_back(Fill(Circle(15, 15.5, 2.8), Amber));
      return parts;
    }
    case 37:  // fern frond unrolling
      return {
          Fill(Union({Stroke({12, 26, 12.5, 19, 14.5, 13}, 2), Spiral(17.5, 9, 0, 4, 1.2, 0, 2.2)}),
               Leaf),
          Fill(Union({Oval(8, 21.5, 3.4, 1.5, -25), Oval(17, 19.5, 3.4, 1.5, -155),
                      Oval(9, 16.5, 3, 1.4, -30), Oval(7.5, 12, 2.4, 1.3, -70)}),
               Leaf)};
    case 38:  // toadstool
      return {Fill(RoundBox(12.2, 13.5, 17.8, 24.7, 1.1), Paper),
              Fill(Intersect(Oval(15, 14.1, 10.5, 8.6), Box(0, 0, 30, 13.9)), Crimson),
              Spot(Union({Circle(10, 10.5, 1.5), Circle(17.5, 8.5, 1.4), Circle(21, 12, 1.1)}),
                   0xFFFFFF)};
    case 39:  // fir tree
      return {Fill(Box(13.3, 20, 16.7, 25.6), Sepia),
              Fill(Tri(15, 11, 24.9, 21.2, 5.1, 21.2), Pine),
              Fill(Tri(15, 7.3, 21.8, 15, 8.2, 15), Pine),
              Fill(Tri(15, 4.2, 19.4, 9.8, 10.6, 9.8), Pine)};
    default:  // acorn
      return {Fill(Oval(15, 17.5, 6, 7.5), Amber), Fill(Stroke({15, 7, 16, 5}, 2), Sepia),
              Fill(Intersect(Oval(15, 12.5, 8, 6), Box(0, 0, 30, 13.5)), Sepia)};
  }
}

// The common tile: dark rim with rounded corners that melt into the night.
// Faces made from players' photos share it.
Canvas TileBase(Rgb top, Rgb bottom) {
  Canvas tile(TileSize, TileSize);
  for (int y = 0; y < TileSize; ++y)
    for (int x = 0; x < TileSize; ++x)
      tile.Set(x, y, tile_frame::Framed(x, y, tile_frame::Shade(top, bottom, y)));
  return tile;
}

}  // namespace

Canvas MakeFace(int n) {
  Canvas tile = TileBase(tile_frame::ParchmentTop, tile_frame::ParchmentBottom);
  for (const Part& part : Design(n)) {
    const Coverage fill(part.shape, 0, 0, TileSize, TileSize);
    if (part.edged) Paint(tile, fill.Grown(1.0), Outline);
    // Lit from above like the tile and the panels: light at the top, deeper
    // towards the bottom.
    const Rgb light = Mix(part.ink, MakeRgb(255, 255, 255), 72);
    const Rgb dark = Mix(part.ink, MakeRgb(0, 0, 0), 48);
    Paint(tile, fill, [&](int, int y) {
      return part.ink == Outline ? Outline : Mix(light, dark, (y - 3) * 256 / 24);
    });
    if (part.edged) {
      const Shape& s = part.shape;
      const Coverage rim([&s](double x, double y) { return s(x, y) && !s(x - 1.2, y - 1.2); }, 0, 0,
                         TileSize, TileSize);
      for (int y = 0; y < TileSize; ++y)
        for (int x = 0; x < TileSize; ++x)
          tile.Blend(x, y, MakeRgb(255, 255, 255), rim.At(x, y) * 90 / 256);
    }
  }
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
