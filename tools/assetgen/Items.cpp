#include "Items.h"

#include <cmath>

#include "Figure.h"
#include "HeldItems.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;
const Color kInk = rgb(0x18121C);
constexpr float kInkW = 1.7f;

// Outlined in ink and lit from the upper left, as the fighters are.
void part(Canvas& c, const Shape& sh, Color base, float depth) {
  fill(c, grownShape(sh, kInkW), kInk);
  paintLit(c, sh, base, depth);
}

void glint(Canvas& c, Vec2 at, float r) { fill(c, ellipseShape(at, r, r * 0.6f, -0.6f), withAlpha(rgb(0xFFFFFF), 0.8f)); }

// A soft dark patch under a thing lying on the ground, so it sits there.
void groundShade(Canvas& c, float cx, float w) {
  fill(c, ellipseShape({cx, c.height() - 3.0f}, w / 2, 2.6f), withAlpha(rgb(0x000000), 0.35f));
}

Canvas apple() {
  Canvas c(30, 30);
  groundShade(c, 15, 20);
  part(c, blobShape({{{11.5f, 18}, 8}, {{18.5f, 18}, 8}, {{15, 20.5f}, 7.5f}}), rgb(0xC8262A), 4);
  fill(c, ellipseShape({15, 11}, 2.6f, 1.2f), shade(rgb(0x7A1418), 1));
  part(c, capsuleShape({15, 11}, 1.1f, {16.5f, 5}, 0.9f), rgb(0x5A3A1E), 0.5f);
  part(c, polygonShape({{17, 8}, {21, 4}, {25.5f, 5}, {22, 8.5f}}), rgb(0x4C9A2E), 1.2f);
  glint(c, {10, 14}, 2.2f);
  return c;
}

Canvas roast() {
  Canvas c(64, 40);
  groundShade(c, 32, 52);
  // A plate, then the roast on it with a bone sticking out.
  part(c, ellipseShape({32, 32}, 27, 6.5f), rgb(0xE6E2D8), 2);
  fill(c, ellipseShape({32, 31.5f}, 20, 3.8f), rgb(0xC8C2B4));
  part(c, capsuleShape({48, 16}, 2.2f, {56, 10}, 2.2f), rgb(0xF2EAD6), 1);
  part(c, blobShape({{{51.5f, 9}, 3}, {{56.5f, 12}, 3}}), rgb(0xF2EAD6), 1);
  part(c, blobShape({{{22, 24}, 11}, {{34, 21}, 12.5f}, {{44, 22}, 8.5f}}), rgb(0xB8662A), 5);
  for (float x : {20.0f, 29.0f, 38.0f})
    fill(c, capsuleShape({x, 14.5f + 0.05f * x}, 0.9f, {x + 4, 27}, 0.9f), withAlpha(rgb(0x6A2E12), 0.6f));
  glint(c, {25, 15}, 3);
  return c;
}

Canvas coins() {
  Canvas c(48, 28);
  groundShade(c, 24, 40);
  const Color gold = rgb(0xE8B830);
  // A short stack, a couple lying loose and one on its edge.
  for (int i = 0; i < 4; ++i) part(c, ellipseShape({20, 21.5f - 3.2f * i}, 8.5f, 3.4f), gold, 1.6f);
  fill(c, ellipseShape({20, 11.9f}, 5.2f, 1.8f), shade(gold, 0.78f));
  part(c, ellipseShape({34, 23}, 7.5f, 3), gold, 1.6f);
  part(c, ellipseShape({9, 23.5f}, 6, 2.6f), shade(gold, 0.92f), 1.4f);
  part(c, ellipseShape({38, 14.5f}, 3, 7, 0.2f), gold, 1.6f);
  fill(c, ellipseShape({38.2f, 14.5f}, 1.3f, 4, 0.2f), shade(gold, 0.78f));
  glint(c, {16, 10}, 1.8f);
  glint(c, {36.5f, 10}, 1.4f);
  return c;
}

