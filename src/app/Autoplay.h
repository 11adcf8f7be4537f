// The built-in player: it plays only by pressing and releasing keys through the
// engine's input layer, the same path as the keyboard, deciding from what it
// sees of the world. It is the demo and the bot that proves the game winnable.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/hge.h"
#include "world/World.h"

class Chara;

// How the built-in player plays: `Full` uses every move it knows and steps out
// of line of an enemy's attack; `Masher` walks up to the nearest enemy and
// only ever presses J (no jumps, no motion commands, no sidesteps), the
// player the game should not let through.
enum class AutoplayStyle { Full, Masher };

class Autoplay {
 public:
  // Plays seat `seat` (1-4): presses that seat's keys, and punch to join the
  // game or to continue when its fighter has fallen.
  explicit Autoplay(HGE* engine, AutoplayStyle style = AutoplayStyle::Full, int seat = 1)
      : engine_(engine), style_(style), seat_(seat) {}

  // Called once per frame before the frame callback (the engine's input
  // callback). `scene` may be null (title); `state` is the screen state.
  void think(const World* scene, int state);

 private:
  struct Wish {
    bool up = false, down = false, left = false, right = false;
    int tap = 0;  // a key to tap this frame (0 = none)
  };
  Wish decide(const World& scene);
  Wish goTo(const Chara& p, double x, double z, double stopDx) const;
  const Chara* pickTarget(const World& scene) const;
  // The way to the chosen open door that steps into no other door.
  Wish toDoor(const World& scene, const Chara& p, const World::Door& door) const;
  const Chara* attackComing(const World& scene) const;
  const Chara* risingStriker(const World& scene) const;
  Wish attack(const World& scene, const Chara& target);
  // Grabs (where the folder plays them): whether walking on takes hold of
  // `target` now, and the keys while holding (knees, then a throw toward the
  // side with more enemies).
  bool mayGrab(const World& scene, const Chara& p, const Chara& target) const;
  Wish whileHolding(const World& scene, const Chara& p, const World::Grip& grip);
  // Items (where the folder has them): food when its health runs low, a
  // weapon lying on its way, a breakable prop near while no enemy is. True
  // with `w` set when one of them is what it does this frame.
  bool goForItems(const World& scene, const Chara& p, const Chara* target, Wish& w);
  void hold(int key, bool down);
  void tap(int key);

  // The fighter of this bot's seat, or null.
  const Chara* me(const World& scene) const;

  HGE* engine_;
  AutoplayStyle style_;
  int seat_ = 1;
  std::array<bool, HGEK_COUNT> held_{};
  int releaseKey_ = 0;    // a tapped key to let go of next frame
  int frame_ = 0;         // frames seen while playing
  int lastTapFrame_ = -100;
  int stuckFrames_ = 0;
  double lastX_ = 0, lastZ_ = 0;
  int detour_ = 0;        // frames left of a sidestep around an obstacle
  int detourDir_ = 1;
  int endingFrames_ = 0;  // frames spent on the ending screen
  std::array<int, 4> combo_{};  // keys of a motion command
  int comboLen_ = 0, comboPos_ = 0;  // its length and the next key to tap
  // The door it walks to once the scene is clear: chosen when it sees the doors
  // open (the frame count then, modulo the doors that lead somewhere), so
  // different games take different ways where a scene has more than one.
  int chosenDoor_ = -1;
  // The item or prop it goes for and for how long; what it gave up on (not
  // reached in time: behind a wall, say), compared by address only, forgotten
  // with the scene.
  const Obj* chased_ = nullptr;
  int chaseFrames_ = 0;
  std::vector<const Obj*> givenUp_;
  std::string givenUpScene_;
};
