#include "Fighters.h"

#include <cmath>

#include "Moves.h"
#include "Raster.h"
#include "Synth.h"

namespace assetgen {

void FrameList::add(const std::string& file, const std::string& meaning, const Pose& pose, const Look& look) {
  frames_.push_back({file, meaning, pose, look});
}

Pose styleGuard(const FighterStyle& st, float breath) {
  Pose p = guard(breath);
  if (st.weapon == Weapon::Club) {
    p.handNear = {8, -80 + 1.5f * breath};
    p.handFar = {26, -78 + breath};
    p.fistFar = false;
    p.weaponAngle = -2.1f + 0.04f * breath;
    p.lean = 0.16f;
  } else if (st.weapon == Weapon::Blade) {
    p.handNear = {22, -74 + 1.5f * breath};
    p.handFar = {14, -70 + breath};
    p.weaponAngle = -0.75f + 0.03f * breath;
    p.lean = 0.06f;
  } else if (st.weapon == Weapon::Glaive) {
    // Both hands on the pole, the blade forward and up.
    p.handNear = {14, -76 + 1.5f * breath};
    p.weaponAngle = -0.55f + 0.03f * breath;
    p.handFar = glaiveGrip(p.handNear, p.weaponAngle);
    p.lean = 0.04f;
    p.footNear = {-18, -5};
    p.footFar = {18, -5};
  } else if (!st.upright) {
    // Street fighters keep their hands lower and hunch.
    p.lean = 0.18f;
    p.handNear = {12, -80 + 1.5f * breath};
    p.handFar = {25, -82 + 1.5f * breath};
  }
  return p;
}

namespace {

// Weapons rest at the guard's angle in poses that do not say otherwise.
Pose armed(const FighterStyle& st, Pose p, float angle) {
  if (st.weapon != Weapon::None) p.weaponAngle = angle;
  return p;
}

}  // namespace

Vec2 glaiveGrip(Vec2 nearHand, float angle) {
  return nearHand + Vec2{std::cos(angle), std::sin(angle)} * 17;
}

void addCommonFrames(FrameList& l, const FighterStyle& st, int walkFrames) {
  const float kPi = 3.14159265f;
  float rest = styleGuard(st, 0).weaponAngle;
  for (int i = 0; i < 4; ++i)
    l.add("idle_" + std::to_string(i) + ".png", "guard, breathing " + std::to_string(i + 1) + " of 4",
          styleGuard(st, std::sin(i * kPi / 2)));
  for (int i = 0; i < walkFrames; ++i) {
    Pose p = walkPose(static_cast<float>(i) / walkFrames);
    Pose g = styleGuard(st, 0);
    p.handNear = p.handNear + (g.handNear - guard().handNear);
    p.handFar = p.handFar + (g.handFar - guard().handFar);
    p.lean = g.lean;
    p.fistFar = g.fistFar;
    p.weaponAngle = rest + 0.08f * std::sin(2 * kPi * i / walkFrames);
    if (st.weapon == Weapon::Glaive) p.handFar = glaiveGrip(p.handNear, p.weaponAngle);
    l.add("walk_" + std::to_string(i) + ".png", "walk, stride " + std::to_string(i + 1) + " of " +
                                                     std::to_string(walkFrames), p);
  }
  Look hurt;
  hurt.eyesClosed = true;
  hurt.shout = true;
  l.add("hurt_high_0.png", "hit high: head snapped back", armed(st, hurtHighPose(0), rest - 0.6f), hurt);
  l.add("hurt_high_1.png", "hit high: recovering", armed(st, hurtHighPose(1), rest - 0.3f));
  l.add("hurt_gut_0.png", "hit in the body: doubled over", armed(st, hurtGutPose(0), rest + 0.9f), hurt);
  l.add("hurt_gut_1.png", "hit in the body: recovering", armed(st, hurtGutPose(1), rest + 0.4f));
  l.add("hurt_air.png", "hit in the air", armed(st, hurtAirPose(), rest - 0.8f), hurt);
  l.add("knock_0.png", "knocked down: flying up and back", armed(st, knockFlyPose(0), rest - 1.0f), hurt);
  l.add("knock_1.png", "knocked down: falling", armed(st, knockFlyPose(1), rest - 1.2f), hurt);
  Look out;
  out.eyesClosed = true;
  l.add("lying_0.png", "lying: bouncing off the ground", armed(st, lyingPose(1), -3.0f), out);
  l.add("lying_1.png", "lying flat", armed(st, lyingPose(0), -3.1f), out);
  l.add("getup_0.png", "getting up: sitting", armed(st, getUpPose(0), -0.2f));
  l.add("getup_1.png", "getting up: on one knee", armed(st, getUpPose(1), rest + 0.5f));
  l.add("getup_2.png", "getting up: rising", armed(st, getUpPose(2), rest));
}

namespace {

struct FighterEntry {
  const FighterStyle& style;
  void (*moves)(FrameList&);
  int walkFrames;
  const char* about;
  void (*extras)(Manifest&, const std::string& set) = nullptr;  // pictures after the frames (thrown things)
};

// A hero's portrait for the heads-up display: face and shoulders in a round
// medallion with a gold rim, 100x100, transparent outside the rim.
Canvas portrait(const FighterStyle& style) {
  Canvas c(100, 100);
  const Vec2 centre{50, 50};
  fill(c, circleShape(centre, 49), rgb(0x0C0C12));
  fill(c, circleShape(centre, 47), verticalGradient(1, rgb(0xD8B060), 99, rgb(0x6A4A1C)));
  fill(c, circleShape(centre, 42.5f), verticalGradient(8, rgb(0x6C88B8), 92, rgb(0x1C2440)));
  Canvas face(100, 100);
  drawPortrait(face, style, centre, 42.5f);
  Mask inside = rasterize(circleShape(centre, 42.5f), c.width(), c.height());
  for (int y = inside.y0(); y < inside.y0() + inside.h(); ++y)
    for (int x = inside.x0(); x < inside.x0() + inside.w(); ++x) {
      Color p = face.at(x, y);
      if (p.a > 0) c.blend(x, y, p, inside.at(x, y));
    }
  return c;
}

void addHeroPortrait(Manifest& m, const std::string& set) {
  const FighterStyle& style = set == kaelinStyle().id ? kaelinStyle() : heroStyle();
  m.addPicture(set, "portrait.png", "portrait for the heads-up display, 100x100: face in a gold-rimmed medallion",
               portrait(style));
}

// Frames drawn after a set's older pictures (so that no older number moves).
void addLaterFrames(Manifest& m, const FighterStyle& style, void (*moves)(FrameList&)) {
  FrameList list;
  moves(list);
  for (const FrameSpec& f : list.frames()) m.addPicture(style.id, f.file, f.meaning, drawFrame(style, f.pose, f.look));
}

void addHeroExtras(Manifest& m, const std::string& set) {
  addHeroPortrait(m, set);
  addLaterFrames(m, heroStyle(), addMorivaneItemFrames);
  addThrownKnifePictures(m, set, heroStyle().pal.outline);
}

void addThugExtras(Manifest& m, const std::string&) { addLaterFrames(m, thugStyle(), addThugItemFrames); }

void addSecondHeroExtras(Manifest& m, const std::string& set) {
  addHeroPortrait(m, set);
  addLaterFrames(m, kaelinStyle(), addKaelinItemFrames);
  addThrownKnifePictures(m, set, kaelinStyle().pal.outline);
  makeSecondHeroSounds(m, set);
}

void drawFighter(Manifest& m, const FighterEntry& e) {
  m.set(e.style.id, e.about);
  FrameList list;
  addCommonFrames(list, e.style, e.walkFrames);
  e.moves(list);
  for (const FrameSpec& f : list.frames()) m.addPicture(e.style.id, f.file, f.meaning, drawFrame(e.style, f.pose, f.look));
  if (e.extras) e.extras(m, e.style.id);
}

}  // namespace

void makeFighters(Manifest& m) {
  const FighterEntry entries[] = {
      {heroStyle(), addHeroMoves, 8,
       "the hero, c_morivane (220x160 frames, feet at the bottom centre; the thrown knife 40x40)", addHeroExtras},
      {thugStyle(), addThugMoves, 6, "street thug guai01 (220x160 frames)", addThugExtras},
      {bruiserStyle(), addBruiserMoves, 6, "club bruiser guai02 (220x160 frames)"},
      {bossStyle(), addBossMoves, 6, "the warlord boss01 (340x250 frames)"},
  };
  for (const FighterEntry& e : entries) drawFighter(m, e);
}

void makeLaterFighters(Manifest& m) {
  const FighterEntry entries[] = {
      {dasherStyle(), addDasherMoves, 6, "quick dasher guai04: dashes in, strikes, hops back out (220x160 frames)"},
      {throwerStyle(), addThrowerMoves, 6,
       "bottle thrower guai05: throws from range, shoves away up close (220x160 frames; the bottle 40x40)",
       addBottlePictures},
      {heavyStyle(), addHeavyMoves, 6, "heavy guai06: a slow, long-telegraphed two-fisted slam (260x200 frames)"},
      {leaperStyle(), addLeaperMoves, 6, "leaper guai07: drops in from a high leap feet first (220x160 frames)"},
  };
  for (const FighterEntry& e : entries) drawFighter(m, e);
}

void makeMidBoss(Manifest& m) {
  drawFighter(m, {midBossStyle(), addMidBossMoves, 6,
                  "the mid-boss boss02: a tall glaive fighter; quick poke, long sweep, a crescent thrown along the "
                  "ground (380x250 frames; the crescent 90x110)",
                  addCrescentPictures});
}

void makeSecondHero(Manifest& m) {
  drawFighter(m, {kaelinStyle(), addKaelinMoves, 8,
                  "the second hero, c_kaelin: lighter and quicker than Morivane, a kicker; the hero's frames in "
                  "Kaelin's look (the same numbers), then Kaelin's own (220x160 frames, the portrait 100x100, the thrown "
                  "knife 40x40)",
                  addSecondHeroExtras});
}

}  // namespace assetgen
