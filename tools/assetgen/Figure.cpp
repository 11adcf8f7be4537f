#include "Figure.h"

#include <cmath>
#include <functional>

#include "HeldItems.h"

namespace assetgen {

namespace {

// The direction the light travels: it comes from the upper left.
const Vec2 kLight = normalized({1.0f, 1.35f});

Color shadowOf(Color base) { return mix(shade(base, 0.62f), rgb(0x2A1E48), 0.14f); }
Color highlightOf(Color base) { return mix(base, rgb(0xFFFFFF), 0.38f); }

}  // namespace

void paintLit(Canvas& c, const Shape& sh, Color base, float k) {
  Mask m = rasterize(sh, c.width(), c.height());
  paint(c, m, base);
  if (k > 0) {
    Mask lit = rasterize(sh.translated(kLight * -k), c.width(), c.height());
    paint(c, m.minus(lit), shadowOf(base));
    Mask rim = rasterize(sh.translated(kLight * std::min(1.4f, 0.3f * k + 0.6f)), c.width(), c.height());
    paint(c, m.minus(rim), withAlpha(highlightOf(base), 0.55f));
  }
}

namespace {

class Painter {
 public:
  Painter(Canvas& c, const FighterStyle& st) : c_(c), st_(st), s_(st.scale) {}

  float s() const { return s_; }
  Canvas& canvas() { return c_; }
  float outlineW() const { return 1.35f + 0.35f * s_; }

  // A convex body part given as circles: outline, fill, shadow and a lit rim.
  void blob(const std::vector<Circle>& circles, Color base, float shadowDepth) {
    std::vector<Circle> out = circles;
    for (Circle& k : out) k.r += outlineW();
    fill(c_, blobShape(out), st_.pal.outline);
    body(blobShape(circles), base, shadowDepth);
  }

  // Any shape: the outline is the shape swept by a disk.
  void shape(const Shape& sh, Color base, float shadowDepth) {
    fill(c_, grownShape(sh, outlineW()), st_.pal.outline);
    body(sh, base, shadowDepth);
  }

  // A flat mark without outline (eyes, seams).
  void mark(const Shape& sh, Color col) { fill(c_, sh, col); }

 private:
  void body(const Shape& sh, Color base, float k) { paintLit(c_, sh, base, k); }

