#include "make_assets/canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace assets {

Rgb Mix(Rgb a, Rgb b, int t) {
  t = std::clamp(t, 0, 256);
  auto channel = [t](int x, int y) { return (x * (256 - t) + y * t + 128) >> 8; };
  return MakeRgb(channel(Red(a), Red(b)), channel(Green(a), Green(b)), channel(Blue(a), Blue(b)));
}

Rgb MixF(Rgb a, Rgb b, double t) { return Mix(a, b, static_cast<int>(std::lround(t * 256.0))); }

uint16_t ToRgb565(Rgb c) {
  return static_cast<uint16_t>(((Red(c) & 0xF8) << 8) | ((Green(c) & 0xFC) << 3) | (Blue(c) >> 3));
}

Rgb FromRgb565(uint16_t v) {
  const int r = (v >> 11) & 31;
  const int g = (v >> 5) & 63;
  const int b = v & 31;
  return MakeRgb((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
}

Canvas::Canvas(int w, int h, Rgb fill)
    : width(w), height(h), pixels(static_cast<size_t>(w * h), fill) {}

void Canvas::Blend(int x, int y, Rgb c, int alpha) {
  if (!Inside(x, y) || alpha <= 0) return;
  Rgb& p = pixels[static_cast<size_t>(y * width + x)];
  if (alpha >= 256) {
    p = c;
    return;
  }
  if (p & KeyMarker) {  // a window pixel is either kept whole or painted over
    if (alpha >= 128) p = c;
    return;
  }
  p = Mix(p, c, alpha);
}

void Canvas::FillRect(int x0, int y0, int x1, int y1, Rgb c) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) Set(x, y, c);
}

void Canvas::FrameRect(int x0, int y0, int x1, int y1, Rgb c) {
  for (int x = x0; x <= x1; ++x) {
    Set(x, y0, c);
    Set(x, y1, c);
  }
  for (int y = y0; y <= y1; ++y) {
    Set(x0, y, c);
    Set(x1, y, c);
  }
}

void Canvas::Blit(const Canvas& source, int x, int y) {
  for (int j = 0; j < source.height; ++j)
    for (int i = 0; i < source.width; ++i) Set(x + i, y + j, source.Get(i, j));
}

Coverage::Coverage(const Shape& shape, int x0_, int y0_, int width_, int height_)
    : x0(x0_), y0(y0_), width(width_), height(height_) {
  const int sw = width * Sub;
  const int sh = height * Sub;
  samples.assign(static_cast<size_t>(sw * sh), 0);
  for (int j = 0; j < sh; ++j)
    for (int i = 0; i < sw; ++i) {
      const double x = x0 + (i + 0.5) / Sub;
      const double y = y0 + (j + 0.5) / Sub;
      samples[static_cast<size_t>(j * sw + i)] = shape(x, y) ? 1 : 0;
    }
}

Coverage Coverage::Grown(double radius) const {
  Coverage grown = *this;
  const int sw = width * Sub;
  const int sh = height * Sub;
  const int r = static_cast<int>(radius * Sub + 0.5);
  std::vector<std::pair<int, int>> offsets;
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx)
      if (dx * dx + dy * dy <= r * r) offsets.emplace_back(dx, dy);
  const auto set = [&](int i, int j) {
    return i >= 0 && j >= 0 && i < sw && j < sh && samples[static_cast<size_t>(j * sw + i)];
  };
  // Only samples on the edge of the mask need their disc: any point within
  // the radius of an inner sample is at least as close to the sample of the
  // mask nearest to it, and that one has an empty neighbour (the one towards
  // the point). The result is the same; large icons grow many times faster.
  for (int j = 0; j < sh; ++j)
    for (int i = 0; i < sw; ++i) {
      if (!set(i, j) || (set(i - 1, j) && set(i + 1, j) && set(i, j - 1) && set(i, j + 1)))
        continue;
      for (auto [dx, dy] : offsets) {
        const int a = i + dx;
        const int b = j + dy;
        if (a >= 0 && b >= 0 && a < sw && b < sh)
          grown.samples[static_cast<size_t>(b * sw + a)] = 1;
      }
    }
  return grown;
}

int Coverage::At(int x, int y) const {
  const int i0 = (x - x0) * Sub;
  const int j0 = (y - y0) * Sub;
  if (i0 < 0 || j0 < 0 || x - x0 >= width || y - y0 >= height) return 0;
  const int sw = width * Sub;
  int count = 0;
  for (int j = 0; j < Sub; ++j)
    for (int i = 0; i < Sub; ++i) count += samples[static_cast<size_t>((j0 + j) * sw + i0 + i)];
  return count * 256 / (Sub * Sub);
}

