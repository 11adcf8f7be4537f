#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kSubRows = 5;

float signedArea(const Polygon& p) {
  double a = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const Vec2& u = p[i];
    const Vec2& v = p[(i + 1) % p.size()];
    a += static_cast<double>(u.x) * v.y - static_cast<double>(v.x) * u.y;
  }
  return static_cast<float>(a / 2);
}

void orient(Polygon& p) {
  if (signedArea(p) < 0) std::reverse(p.begin(), p.end());
}

int segmentsFor(float r) { return std::clamp(static_cast<int>(std::ceil(2 * kPi * r / 1.5f)), 12, 96); }

float cross(Vec2 o, Vec2 a, Vec2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

Polygon convexHull(std::vector<Vec2> pts) {
  std::sort(pts.begin(), pts.end(), [](Vec2 a, Vec2 b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  if (pts.size() < 3) return pts;
  Polygon hull(2 * pts.size());
  size_t k = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    while (k >= 2 && cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
    hull[k++] = pts[i];
  }
  for (size_t i = pts.size() - 1, t = k + 1; i > 0; --i) {
    while (k >= t && cross(hull[k - 2], hull[k - 1], pts[i - 1]) <= 0) --k;
    hull[k++] = pts[i - 1];
  }
  hull.resize(k - 1);
  return hull;
}

void circlePoints(std::vector<Vec2>& out, Vec2 c, float r, int n) {
  for (int i = 0; i < n; ++i) {
    float a = 2 * kPi * i / n;
    out.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
}

struct Edge {
  float ymin, ymax, xAtYmin, dxdy;
  int dir;
};

void addSpan(std::vector<float>& row, int bx0, int bx1, float xa, float xb, float w) {
  if (xb <= bx0 || xa >= bx1 || xb <= xa) return;
  xa = std::max(xa, static_cast<float>(bx0));
  xb = std::min(xb, static_cast<float>(bx1));
  int ia = static_cast<int>(std::floor(xa));
  int ib = static_cast<int>(std::floor(xb));
  if (ia == ib) {
    row[ia - bx0] += (xb - xa) * w;
    return;
  }
  row[ia - bx0] += (ia + 1 - xa) * w;
  for (int i = ia + 1; i < ib; ++i) row[i - bx0] += w;
  if (ib < bx1) row[ib - bx0] += (xb - ib) * w;
}

}  // namespace

Vec2 lerp(Vec2 a, Vec2 b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }
float length(Vec2 v) { return std::sqrt(v.x * v.x + v.y * v.y); }
Vec2 normalized(Vec2 v) {
  float l = length(v);
  return l > 0 ? Vec2{v.x / l, v.y / l} : Vec2{0, 0};
}
Vec2 rotated(Vec2 v, float a) {
  float c = std::cos(a), s = std::sin(a);
  return {v.x * c - v.y * s, v.x * s + v.y * c};
}

void Shape::add(const Shape& other) { polys.insert(polys.end(), other.polys.begin(), other.polys.end()); }

void Shape::add(Polygon poly) {
  if (poly.size() < 3) return;
  orient(poly);
  polys.push_back(std::move(poly));
}

Shape Shape::translated(Vec2 by) const {
  Shape s = *this;
  for (Polygon& p : s.polys)
    for (Vec2& v : p) v = v + by;
  return s;
}

Shape circleShape(Vec2 c, float r) {
  Polygon p;
  circlePoints(p, c, r, segmentsFor(r));
  Shape s;
  s.add(std::move(p));
  return s;
}

Shape ellipseShape(Vec2 c, float rx, float ry, float angle) {
  int n = segmentsFor(std::max(rx, ry));
  Polygon p;
  for (int i = 0; i < n; ++i) {
    float a = 2 * kPi * i / n;
    p.push_back(c + rotated({rx * std::cos(a), ry * std::sin(a)}, angle));
  }
  Shape s;
  s.add(std::move(p));
  return s;
}

Shape blobShape(const std::vector<Circle>& circles) {
  std::vector<Vec2> pts;
  for (const Circle& c : circles) circlePoints(pts, c.c, std::max(c.r, 0.01f), segmentsFor(c.r));
  Shape s;
  s.add(convexHull(std::move(pts)));
  return s;
}

Shape capsuleShape(Vec2 a, float ra, Vec2 b, float rb) { return blobShape({{a, ra}, {b, rb}}); }

Shape polygonShape(const std::vector<Vec2>& points) {
  Shape s;
  s.add(points);
  return s;
}

Shape rectShape(float x, float y, float w, float h) { return polygonShape({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}); }

Shape roundRectShape(float x, float y, float w, float h, float r) {
  r = std::min({r, w / 2, h / 2});
  return blobShape({{{x + r, y + r}, r}, {{x + w - r, y + r}, r}, {{x + w - r, y + h - r}, r}, {{x + r, y + h - r}, r}});
}

Shape strokeShape(const std::vector<Vec2>& points, float radius) {
  Shape s;
  if (points.size() == 1) return circleShape(points[0], radius);
  for (size_t i = 0; i + 1 < points.size(); ++i) s.add(capsuleShape(points[i], radius, points[i + 1], radius));
  return s;
}

Shape grownShape(const Shape& shape, float by) {
  Shape s = shape;
  for (const Polygon& p : shape.polys)
    for (size_t i = 0; i < p.size(); ++i) {
      std::vector<Vec2> pts;
      circlePoints(pts, p[i], by, 10);
      circlePoints(pts, p[(i + 1) % p.size()], by, 10);
      s.add(convexHull(std::move(pts)));
    }
  return s;
}

Mask::Mask(int x0, int y0, int w, int h)
    : x0_(x0), y0_(y0), w_(std::max(w, 0)), h_(std::max(h, 0)), cov_(static_cast<size_t>(w_) * h_, 0.0f) {}

float Mask::at(int x, int y) const {
  if (x < x0_ || y < y0_ || x >= x0_ + w_ || y >= y0_ + h_) return 0;
  return cov_[static_cast<size_t>(y - y0_) * w_ + (x - x0_)];
}

Mask Mask::minus(const Mask& other) const {
  Mask m = *this;
  for (int y = y0_; y < y0_ + h_; ++y)
    for (int x = x0_; x < x0_ + w_; ++x) m.ref(x, y) *= 1 - other.at(x, y);
  return m;
}

Mask Mask::times(const Mask& other) const {
  Mask m = *this;
  for (int y = y0_; y < y0_ + h_; ++y)
    for (int x = x0_; x < x0_ + w_; ++x) m.ref(x, y) *= other.at(x, y);
  return m;
}

Mask rasterize(const Shape& shape, int width, int height) {
  float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
  std::vector<Edge> edges;
  for (const Polygon& p : shape.polys)
    for (size_t i = 0; i < p.size(); ++i) {
      Vec2 a = p[i], b = p[(i + 1) % p.size()];
      minX = std::min(minX, a.x);
      maxX = std::max(maxX, a.x);
      minY = std::min(minY, a.y);
      maxY = std::max(maxY, a.y);
      if (a.y == b.y) continue;
      int dir = b.y > a.y ? 1 : -1;
      if (a.y > b.y) std::swap(a, b);
      edges.push_back({a.y, b.y, a.x, (b.x - a.x) / (b.y - a.y), dir});
    }
  if (edges.empty()) return Mask();
  int bx0 = std::max(0, static_cast<int>(std::floor(minX)));
  int by0 = std::max(0, static_cast<int>(std::floor(minY)));
  int bx1 = std::min(width, static_cast<int>(std::ceil(maxX)) + 1);
  int by1 = std::min(height, static_cast<int>(std::ceil(maxY)) + 1);
  if (bx1 <= bx0 || by1 <= by0) return Mask();
  Mask mask(bx0, by0, bx1 - bx0, by1 - by0);

  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.ymin < b.ymin; });
  std::vector<const Edge*> active;
  size_t next = 0;
  struct Crossing {
    float x;
    int dir;
  };
  std::vector<Crossing> crossings;
  std::vector<float> row(static_cast<size_t>(bx1 - bx0) + 1);
  const float w = 1.0f / kSubRows;
  for (int py = by0; py < by1; ++py) {
    std::fill(row.begin(), row.end(), 0.0f);
    for (int s = 0; s < kSubRows; ++s) {
      float y = py + (s + 0.5f) / kSubRows;
      while (next < edges.size() && edges[next].ymin <= y) active.push_back(&edges[next++]);
      active.erase(std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->ymax <= y; }),
                   active.end());
      crossings.clear();
      for (const Edge* e : active)
        if (e->ymin <= y) crossings.push_back({e->xAtYmin + (y - e->ymin) * e->dxdy, e->dir});
      std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
      int wind = 0;
      for (size_t i = 0; i + 1 < crossings.size(); ++i) {
        wind += crossings[i].dir;
        if (wind != 0) addSpan(row, bx0, bx1, crossings[i].x, crossings[i + 1].x, w);
      }
    }
    for (int x = bx0; x < bx1; ++x) mask.ref(x, py) = std::min(1.0f, row[x - bx0]);
  }
  return mask;
}