  Canvas& c_;
  const FighterStyle& st_;
  float s_;
};

struct Frame {
  Vec2 origin, ax, ay;  // ax: forward unit, ay: down unit
  Vec2 operator()(float x, float y) const { return origin + ax * x + ay * y; }
};

Frame headFrame(const Joints& j, float r) {
  Vec2 ax{std::cos(j.headAngle), std::sin(j.headAngle)};
  Vec2 ay{-std::sin(j.headAngle), std::cos(j.headAngle)};
  return Frame{j.headC, ax * r, ay * r};
}

Frame torsoFrame(const Joints& j, float s) {
  Vec2 ax{std::cos(j.torsoAngle), std::sin(j.torsoAngle)};
  Vec2 ay{-std::sin(j.torsoAngle), std::cos(j.torsoAngle)};
  return Frame{j.hip, ax * s, ay * s};
}

Color far(Color c) { return shade(c, 0.76f); }

void drawHair(Painter& p, const FighterStyle& st, const Frame& head, const Look& look, bool back) {
  // Hair stands a little proud of the skull.
  const Frame H{head.origin, head.ax * 1.1f, head.ay * 1.1f};
  const Palette& pal = st.pal;
  float sw = look.swing;
  if (st.hair == Hair::Spiky) {
    if (back) return;
    std::vector<Vec2> pts = {
        H(0.82f, -0.40f),         H(1.02f, -0.86f),         H(0.55f, -0.82f),
        H(0.48f, -1.38f),         H(0.08f, -1.02f),         H(-0.30f - 0.1f * sw, -1.52f),
        H(-0.45f, -1.00f),        H(-1.10f - 0.1f * sw, -1.30f), H(-1.00f, -0.70f),
        H(-1.70f - 0.15f * sw, -0.72f), H(-1.12f, -0.30f),  H(-1.55f - 0.1f * sw, 0.02f),
        H(-0.98f, 0.20f),         H(-0.78f, 0.52f),         H(-0.50f, 0.12f),
        H(-0.10f, -0.34f),        H(0.40f, -0.46f)};
    p.shape(polygonShape(pts), pal.hair, 2.2f * p.s());
  } else if (st.hair == Hair::Cropped) {
    if (back) return;
    std::vector<Vec2> pts;
    for (int i = 0; i <= 12; ++i) {
      float a = 3.14159f * (0.92f + 0.62f * i / 12.0f);
      pts.push_back(H(1.06f * std::cos(a), 1.06f * std::sin(a)));
    }
    pts.push_back(H(0.55f, -0.55f));
    pts.push_back(H(-0.2f, -0.35f));
    pts.push_back(H(-0.55f, 0.3f));
    p.shape(polygonShape(pts), pal.hair, 1.6f * p.s());
  } else if (st.hair == Hair::Topknot) {
    if (!back) return;
    p.blob({{H(-0.42f, -1.02f), 0.36f * length(H.ax)},
            {H(-0.62f - 0.1f * sw, -1.22f), 0.22f * length(H.ax)}},
           pal.hair, 1.5f * p.s());
  }
}

// A wide, shallow cone of woven straw with a chin cord; it shades the eyes.
void drawWideHat(Painter& p, const Frame& H, float r) {
  const Color straw = rgb(0xD6B46A);
  p.mark(capsuleShape(H(0.2f, -0.3f), 0.05f * r, H(0.5f, 0.75f), 0.05f * r), rgb(0x5A2A20));
  p.shape(polygonShape({H(-2.2f, -0.22f), H(-1.95f, -0.42f), H(-0.1f, -1.5f), H(0.2f, -1.52f), H(2.15f, -0.46f),
                        H(2.4f, -0.24f), H(0.1f, -0.5f)}),
          straw, 0.35f * r);
  // The weave: lines from the crown to the brim, and a dark band at the crown.
  for (float x : {-1.2f, -0.5f, 0.6f, 1.4f})
    p.mark(capsuleShape(H(0.05f, -1.42f), 0.03f * r, H(x, -0.48f - 0.04f * x), 0.03f * r), shade(straw, 0.7f));
  p.mark(polygonShape({H(-0.55f, -1.15f), H(0.7f, -1.18f), H(0.95f, -1.02f), H(-0.85f, -0.98f)}), rgb(0x8A2A2A));
}

void drawHead(Painter& p, const FighterStyle& st, const Joints& j, const Look& look) {
  const Palette& pal = st.pal;
  float s = p.s();
  float r = st.build.headR * s;
  Frame H = headFrame(j, r);
  float sw = look.swing;

  // Cloth tails behind the head.
  if (st.gear == Headgear::Headband || st.gear == Headgear::Bandana) {
    Vec2 knot = st.gear == Headgear::Headband ? H(-0.95f, -0.48f) : H(-0.98f, -0.1f);
    Color col = st.pal.accent;
    p.blob({{knot, 0.2f * r}, {H(-2.1f - 0.3f * sw, -0.05f + 0.25f * sw), 0.08f * r}}, shade(col, 0.85f), 0.1f * r);
    p.blob({{knot, 0.18f * r}, {H(-1.9f - 0.2f * sw, 0.45f + 0.2f * sw), 0.07f * r}}, shade(col, 0.75f), 0.1f * r);
  }
  if (st.gear != Headgear::HornedHelmet) drawHair(p, st, H, look, true);
  // Neck, then the head with its jaw and nose.
  p.blob({{j.neck, 4.4f * s}, {H(-0.12f, 0.62f), 4.6f * s}}, pal.skin, 2.5f * s);
  p.blob({{H(0, 0), r}, {H(0.40f, 0.44f), 0.56f * r}, {H(0.96f, 0.14f), 0.13f * r}}, pal.skin, 0.55f * r);
  // Face.
  Color ink = shade(pal.outline, 1.0f);
  p.mark(capsuleShape(H(0.24f, -0.33f), 0.1f * r, H(0.80f, -0.18f), 0.085f * r), ink);
  if (look.eyesClosed) {
    p.mark(capsuleShape(H(0.40f, -0.02f), 0.06f * r, H(0.72f, -0.06f), 0.06f * r), ink);
  } else if (st.gear == Headgear::HornedHelmet) {
    p.mark(ellipseShape(H(0.58f, -0.04f), 0.2f * r, 0.1f * r, j.headAngle), rgb(0xFF4020));
    p.mark(circleShape(H(0.6f, -0.04f), 0.07f * r), rgb(0xFFE060));
  } else {
    p.mark(ellipseShape(H(0.56f, -0.04f), 0.16f * r, 0.12f * r, j.headAngle), rgb(0xF4F0E8));
    p.mark(circleShape(H(0.63f, -0.04f), 0.075f * r), ink);
  }
  if (look.shout)
    p.mark(ellipseShape(H(0.72f, 0.52f), 0.13f * r, 0.11f * r, j.headAngle), rgb(0x3A0E10));
  else
    p.mark(capsuleShape(H(0.58f, 0.52f), 0.045f * r, H(0.80f, 0.49f), 0.045f * r), shade(pal.skin, 0.5f));
  if (st.scar) p.mark(capsuleShape(H(0.2f, 0.05f), 0.04f * r, H(0.42f, 0.38f), 0.04f * r), rgb(0xA04038));

  drawHair(p, st, H, look, false);
  if (st.gear != Headgear::HornedHelmet) p.blob({{H(-0.3f, 0.2f), 0.19f * r}}, shade(pal.skin, 0.92f), 0.1f * r);
  if (st.gear == Headgear::Headband) {
    p.blob({{H(-0.96f, -0.46f), 0.16f * r}, {H(0.86f, -0.62f), 0.16f * r}}, pal.accent, 0.12f * r);
  } else if (st.gear == Headgear::Bandana) {
    std::vector<Vec2> pts;
    for (int i = 0; i <= 12; ++i) {
      float a = 3.14159f * (0.95f + 1.02f * i / 12.0f);
      pts.push_back(H(1.08f * std::cos(a), 1.08f * std::sin(a)));
    }
    pts.push_back(H(0.9f, -0.26f));
    pts.push_back(H(-1.05f, -0.04f));
    p.shape(polygonShape(pts), pal.accent, 0.35f * r);
  } else if (st.gear == Headgear::WideHat) {
    drawWideHat(p, H, r);
  } else if (st.gear == Headgear::HornedHelmet) {
    // Horns first (they rise behind the dome), then the dome with its brow guard.
    for (int side = 0; side < 2; ++side) {
      float o = side == 0 ? -0.45f : 0.1f;
      Color hc = side == 0 ? far(rgb(0xE8DCC0)) : rgb(0xE8DCC0);
      p.shape(polygonShape({H(o - 0.35f, -0.6f), H(o + 0.15f, -0.8f), H(o + 0.2f, -1.5f), H(o + 0.55f, -2.2f),
                            H(o + 1.05f, -2.6f), H(o + 0.25f, -2.0f), H(o - 0.25f, -1.35f)}),
              hc, 0.3f * r);
    }
    std::vector<Vec2> pts;
    for (int i = 0; i <= 14; ++i) {
      float a = 3.14159f * (0.85f + 1.2f * i / 14.0f);
      pts.push_back(H(1.12f * std::cos(a), 1.12f * std::sin(a)));
    }
    pts.push_back(H(1.08f, -0.34f));
    pts.push_back(H(0.3f, -0.36f));
    pts.push_back(H(0.1f, 0.3f));
    pts.push_back(H(-0.9f, 0.55f));
    p.shape(polygonShape(pts), pal.metal, 0.4f * r);
    p.mark(capsuleShape(H(-0.2f, -0.95f), 0.06f * r, H(0.3f, -1.0f), 0.06f * r), withAlpha(rgb(0xFFFFFF), 0.35f));
    // The eye glows under the brim.
    p.mark(ellipseShape(H(0.6f, -0.08f), 0.2f * r, 0.09f * r, j.headAngle), rgb(0xFF4020));
    p.mark(circleShape(H(0.62f, -0.08f), 0.06f * r), rgb(0xFFE060));
  }
}

void drawWeapon(Painter& p, const FighterStyle& st, Vec2 hand, Vec2 dir) {
  float s = p.s();
  Vec2 n{-dir.y, dir.x};
  if (st.weapon == Weapon::Club) {
    p.blob({{hand - dir * (5 * s), 2.2f * s}, {hand + dir * (40 * s), 4.8f * s}}, rgb(0x7A4A26), 2.2f * s);
    for (float t : {24.0f, 33.0f})
      p.blob({{hand + dir * (t * s) + n * (-4.2f * s), 1.4f * s}, {hand + dir * (t * s) + n * (4.2f * s), 1.4f * s}},
             st.pal.metal, 0.8f * s);
  } else if (st.weapon == Weapon::Blade) {
    Vec2 b0 = hand + dir * (7 * s);
    Vec2 tip = hand + dir * (70 * s);
    p.shape(polygonShape({b0 + n * (3.6f * s), b0 + n * (-3.6f * s), tip - dir * (10 * s) + n * (-4.6f * s), tip,
                          tip - dir * (12 * s) + n * (3.0f * s)}),
            rgb(0xC8D0DC), 2.6f * s);
    p.mark(capsuleShape(b0 + n * (-1.2f * s), 0.7f * s, tip - dir * (10 * s) + n * (-1.8f * s), 0.5f * s),
           withAlpha(rgb(0xFFFFFF), 0.7f));
    p.blob({{b0 + n * (-7 * s), 2.2f * s}, {b0 + n * (7 * s), 2.2f * s}}, rgb(0xC89A38), 1.2f * s);
    p.blob({{hand - dir * (9 * s), 2.4f * s}, {hand + dir * (2 * s), 2.2f * s}}, rgb(0x4A2A1A), 1 * s);
  } else if (st.weapon == Weapon::Glaive) {
    // A lacquered pole held near its middle, a gold cap and collar, and a
    // single-edged blade whose tip curves back toward the spine.
    const Vec2 butt = hand - dir * (36 * s), head = hand + dir * (56 * s);
    p.blob({{butt, 2.3f * s}, {head, 2.3f * s}}, rgb(0x3A1E26), 1.4f * s);
    p.blob({{butt - dir * (1 * s), 3.0f * s}, {butt + dir * (4 * s), 2.8f * s}}, rgb(0xC89A38), 1.2f * s);
    p.blob({{head - dir * (5 * s), 3.2f * s}, {head, 3.2f * s}}, rgb(0xC89A38), 1.2f * s);
    p.shape(polygonShape({head + n * (3.4f * s), head + dir * (14 * s) + n * (6.6f * s),
                          head + dir * (27 * s) + n * (5.0f * s), head + dir * (38 * s) + n * (-5.0f * s),
                          head + dir * (23 * s) + n * (-3.0f * s), head + n * (-3.0f * s)}),
            rgb(0xDCE4EE), 2.4f * s);
    p.mark(capsuleShape(head + dir * (4 * s) + n * (2.6f * s), 0.7f * s, head + dir * (26 * s) + n * (3.0f * s),
                        0.6f * s),
           withAlpha(rgb(0xE8FFFF), 0.85f));
  }
}

void drawArm(Painter& p, const FighterStyle& st, const Pose& pose, const Look& look, const Joints& j, bool isNear) {
  const Palette& pal = st.pal;
  const Build& b = st.build;
  float s = p.s();
  Vec2 sh = isNear ? j.shoulderNear : j.shoulderFar;
  Vec2 el = isNear ? j.elbowNear : j.elbowFar;
  Vec2 hd = isNear ? j.handNear : j.handFar;
  auto tone = [&](Color c) { return isNear ? c : far(c); };
  Color upper = st.sleeves ? pal.top : pal.skin;
  Color lower = st.sleeves ? pal.top : pal.skin;
  if (st.shoulderPads && !isNear)
    p.blob({{sh + Vec2{0, 1.0f * s}, b.upperArmR0 * s * 1.3f}}, tone(pal.metal), 3 * s);
  p.blob({{sh, b.upperArmR0 * s}, {el, b.upperArmR1 * s}}, tone(upper), b.upperArmR0 * s * 0.8f);
  if (!st.sleeves)
    p.blob({{sh, b.upperArmR0 * s + 0.8f * s}, {lerp(sh, el, 0.42f), b.upperArmR0 * s + 0.3f * s}}, tone(pal.top),
           b.upperArmR0 * s * 0.8f);
  p.blob({{el, b.forearmR0 * s}, {hd, b.forearmR1 * s}}, tone(lower), b.forearmR0 * s * 0.8f);
  // Gauntlets over the forearm's lower half, or wraps at the wrist.
  if (st.gauntlets)
    p.blob({{lerp(el, hd, 0.45f), b.forearmR1 * s + 1.2f * s}, {hd, b.forearmR1 * s + 1.0f * s}}, tone(pal.gloves),
           b.forearmR1 * s * 0.8f);
  else
    p.blob({{lerp(el, hd, 0.72f), b.forearmR1 * s + 0.5f * s}, {hd, b.forearmR1 * s + 0.4f * s}}, tone(pal.gloves),
           b.forearmR1 * s * 0.8f);
  const Vec2 weaponDir{std::cos(pose.weaponAngle + pose.spin), std::sin(pose.weaponAngle + pose.spin)};
  if (isNear && st.weapon != Weapon::None) drawWeapon(p, st, hd, weaponDir);
  if (isNear && st.weapon == Weapon::None && look.held != Held::None)
    drawHeld(p.canvas(), look.held, hd + normalized(hd - el) * (b.handR * s * 0.55f), weaponDir, s, pal.outline);
  bool fist = isNear ? pose.fistNear : pose.fistFar;
  Vec2 d = normalized(hd - el);
  Vec2 c = hd + d * (b.handR * s * 0.55f);
  if (fist)
    p.blob({{c, b.handR * s}, {c + d * (1.2f * s) + Vec2{d.y, -d.x} * (1.0f * s), b.handR * s * 0.85f}},
           tone(st.gauntlets ? pal.gloves : pal.skin), b.handR * s * 0.8f);
  else
    p.blob({{c, b.handR * s * 0.8f}, {c + d * (4.5f * s), b.handR * s * 0.55f}}, tone(pal.skin),
           b.handR * s * 0.6f);
  if (st.shoulderPads && isNear)
    p.blob({{sh + Vec2{-0.5f * s, 1.5f * s}, b.upperArmR0 * s * 1.3f}}, pal.metal, 3 * s);
}

void drawLeg(Painter& p, const FighterStyle& st, const Joints& j, bool isNear) {
  const Palette& pal = st.pal;
  const Build& b = st.build;
  float s = p.s();
  Vec2 hp = isNear ? j.hipNear : j.hipFar;
  Vec2 kn = isNear ? j.kneeNear : j.kneeFar;
  Vec2 an = isNear ? j.ankleNear : j.ankleFar;
  Vec2 to = isNear ? j.toeNear : j.toeFar;
  auto tone = [&](Color c) { return isNear ? c : far(c); };
  p.blob({{hp, b.thighR0 * s}, {kn, b.thighR1 * s}}, tone(pal.pants), b.thighR0 * s * 0.75f);
  p.blob({{kn, b.shinR0 * s}, {an, b.shinR1 * s}}, tone(pal.pants), b.shinR0 * s * 0.75f);
  Vec2 fd = normalized(to - an);
  p.blob({{lerp(kn, an, 0.5f), b.shinR1 * s + 1.0f * s}, {an, b.shinR1 * s + 0.9f * s}}, tone(pal.boots),
         b.shinR1 * s * 0.8f);
  p.blob({{an - fd * (2.0f * s), 3.9f * s}, {to, 2.7f * s}}, tone(pal.boots), 2.4f * s);
}

void drawTorso(Painter& p, const FighterStyle& st, const Joints& j, const Look& look) {
  const Palette& pal = st.pal;
  const Build& b = st.build;
  float s = p.s();
  Frame T = torsoFrame(j, s);
  float L = length(j.neck - j.hip) / s;
  // Pants over the hips.
  p.blob({{j.hipNear, b.pelvisR * s}, {j.hipFar, b.pelvisR * s}}, pal.pants, b.pelvisR * s * 0.6f);
  if (st.cape) {
    float sw = look.swing;
    Vec2 a = T(-3, -L * 0.92f), c2 = T(4, -L * 0.95f);
    p.shape(polygonShape({c2, a, T(-16 - 6 * sw, -L * 0.3f), T(-30 - 10 * sw, 30), T(-4 - 6 * sw, 36)}),
            far(pal.accent), 5 * s);
  }
  p.blob({{T(0, -4), b.pelvisR * s},
          {T(1.0f, -L * 0.45f), b.waistR * s},
          {T(2.5f, -L * 0.78f), b.chestR * s},
          {T(-2.5f, -L * 0.84f), b.chestR * s * 0.82f}},
         pal.top, b.chestR * s * 0.7f);
  // Collar line and belt or sash.
  p.mark(capsuleShape(T(5.5f, -L * 0.97f), 1.1f * s, T(2.5f, -L * 0.42f), 0.9f * s), pal.trim);
  p.blob({{T(-b.pelvisR - 0.5f, -L * 0.26f), 2.6f * s}, {T(b.pelvisR + 1.5f, -L * 0.3f), 2.6f * s}}, pal.accent,
         1.6f * s);
  float sw = look.swing;
  p.blob({{T(-b.pelvisR + 0.5f, -L * 0.25f), 2.2f * s}, {T(-b.pelvisR - 7 - 3 * sw, -L * 0.25f + 13), 1.3f * s}},
         shade(pal.accent, 0.9f), 1.2f * s);
}

}  // namespace

void drawFigure(Canvas& canvas, const FighterStyle& st, const Pose& pose, const Look& look, Vec2 ground) {
  Painter p(canvas, st);
  Joints j = solvePose(st.build, pose, ground, st.scale);
  drawArm(p, st, pose, look, j, false);
  drawLeg(p, st, j, false);
  drawLeg(p, st, j, true);
  drawTorso(p, st, j, look);
  drawHead(p, st, j, look);
  drawArm(p, st, pose, look, j, true);
}

Canvas drawFrame(const FighterStyle& st, const Pose& pose, const Look& look) {
  Canvas c(st.canvasW, st.canvasH);
  drawFigure(c, st, pose, look, {st.canvasW / 2.0f, st.canvasH - 1.0f});
  return c;
}

void drawHeroPortrait(Canvas& canvas, Vec2 centre, float r) { drawPortrait(canvas, heroStyle(), centre, r); }

void drawPortrait(Canvas& canvas, const FighterStyle& style, Vec2 centre, float r) {
  FighterStyle st = style;
  st.scale = 0.42f * r / st.build.headR;
  Pose pose;
  pose.lean = 0.02f;
  pose.headTilt = -0.05f;
  pose.handNear = {16, -60};
  pose.handFar = {24, -66};
  Joints j = solvePose(st.build, pose, {0, 0}, st.scale);
  Vec2 ground = centre - j.headC + Vec2{-0.12f * r, 0.02f * r};
  drawFigure(canvas, st, pose, Look{}, ground);
}

}  // namespace assetgen
