// The generator's anti-aliased rasteriser: shapes are sets of polygons filled
// with the nonzero rule; a shape becomes a coverage mask (exact coverage along
// each row, several sub-rows per pixel), and a mask is painted with a colour,
// a colour function (gradients, shading) or as added light.
#pragma once

#include <functional>
#include <vector>

#include "Canvas.h"

namespace assetgen {

struct Vec2 {
  float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float k) { return {a.x * k, a.y * k}; }
Vec2 lerp(Vec2 a, Vec2 b, float t);
float length(Vec2 v);
Vec2 normalized(Vec2 v);
Vec2 rotated(Vec2 v, float radians);

using Polygon = std::vector<Vec2>;

// A shape: the union of its polygons. Every polygon is kept counter-clockwise
// (in screen coordinates, y down) so that overlapping parts never cancel.
struct Shape {
  std::vector<Polygon> polys;
  void add(const Shape& other);
  void add(Polygon poly);
  Shape translated(Vec2 by) const;
};

struct Circle {
  Vec2 c;
  float r = 0;
};

Shape circleShape(Vec2 c, float r);
Shape ellipseShape(Vec2 c, float rx, float ry, float angle = 0);
// The convex hull of some circles: capsules, tapered limbs, rounded bodies.
Shape blobShape(const std::vector<Circle>& circles);
Shape capsuleShape(Vec2 a, float ra, Vec2 b, float rb);
Shape polygonShape(const std::vector<Vec2>& points);
Shape rectShape(float x, float y, float w, float h);
Shape roundRectShape(float x, float y, float w, float h, float r);
// A polyline drawn with round joints and caps.
Shape strokeShape(const std::vector<Vec2>& points, float radius);
// The shape widened by `by` on every side (each edge swept by a disk).
Shape grownShape(const Shape& shape, float by);

// Coverage 0..1 of the pixels inside a bounding box.
class Mask {
 public:
  Mask() = default;
  Mask(int x0, int y0, int w, int h);
  float at(int x, int y) const;
  float& ref(int x, int y) { return cov_[static_cast<size_t>(y - y0_) * w_ + (x - x0_)]; }
  int x0() const { return x0_; }
  int y0() const { return y0_; }
  int w() const { return w_; }
  int h() const { return h_; }
  bool empty() const { return w_ <= 0 || h_ <= 0; }

  // This mask where `other` is absent: a * (1 - b).
  Mask minus(const Mask& other) const;
  // Where both are: a * b.
  Mask times(const Mask& other) const;

 private:
  int x0_ = 0, y0_ = 0, w_ = 0, h_ = 0;
  std::vector<float> cov_;
};

// The coverage of a shape, clipped to a width x height picture.
Mask rasterize(const Shape& shape, int width, int height);

using ColorFn = std::function<Color(float x, float y)>;

void paint(Canvas& canvas, const Mask& mask, Color color);
void paint(Canvas& canvas, const Mask& mask, const ColorFn& color);
void paintLight(Canvas& canvas, const Mask& mask, Color color);
void paintLight(Canvas& canvas, const Mask& mask, const ColorFn& color);

// Shorthands: rasterise and paint in one go.
void fill(Canvas& canvas, const Shape& shape, Color color);
void fill(Canvas& canvas, const Shape& shape, const ColorFn& color);

// A vertical gradient between two colours over [y0, y1].
ColorFn verticalGradient(float y0, Color top, float y1, Color bottom);

}  // namespace assetgen
