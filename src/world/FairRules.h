// Rules that keep fights fair and make blows felt: a run of hits knocks the
// victim down, getting up is safe for a moment, moves cost power, motion
// commands are read in order, the enemy panel names its enemy, hit-stop and
// screen shake, and enemies keep a little room between each other. Each is
// switched on by its own line of data/rules.txt; a value left at its default
// here is the game exactly as it played before the line existed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct FairRules {
  // knockdown-hits = N FRAMES: a hit that makes N within the last FRAMES frames
  // knocks the victim down as a heavy blow does. 0: hits never add up.
  int32_t knockdownHits = 0;
  int32_t knockdownFrames = 0;
  // wake-up-protection = FRAMES [ENEMY-FRAMES]: after getting up from a
  // knock-down no hit lands on a seat's fighter for FRAMES, on an enemy for
  // ENEMY-FRAMES (FRAMES when not given).
  int32_t wakeUpProtection = 0;
  int32_t enemyWakeUpProtection = 0;

  // power-cost CHARA ACTION = N: a seat's fighter of that character starts
  // that action only with N power, which it spends. The file and line are kept
  // so that an action the character does not have is reported there.
  struct PowerCost {
    std::string chara;  // GBK, as the character's id
    int32_t action = 0;
    int32_t cost = 0;
    std::string file;
    size_t line = 0;
  };
  std::vector<PowerCost> powerCosts;
  // The power the fighter of character `chara` spends to start `action`; -1 when the rules set none.
  int32_t powerCost(const std::string& chara, int32_t action) const {
    for (const PowerCost& c : powerCosts)
      if (c.action == action && c.chara == chara) return c.cost;
    return -1;
  }

  // motion-window = FRAMES: the directions of a motion command come in order,
  // each in a later frame than the one before and within FRAMES of it; the
  // button within FRAMES of the last direction, with down let go. 0: the old reading.
  int32_t motionWindow = 0;

  // enemy-panel = names: the enemy panel shows the enemy's name and goes away
  // while no enemy is targeted; display-name NAME = TEXT names an enemy on it
  // (the character's name otherwise); bosses = NAME ... stand out.
  bool namedEnemyPanel = false;
  struct DisplayName {
    std::string enemy;  // GBK, the name in the character file
    std::string shown;  // GBK
  };
  std::vector<DisplayName> displayNames;
  std::vector<std::string> bosses;  // GBK names
  const std::string& shownName(const std::string& enemy) const {
    for (const DisplayName& d : displayNames)
      if (d.enemy == enemy) return d.shown;
    return enemy;
  }
  bool isBoss(const std::string& enemy) const {
    for (const std::string& b : bosses)
      if (b == enemy) return true;
    return false;
  }

  // least-hit-stop = FRAMES: a blow that lands stops attacker and victim for at least this long.
  int32_t leastHitStop = 0;
  // screen-shake = on: a heavy blow (one that knocks down) shakes the drawn
  // screen for a moment; the player's settings may still turn it off.
  bool screenShake = false;
  // getting-up = untouchable: no blow lands on a character while it is down
  // with hit points left (its action 5: lying and getting up), so a rising
  // strike that ends its getting up cannot be stopped by standing over it.
  bool untouchableGettingUp = false;
  // enemy-room = PIXELS: enemies closer than this along the ground (and near in
  // depth) step apart, a pixel a frame. 0: they may stand on one spot.
  int32_t enemyRoom = 0;

  // Whether any rule here changes what the world does (and so its saved state
  // and checksum carry the counters these rules keep).
  bool changesPlay() const {
    return knockdownHits > 0 || wakeUpProtection > 0 || enemyWakeUpProtection > 0 || !powerCosts.empty() || motionWindow > 0 ||
           leastHitStop > 0 || enemyRoom > 0 || untouchableGettingUp;
  }
};
