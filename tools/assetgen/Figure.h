// Drawing a fighter from its style and a pose: tapered limbs and rounded body
// parts with dark outlines, two-tone shading lit from the upper left, the far
// arm and leg a shade darker, then head, hair, headgear and weapon.
#pragma once

#include <string>

#include "Canvas.h"
#include "Skeleton.h"

namespace assetgen {

struct Palette {
  Color skin, hair, top, trim, pants, accent, gloves, boots, metal;
  Color outline = rgb(0x16121C);
};

enum class Hair { Spiky, Cropped, Topknot, None };
enum class Headgear { None, Headband, Bandana, HornedHelmet, WideHat };
enum class Weapon { None, Club, Blade, Glaive };  // a glaive: a long pole with a curved blade, held in both hands

struct FighterStyle {
  std::string id;
  Build build;
  Palette pal;
  Hair hair = Hair::Spiky;
  Headgear gear = Headgear::None;
  Weapon weapon = Weapon::None;
  bool sleeves = false;        // long sleeves in the top's colour
  bool shoulderPads = false;   // armour on the shoulders
  bool cape = false;
  bool gauntlets = false;      // fists in the gloves' colour (else bare, with wraps at the wrist)
  bool scar = false;
  bool upright = false;        // keeps the guard high, as the heroes do (street fighters hunch)
  float scale = 1;             // multiplies every length
  int canvasW = 200, canvasH = 160;
};

// Something picked up in the street and held in the near hand, pointing along
// the pose's weaponAngle (fighters who carry a weapon of their own never hold one).
enum class Held { None, Pipe, Knife };

// Everything that is not the skeleton: how the eyes look, cloth swing, what
// the hand holds.
struct Look {
  bool eyesClosed = false;  // hurt or knocked out
  bool shout = false;       // open mouth (attacks, specials)
  float swing = 0;          // -1..1, sways hair ends, sash, cape
  Held held = Held::None;
};

// The look of a fighter putting its weight into a blow: the mouth open.
inline Look shout() {
  Look l;
  l.shout = true;
  return l;
}

// Paints a shape in the fighters' two tones, lit from the upper left: the base
// colour, a shadow on the lower right `shadowDepth` pixels deep and a lit rim.
// (The outline is the caller's: the shape grown by a disk, in ink.)
void paintLit(Canvas& canvas, const Shape& shape, Color base, float shadowDepth);

// Draws the figure with its ground point at `ground` (canvas pixels).
void drawFigure(Canvas& canvas, const FighterStyle& style, const Pose& pose, const Look& look, Vec2 ground);
// One frame: a canvas of the style's size with the ground point at the bottom centre.
Canvas drawFrame(const FighterStyle& style, const Pose& pose, const Look& look = {});

// A hero's face and shoulders filling a circle of radius r at `centre`.
void drawHeroPortrait(Canvas& canvas, Vec2 centre, float r);
void drawPortrait(Canvas& canvas, const FighterStyle& style, Vec2 centre, float r);

// The fighters of the default game.
const FighterStyle& heroStyle();    // c_morivane: blue gi, red headband and sash, spiky hair
const FighterStyle& thugStyle();    // guai01: lean street thug, olive jacket, red bandana, bare fists
const FighterStyle& bruiserStyle(); // guai02: the thug's heavier cousin, teal sash, topknot, a club
const FighterStyle& bossStyle();    // boss01: armoured warlord, horned helmet, cape, a long blade
// The enemies of the second edition.
const FighterStyle& dasherStyle();  // guai04: slight and quick, spiky hair, long yellow sleeves
const FighterStyle& throwerStyle(); // guai05: tall and bald, long arms, a rust coat over the gang's olive
const FighterStyle& heavyStyle();   // guai06: huge, armoured shoulders and iron fists, slate coat
const FighterStyle& leaperStyle();  // guai07: wiry acrobat, topknot, bare arms, teal top, magenta sash
// The mid-boss.
const FighterStyle& kaelinStyle();  // c_kaelin: the second hero, lighter and quicker, jade jacket, gold sash, auburn topknot
const FighterStyle& midBossStyle(); // boss02: tall glaive fighter, wide straw hat, ivory coat, cyan sash

}  // namespace assetgen
