#include "make_assets/emblem.h"

#include <utility>

namespace assets {
namespace {

Shape Place(Shape s, double cx, double cy, double size) {
  return [s = std::move(s), cx, cy, size](double x, double y) {
    return s((x - cx) / size, (y - cy) / size);
  };
}

}  // namespace

MothEmblem MakeMothEmblem(double cx, double cy, double size) {
  // Designed on a square from -1 to 1, y downwards, mirrored about x = 0.
  std::vector<Shape> wings;
  std::vector<Shape> antennae;
  std::vector<Shape> spots;
  std::vector<Shape> pupils;
  std::vector<Shape> veins;
  for (int side = -1; side <= 1; side += 2) {
    const double m = side;
    wings.push_back(Ellipse(m * 0.52, -0.26, 0.56, 0.4, 0.9, m * -0.436));
    wings.push_back(Ellipse(m * 0.3, -0.1, 0.3, 0.3));
    wings.push_back(Ellipse(m * 0.36, 0.34, 0.38, 0.3, 0.8, m * 0.6));
    wings.push_back(Capsule(m * 0.42, 0.5, m * 0.6, 0.92, 0.09));
    wings.push_back(Circle(m * 0.6, 0.9, 0.11));
    antennae.push_back(Ellipse(m * 0.17, -0.72, 0.24, 0.045, 0.606, m * -0.795));
    spots.push_back(Circle(m * 0.56, -0.3, 0.15));
    spots.push_back(Circle(m * 0.38, 0.36, 0.09));
    pupils.push_back(Circle(m * 0.56, -0.3, 0.07));
    pupils.push_back(Circle(m * 0.38, 0.36, 0.04));
    veins.push_back(Capsule(m * 0.08, -0.12, m * 0.9, -0.58, 0.012));
    veins.push_back(Capsule(m * 0.08, -0.02, m * 0.98, -0.2, 0.012));
    veins.push_back(Capsule(m * 0.08, 0.12, m * 0.5, 0.62, 0.012));
    veins.push_back(Capsule(m * 0.08, 0.2, m * 0.22, 0.62, 0.012));
  }
  MothEmblem moth;
  moth.wings = Place(Union(std::move(wings)), cx, cy, size);
  moth.body = Place(Union({Ellipse(0, 0.08, 0.11, 0.5), Circle(0, -0.44, 0.11)}), cx, cy, size);
  moth.antennae = Place(Union(std::move(antennae)), cx, cy, size);
  moth.eyespots = Place(Union(std::move(spots)), cx, cy, size);
  moth.eyespotPupils = Place(Union(std::move(pupils)), cx, cy, size);
  moth.veins = Place(Union(std::move(veins)), cx, cy, size);
  return moth;
}

void PaintNight(Canvas& canvas, Rgb top, Rgb bottom, uint32_t seed, int stars) {
  for (int y = 0; y < canvas.height; ++y) {
    const Rgb row = Mix(top, bottom, y * 256 / (canvas.height - 1));
    for (int x = 0; x < canvas.width; ++x) canvas.Set(x, y, row);
  }
  Random random(seed);
  for (int s = 0; s < stars; ++s) {
    const int x = random.Below(canvas.width);
    const int y = random.Below(canvas.height);
    canvas.Blend(x, y, MakeRgb(220, 214, 255), 40 + random.Below(120));
  }
}

}  // namespace assets