void Paint(Canvas& canvas, const Coverage& coverage, const std::function<Rgb(int, int)>& colourAt) {
  for (int y = coverage.y0; y < coverage.y0 + coverage.height; ++y)
    for (int x = coverage.x0; x < coverage.x0 + coverage.width; ++x) {
      const int a = coverage.At(x, y);
      if (a > 0) canvas.Blend(x, y, colourAt(x, y), a);
    }
}

void Paint(Canvas& canvas, const Coverage& coverage, Rgb colour) {
  Paint(canvas, coverage, [colour](int, int) { return colour; });
}

void PaintKey(Canvas& canvas, const Coverage& coverage) {
  for (int y = coverage.y0; y < coverage.y0 + coverage.height; ++y)
    for (int x = coverage.x0; x < coverage.x0 + coverage.width; ++x)
      if (coverage.At(x, y) >= 128) canvas.Set(x, y, KeyMarker);
}

Shape Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Shape Ellipse(double cx, double cy, double rx, double ry, double cosA, double sinA) {
  return [=](double x, double y) {
    const double dx = x - cx;
    const double dy = y - cy;
    const double u = (dx * cosA + dy * sinA) / rx;
    const double v = (-dx * sinA + dy * cosA) / ry;
    return u * u + v * v <= 1.0;
  };
}

Shape Box(double x0, double y0, double x1, double y1) {
  return [=](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
}

Shape RoundBox(double x0, double y0, double x1, double y1, double r) {
  return [=](double x, double y) {
    if (x < x0 || x > x1 || y < y0 || y > y1) return false;
    const double cx = std::clamp(x, x0 + r, x1 - r);
    const double cy = std::clamp(y, y0 + r, y1 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
  };
}

Shape Capsule(double ax, double ay, double bx, double by, double r) {
  return [=](double x, double y) {
    const double vx = bx - ax;
    const double vy = by - ay;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((x - ax) * vx + (y - ay) * vy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = x - (ax + t * vx);
    const double dy = y - (ay + t * vy);
    return dx * dx + dy * dy <= r * r;
  };
}

Shape Polygon(std::vector<double> xy) {
  return [xy = std::move(xy)](double x, double y) {
    bool inside = false;
    const size_t n = xy.size() / 2;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      const double xi = xy[2 * i], yi = xy[2 * i + 1];
      const double xj = xy[2 * j], yj = xy[2 * j + 1];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

Shape Union(std::vector<Shape> parts) {
  return [parts = std::move(parts)](double x, double y) {
    for (const Shape& p : parts)
      if (p(x, y)) return true;
    return false;
  };
}

Shape Minus(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && !b(x, y); };
}

Shape Intersect(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && b(x, y); };
}

double Sine(double a) {
  // Reduce to [-pi, pi], then to [-pi/2, pi/2], then a Taylor series that is
  // exact to about 1e-11 there.
  a -= 2.0 * Pi * std::floor((a + Pi) / (2.0 * Pi));
  if (a > Pi / 2) a = Pi - a;
  if (a < -Pi / 2) a = -Pi - a;
  const double a2 = a * a;
  double term = a;
  double sum = a;
  for (int k = 1; k <= 8; ++k) {
    term *= -a2 / ((2.0 * k) * (2.0 * k + 1.0));
    sum += term;
  }
  return sum;
}

double Cosine(double a) { return Sine(a + Pi / 2); }

void FillKeySpecks(Canvas& canvas, int minPixels) {
  std::vector<uint8_t> seen(canvas.pixels.size(), 0);
  std::vector<int> region, stack;
  for (int start = 0; start < static_cast<int>(canvas.pixels.size()); ++start) {
    if (seen[start] || canvas.pixels[start] != KeyMarker) continue;
    region.clear();
    stack.assign(1, start);
    seen[start] = 1;
    Rgb neighbour = KeyMarker;
    while (!stack.empty()) {
      const int at = stack.back();
      stack.pop_back();
      region.push_back(at);
      const int x = at % canvas.width, y = at / canvas.width;
      for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        if (!canvas.Inside(x + dx, y + dy)) continue;
        const int next = at + dy * canvas.width + dx;
        if (canvas.pixels[next] != KeyMarker) {
          if (neighbour == KeyMarker) neighbour = canvas.pixels[next];
        } else if (!seen[next]) {
          seen[next] = 1;
          stack.push_back(next);
        }
      }
    }
    if (static_cast<int>(region.size()) >= minPixels || neighbour == KeyMarker) continue;
    for (const int at : region) canvas.pixels[at] = neighbour;
  }
}

}  // namespace assets
