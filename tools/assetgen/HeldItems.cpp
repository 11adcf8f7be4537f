#include "HeldItems.h"

#include <cmath>

namespace assetgen {

namespace {

constexpr float kPipeReach = 46, kPipeButt = 9, kPipeR = 2.9f;
constexpr float kKnifeReach = 27, kKnifeButt = 8;

// A straight bar with square ends from a to b, `r` thick on either side.
Shape bar(Vec2 a, Vec2 b, float r) {
  Vec2 d = normalized(b - a);
  Vec2 n{-d.y * r, d.x * r};
  return polygonShape({a + n, b + n, b - n, a - n});
}

// The side of a bar along `dir` that faces the light (the upper left).
Vec2 litSide(Vec2 dir) {
  Vec2 n{-dir.y, dir.x};
  return n.x * -1.0f + n.y * -1.35f > 0 ? n : n * -1.0f;
}

struct Inked {
  Canvas& c;
  Color outline;
  float width;
  void part(const Shape& sh, Color base, float depth) {
    fill(c, grownShape(sh, width), outline);
    paintLit(c, sh, base, depth);
  }
};

void drawPipe(Inked& ink, Vec2 grip, Vec2 dir, float s) {
  const Vec2 butt = grip - dir * (kPipeButt * s), end = grip + dir * (kPipeReach * s);
  const Color steel = rgb(0x8C949E);
  ink.part(bar(butt, end, kPipeR * s), steel, 2.2f * s);
  // A threaded collar at the far end, and a flange at the butt: it was a water pipe.
  ink.part(bar(end - dir * (7 * s), end + dir * (1 * s), (kPipeR + 1.1f) * s), shade(steel, 0.8f), 1.6f * s);
  ink.part(bar(butt - dir * (1 * s), butt + dir * (3 * s), (kPipeR + 0.8f) * s), shade(steel, 0.8f), 1.2f * s);
  const Vec2 lit = litSide(dir);
  fill(ink.c, ellipseShape(grip + dir * (22 * s) - lit * (0.6f * s), 5 * s, 1.7f * s, std::atan2(dir.y, dir.x)),
       withAlpha(rgb(0x8A4A2A), 0.7f));
  fill(ink.c, capsuleShape(butt + dir * (4 * s) + lit * (1.3f * s), 0.6f * s, end - dir * (8 * s) + lit * (1.3f * s),
                           0.6f * s),
       withAlpha(rgb(0xFFFFFF), 0.55f));
}

void drawKnife(Inked& ink, Vec2 grip, Vec2 dir, float s) {
  const Vec2 n{-dir.y, dir.x};  // the edge's side
  ink.part(bar(grip - dir * (kKnifeButt * s), grip + dir * (3 * s), 2.3f * s), rgb(0x4A2C1C), 1.2f * s);
  ink.part(bar(grip + dir * (3 * s), grip + dir * (5 * s), 3.8f * s), rgb(0xC89A38), 0.8f * s);
  const Vec2 b0 = grip + dir * (5 * s), tip = grip + dir * (kKnifeReach * s) + n * (-1.4f * s);
  ink.part(polygonShape({b0 + n * (2.8f * s), b0 + n * (-2.2f * s), tip, grip + dir * (20 * s) + n * (2.6f * s)}),
           rgb(0xD4DCE6), 1.6f * s);
  fill(ink.c, capsuleShape(b0 + dir * (1 * s) + n * (1.4f * s), 0.55f * s, grip + dir * (20 * s) + n * (1.2f * s),
                           0.45f * s),
       withAlpha(rgb(0xFFFFFF), 0.85f));
}

}  // namespace

float heldReach(Held held) { return held == Held::Pipe ? kPipeReach : held == Held::Knife ? kKnifeReach : 0; }
float heldButt(Held held) { return held == Held::Pipe ? kPipeButt : held == Held::Knife ? kKnifeButt : 0; }

void drawHeld(Canvas& canvas, Held held, Vec2 grip, Vec2 dir, float s, Color outline) {
  Inked ink{canvas, outline, 1.35f + 0.35f * s};
  if (held == Held::Pipe) drawPipe(ink, grip, dir, s);
  if (held == Held::Knife) drawKnife(ink, grip, dir, s);
}

}  // namespace assetgen