void paint(Canvas& canvas, const Mask& mask, Color color) {
  for (int y = mask.y0(); y < mask.y0() + mask.h(); ++y)
    for (int x = mask.x0(); x < mask.x0() + mask.w(); ++x) {
      float c = mask.at(x, y);
      if (c > 0) canvas.blend(x, y, color, c);
    }
}

void paint(Canvas& canvas, const Mask& mask, const ColorFn& color) {
  for (int y = mask.y0(); y < mask.y0() + mask.h(); ++y)
    for (int x = mask.x0(); x < mask.x0() + mask.w(); ++x) {
      float c = mask.at(x, y);
      if (c > 0) canvas.blend(x, y, color(x + 0.5f, y + 0.5f), c);
    }
}

void paintLight(Canvas& canvas, const Mask& mask, Color color) {
  for (int y = mask.y0(); y < mask.y0() + mask.h(); ++y)
    for (int x = mask.x0(); x < mask.x0() + mask.w(); ++x) {
      float c = mask.at(x, y);
      if (c > 0) canvas.add(x, y, color, c);
    }
}

void paintLight(Canvas& canvas, const Mask& mask, const ColorFn& color) {
  for (int y = mask.y0(); y < mask.y0() + mask.h(); ++y)
    for (int x = mask.x0(); x < mask.x0() + mask.w(); ++x) {
      float c = mask.at(x, y);
      if (c > 0) canvas.add(x, y, color(x + 0.5f, y + 0.5f), c);
    }
}

void fill(Canvas& canvas, const Shape& shape, Color color) {
  paint(canvas, rasterize(shape, canvas.width(), canvas.height()), color);
}

void fill(Canvas& canvas, const Shape& shape, const ColorFn& color) {
  paint(canvas, rasterize(shape, canvas.width(), canvas.height()), color);
}

ColorFn verticalGradient(float y0, Color top, float y1, Color bottom) {
  return [=](float, float y) {
    float t = y1 > y0 ? std::clamp((y - y0) / (y1 - y0), 0.0f, 1.0f) : 0.0f;
    return mix(top, bottom, t);
  };
}

}  // namespace assetgen