Canvas gem() {
  Canvas c(32, 32);
  groundShade(c, 16, 22);
  const Color blue = rgb(0x2EC4E8);
  // A cut stone: flat table on top, facets to a point below.
  const Vec2 l{4, 15}, r{28, 15}, tl{10, 8}, tr{22, 8}, tip{16, 29};
  part(c, polygonShape({l, tl, tr, r, tip}), blue, 3);
  fill(c, polygonShape({l, tl, {13, 15}}), shade(blue, 1.25f));
  fill(c, polygonShape({tl, tr, {19, 15}, {13, 15}}), mix(blue, rgb(0xFFFFFF), 0.45f));
  fill(c, polygonShape({tr, r, {19, 15}}), shade(blue, 0.85f));
  fill(c, polygonShape({l, {13, 15}, tip}), shade(blue, 1.1f));
  fill(c, polygonShape({{19, 15}, r, tip}), shade(blue, 0.6f));
  for (const auto& [a, b] : {std::pair<Vec2, Vec2>{l, r}, {{13, 15}, tip}, {{19, 15}, tip}})
    fill(c, capsuleShape(a, 0.5f, b, 0.5f), withAlpha(shade(blue, 0.45f), 0.8f));
  glint(c, {12, 10.5f}, 2);
  return c;
}

// A weapon lying on the ground, slightly turned (seen from above at an angle).
Canvas lying(Held h, int w, int ht, float angle) {
  Canvas c(w, ht);
  groundShade(c, w / 2.0f, w * 0.8f);
  const Vec2 dir{std::cos(angle), std::sin(angle)};
  const float mid = (heldReach(h) - heldButt(h)) / 2;
  drawHeld(c, h, Vec2{w / 2.0f, ht - 7.0f} - dir * mid, dir, 1.0f, kInk);
  return c;
}

// The sparkle where something is picked up: a four-pointed twinkle that opens,
// turns and fades, with specks thrown out; `t` 0..1 through it.
Canvas sparkle(float t) {
  const int size = 56;
  Canvas c(size, size);
  const Vec2 o{size / 2.0f, size / 2.0f};
  const float grow = std::sin(kPi * (0.25f + 0.75f * t));
  const float fade = 1 - 0.75f * t * t;
  const float len = 8 + 18 * grow, turn = 0.5f * t;
  Shape star;
  for (int i = 0; i < 4; ++i) {
    const float a = turn + i * kPi / 2;
    const Vec2 d{std::cos(a), std::sin(a)}, n{-d.y, d.x};
    star.add(polygonShape({o + n * 3.2f, o + d * len, o - n * 3.2f}));
  }
  for (int i = 0; i < 4; ++i) {
    const float a = turn + kPi / 4 + i * kPi / 2;
    const Vec2 d{std::cos(a), std::sin(a)}, n{-d.y, d.x};
    star.add(polygonShape({o + n * 2, o + d * (len * 0.45f), o - n * 2}));
  }
  paint(c, rasterize(star, size, size), [=](float x, float y) {
    const float k = std::min(1.0f, length(Vec2{x, y} - o) / (len + 1));
    return withAlpha(mix(rgb(0xFFFFFF), rgb(0xFFD040), k), fade * (1 - 0.6f * k));
  });
  fill(c, circleShape(o, 3 + 3 * grow), withAlpha(rgb(0xFFFFF0), fade));
  for (int i = 0; i < 6; ++i) {
    const float a = 0.4f + i * kPi / 3;
    const Vec2 at = o + Vec2{std::cos(a), std::sin(a)} * (10 + 14 * t);
    fill(c, circleShape(at, 1.8f * (1 - 0.5f * t)), withAlpha(rgb(0xFFE8A0), fade));
  }
  return c;
}

}  // namespace

void makeItems(Manifest& m) {
  const std::string set = "items";
  m.set(set, "things lying in the street to pick up: food, treasure, weapons (feet at the bottom centre), and the "
             "sparkle where one is taken (drawn additively)");
  m.addPicture(set, "apple.png", "apple: food, a little health back (30x30)", apple());
  m.addPicture(set, "roast.png", "roast on a plate: food, much health back (64x40)", roast());
  m.addPicture(set, "coins.png", "a few gold coins: treasure (48x28)", coins());
  m.addPicture(set, "gem.png", "a cut gem: treasure worth more (32x32)", gem());
  m.addPicture(set, "pipe.png", "a length of iron pipe: a weapon (72x20)", lying(Held::Pipe, 72, 20, -0.1f));
  m.addPicture(set, "knife.png", "a knife: a weapon, also thrown (48x18)", lying(Held::Knife, 48, 18, 0.08f));
  for (int i = 0; i < 4; ++i)
    m.addPicture(set, "sparkle_" + std::to_string(i) + ".png",
                 "pick-up sparkle, " + std::to_string(i + 1) + " of 4 (56x56, additive)", sparkle(i / 3.0f));
}

}  // namespace assetgen
