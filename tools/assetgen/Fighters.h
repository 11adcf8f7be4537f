// The fighters' picture sets: every frame of every move, drawn from key poses.
// A set starts with the frames all fighters share (guard, walk, hit, fall,
// lie, get up) and goes on with the fighter's own moves.
#pragma once

#include <string>
#include <vector>

#include "Figure.h"
#include "Manifest.h"

namespace assetgen {

struct FrameSpec {
  std::string file;     // picture file name, e.g. "punch1_2.png"
  std::string meaning;  // for the picture guide, e.g. "jab: impact"
  Pose pose;
  Look look;
};

class FrameList {
 public:
  void add(const std::string& file, const std::string& meaning, const Pose& pose, const Look& look = {});
  const std::vector<FrameSpec>& frames() const { return frames_; }

 private:
  std::vector<FrameSpec> frames_;
};

// Frames every fighter has; `walkFrames` pictures for one stride.
void addCommonFrames(FrameList& list, const FighterStyle& style, int walkFrames);
// The fighter's guard: armed fighters hold their weapon, street fighters hunch.
Pose styleGuard(const FighterStyle& style, float breath);
// Where the far hand holds a glaive gripped by the near hand, pointing along `angle`.
Vec2 glaiveGrip(Vec2 nearHand, float angle);

void addHeroMoves(FrameList& list);
void addKaelinMoves(FrameList& list);
void addThugMoves(FrameList& list);
void addBruiserMoves(FrameList& list);
void addBossMoves(FrameList& list);
void addDasherMoves(FrameList& list);
void addThrowerMoves(FrameList& list);
void addHeavyMoves(FrameList& list);
void addLeaperMoves(FrameList& list);
void addMidBossMoves(FrameList& list);
// Fighting with a picked-up pipe or knife and bending to pick one up, in each
// fighter's own manner; drawn after the set's older pictures.
void addMorivaneItemFrames(FrameList& list);
void addKaelinItemFrames(FrameList& list);
void addThugItemFrames(FrameList& list);
// A thrown knife turning in flight (40x40), into a hero's own set.
void addThrownKnifePictures(Manifest& manifest, const std::string& set, Color outline);
// The thrower's bottle, spinning in flight, and its shards.
void addBottlePictures(Manifest& manifest, const std::string& set);
// The mid-boss's crescent of air, flying along the ground, and breaking up.
void addCrescentPictures(Manifest& manifest, const std::string& set);

// Draws every fighter's set into the manifest.
void makeFighters(Manifest& manifest);
// The enemies added later; their sets come after the scenes' so that the older
// set numbers, which scenes and mods name, stay where they were.
void makeLaterFighters(Manifest& manifest);
// The mid-boss boss02 and its flying crescent; drawn after every older set.
void makeMidBoss(Manifest& manifest);
// The second hero c_kaelin, with its sounds; drawn after the mid-boss.
void makeSecondHero(Manifest& manifest);

}  // namespace assetgen
