#include "Figure.h"

namespace assetgen {

const FighterStyle& heroStyle() {
  static const FighterStyle style = [] {
    FighterStyle st;
    st.id = "c_morivane";
    st.pal.skin = rgb(0xE3A97C);
    st.pal.hair = rgb(0x22232E);
    st.pal.top = rgb(0x2E5AA8);
    st.pal.trim = rgb(0xCFE0FF);
    st.pal.pants = rgb(0x222C4C);
    st.pal.accent = rgb(0xD8302A);
    st.pal.gloves = rgb(0xF0E6D2);
    st.pal.boots = rgb(0x4A3426);
    st.pal.metal = rgb(0xB8C0CC);
    st.hair = Hair::Spiky;
    st.gear = Headgear::Headband;
    st.upright = true;
    st.canvasW = 220;
    st.canvasH = 160;
    return st;
  }();
  return style;
}

// The second hero: lighter than Morivane and long in the leg, a kicker. The
// same clean colours of a hero against the gangs' drab ones: a jade jacket
// with pale trim, a gold sash, an auburn topknot, bare fists wrapped white.
const FighterStyle& kaelinStyle() {
  static const FighterStyle style = [] {
    FighterStyle st;
    st.id = "c_kaelin";
    st.build.torso = 38;
    st.build.shoulderW = 10.5f;
    st.build.thigh = 34;
    st.build.shin = 33;
    st.build.upperArmR0 = 5.2f;
    st.build.upperArmR1 = 4.0f;
    st.build.forearmR0 = 4.2f;
    st.build.forearmR1 = 3.4f;
    st.build.thighR0 = 7.4f;
    st.build.thighR1 = 5.2f;
    st.build.chestR = 12.5f;
    st.build.waistR = 9.2f;
    st.build.pelvisR = 9.2f;
    st.pal.skin = rgb(0xF0C29C);
    st.pal.hair = rgb(0x8A3420);
    st.pal.top = rgb(0x23876A);
    st.pal.trim = rgb(0xE4F4E6);
    st.pal.pants = rgb(0x1C3832);
    st.pal.accent = rgb(0xF0B430);
    st.pal.gloves = rgb(0xF0E6D2);
    st.pal.boots = rgb(0x3C2A20);
    st.pal.metal = rgb(0xB8C0CC);
    st.hair = Hair::Topknot;
    st.upright = true;
    st.canvasW = 220;
    st.canvasH = 160;
    return st;
  }();
  return style;
}

// The two street enemies share the olive jacket and grey trousers of their gang.
static FighterStyle gangStyle() {
  FighterStyle st;
  st.pal.skin = rgb(0xC98E68);
  st.pal.hair = rgb(0x3A2A20);
  st.pal.top = rgb(0x66704A);
  st.pal.trim = rgb(0xA8B080);
  st.pal.pants = rgb(0x45464E);
  st.pal.gloves = rgb(0x5A4030);
  st.pal.boots = rgb(0x2A2426);
  st.pal.metal = rgb(0x9098A4);
  st.canvasW = 220;
  st.canvasH = 160;
  return st;
}

const FighterStyle& thugStyle() {
  static const FighterStyle style = [] {
    FighterStyle st = gangStyle();
    st.id = "guai01";
    st.pal.accent = rgb(0xC8283A);
    st.hair = Hair::Cropped;
    st.gear = Headgear::Bandana;
    st.build.chestR = 12.5f;
    st.build.waistR = 9.5f;
    st.build.upperArmR0 = 5.4f;
    st.build.thighR0 = 7.6f;
    st.scale = 0.96f;
    return st;
  }();
  return style;
}

const FighterStyle& bruiserStyle() {
  static const FighterStyle style = [] {
    FighterStyle st = gangStyle();
    st.id = "guai02";
    st.pal.accent = rgb(0x20A8A0);
    st.pal.top = rgb(0x5E6844);
    st.pal.skin = rgb(0xB87E5A);
    st.hair = Hair::Topknot;
    st.weapon = Weapon::Club;
    st.scar = true;
    st.build.chestR = 17;
    st.build.waistR = 14;
    st.build.pelvisR = 12;
    st.build.shoulderW = 15;
    st.build.upperArmR0 = 7.4f;
    st.build.upperArmR1 = 5.8f;
    st.build.forearmR0 = 6.0f;
    st.build.forearmR1 = 4.8f;
    st.build.handR = 6;
    st.build.thighR0 = 9.6f;
    st.build.thighR1 = 7;
    st.build.shinR0 = 6.6f;
    st.build.headR = 10;
    st.scale = 1.04f;
    return st;
  }();
  return style;
}

const FighterStyle& bossStyle() {
  static const FighterStyle style = [] {
    FighterStyle st;
    st.id = "boss01";
    st.pal.skin = rgb(0xB07858);
    st.pal.hair = rgb(0x1A1418);
    st.pal.top = rgb(0x6A1A24);
    st.pal.trim = rgb(0xE0B050);
    st.pal.pants = rgb(0x2A1E26);
    st.pal.accent = rgb(0x3A1030);
    st.pal.gloves = rgb(0x3A3440);
    st.pal.boots = rgb(0x2A2228);
    st.pal.metal = rgb(0x5A5E6E);
    st.hair = Hair::Cropped;
    st.gear = Headgear::HornedHelmet;
    st.weapon = Weapon::Blade;
    st.shoulderPads = true;
    st.cape = true;
    st.gauntlets = true;
    st.sleeves = true;
    st.build.chestR = 16;
    st.build.waistR = 12.5f;
    st.build.pelvisR = 11.5f;
    st.build.shoulderW = 14;
    st.build.upperArmR0 = 6.6f;
    st.build.forearmR0 = 5.4f;
    st.build.forearmR1 = 4.4f;
    st.build.thighR0 = 9;
    st.build.thighR1 = 6.4f;
    st.build.shinR0 = 6.2f;
    st.scale = 1.38f;
    st.canvasW = 340;
    st.canvasH = 250;
    return st;
  }();
  return style;
}

// A gang runner: slight, long-limbed and low to the ground, the gang's olive
// under a yellow-sleeved jacket, spiky hair and no headgear.
const FighterStyle& dasherStyle() {
  static const FighterStyle style = [] {
    FighterStyle st = gangStyle();
    st.id = "guai04";
    st.pal.top = rgb(0xC89A1E);
    st.pal.trim = rgb(0x66704A);
    st.pal.accent = rgb(0x66704A);
    st.pal.hair = rgb(0x8A3A1A);
    st.pal.pants = rgb(0x2E3038);
    st.hair = Hair::Spiky;
    st.sleeves = true;
    st.build.chestR = 11.5f;
    st.build.waistR = 8.5f;
    st.build.pelvisR = 9;
    st.build.upperArmR0 = 4.8f;
    st.build.forearmR0 = 4.2f;
    st.build.thighR0 = 7;
    st.build.thighR1 = 5.2f;
    st.build.shinR0 = 5;
    st.build.thigh = 34;
    st.build.shin = 33;
    st.scale = 0.92f;
    return st;
  }();
  return style;
}

// The gang's thrower: tall, bald and long-armed, a rust coat with long sleeves
// over the gang's olive, a scar.
const FighterStyle& throwerStyle() {
  static const FighterStyle style = [] {
    FighterStyle st = gangStyle();
    st.id = "guai05";
    st.pal.top = rgb(0x8A4A2C);
    st.pal.trim = rgb(0x66704A);
    st.pal.accent = rgb(0x66704A);
    st.pal.skin = rgb(0xD09C78);
    st.hair = Hair::None;
    st.sleeves = true;
    st.scar = true;
    st.build.torso = 44;
    st.build.upperArm = 25;
    st.build.forearm = 23;
    st.build.chestR = 12.5f;
    st.build.waistR = 9.5f;
    st.build.upperArmR0 = 5.2f;
    st.build.thighR0 = 7.4f;
    st.scale = 1.0f;
    return st;
  }();
  return style;
}

// The gang's heavy: a head taller and twice as broad, armoured shoulders and
// iron fists, a slate coat with the gang's olive sash.
const FighterStyle& heavyStyle() {
  static const FighterStyle style = [] {
    FighterStyle st = gangStyle();
    st.id = "guai06";
    st.pal.top = rgb(0x3E4654);
    st.pal.trim = rgb(0x9AA4B4);
    st.pal.accent = rgb(0x66704A);
    st.pal.skin = rgb(0xA8704E);
    st.pal.gloves = rgb(0x5A5E6E);
    st.pal.metal = rgb(0x7A808E);
    st.hair = Hair::Cropped;
    st.shoulderPads = true;
    st.gauntlets = true;
    st.build.chestR = 19;
    st.build.waistR = 16;
    st.build.pelvisR = 13;
    st.build.shoulderW = 16;
    st.build.upperArmR0 = 8.2f;
    st.build.upperArmR1 = 6.4f;
    st.build.forearmR0 = 6.8f;
    st.build.forearmR1 = 5.6f;
    st.build.handR = 7;
    st.build.thighR0 = 10.5f;
    st.build.thighR1 = 7.6f;
    st.build.shinR0 = 7;
    st.build.headR = 10;
    st.scale = 1.2f;
    st.canvasW = 260;
    st.canvasH = 200;
    return st;
  }();
  return style;
}

// The gang's acrobat: wiry and bare-armed, a topknot, a teal top with a
// magenta sash over the gang's grey trousers.
const FighterStyle& leaperStyle() {
  static const FighterStyle style = [] {
    FighterStyle st = gangStyle();
    st.id = "guai07";
    st.pal.top = rgb(0x1E6A70);
    st.pal.trim = rgb(0x8AD0C8);
    st.pal.accent = rgb(0xC02A8A);
    st.pal.hair = rgb(0x141018);
    st.hair = Hair::Topknot;
    st.build.chestR = 12;
    st.build.waistR = 8.8f;
    st.build.pelvisR = 9.2f;
    st.build.upperArmR0 = 5;
    st.build.thighR0 = 7.4f;
    st.build.shinR0 = 5.2f;
    st.scale = 0.95f;
    return st;
  }();
  return style;
}

// The mid-boss: a head taller than the gang and long-limbed, a wide straw
// hat, an ivory coat with long sleeves and cyan trim over indigo trousers, a
// cyan sash, and a glaive: nothing of the gang's olive or the warlord's red.
const FighterStyle& midBossStyle() {
  static const FighterStyle style = [] {
    FighterStyle st;
    st.id = "boss02";
    st.pal.skin = rgb(0xD8A482);
    st.pal.hair = rgb(0x1C1A24);
    st.pal.top = rgb(0xE6E0D0);
    st.pal.trim = rgb(0x1FB8D0);
    st.pal.pants = rgb(0x2A2F66);
    st.pal.accent = rgb(0x18B4D2);
    st.pal.gloves = rgb(0x2A2F66);
    st.pal.boots = rgb(0x1E1C26);
    st.pal.metal = rgb(0xC0C8D4);
    st.hair = Hair::None;  // under the hat
    st.gear = Headgear::WideHat;
    st.weapon = Weapon::Glaive;
    st.sleeves = true;
    st.build.torso = 44;
    st.build.neck = 6;
    st.build.upperArm = 25;
    st.build.forearm = 23;
    st.build.chestR = 13.5f;
    st.build.waistR = 10;
    st.build.pelvisR = 10.5f;
    st.build.upperArmR0 = 5.6f;
    st.build.forearmR0 = 4.8f;
    st.build.thighR0 = 8.2f;
    st.build.shinR0 = 5.8f;
    st.scale = 1.24f;
    st.canvasW = 380;
    st.canvasH = 250;
    return st;
  }();
  return style;
}

}  // namespace assetgen
