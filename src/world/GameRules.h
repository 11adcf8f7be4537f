// The rules of the game that are not in its data files: who the player is,
// where the game starts and ends, the pack, what each enemy is worth, the
// sound volume, and where the parts of the heads-up display go. Every place
// that needs one of these values takes it from here.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "world/Difficulty.h"
#include "world/StageRules.h"
#include "world/FairRules.h"
#include "world/ItemRules.h"

struct EnemyValue {
  int32_t score = 0;
  int32_t kills = 0;
};

// How often an enemy attacks and how fast it walks. Once `attackPause` frames
// have passed since its last attack, an enemy standing or walking draws a
// number from 0 to 500 each frame and tries its attack rules when the number
// is below `attackTries`. The game's own pace is every enemy's unless the
// rules name it.
struct EnemyPace {
  int32_t attackPause = 500;
  int32_t attackTries = 2;
  double walkSpeed = 1.5;  // pixels per frame, approaching or backing off
};

struct GameRules {
  std::string playerId = "c_morivane";
  int32_t playerX = 100, playerZ = 400;  // where the player stands in the first scene
  std::string firstScene = "Test";
  // The game is won when the scene whose file calls it this has no enemy left.
  std::string finalScene = "zd";
  std::string packFile = "pak.zip";
  std::string packPassword = "brazenoth";
  std::string music = "pak/ui/hte/bg.mp3";
  // For looking at late scenes (--invincible): hits on the player still land
  // and push, but take no hit points. Never on in a game as it is played.
  bool playerInvincible = false;
  int32_t effectVolume = 50;  // every sound effect of the game
  // Seats that play from the first frame (--players); more may join in play.
  int32_t seatsAtStart = 1;
  // Whether a free seat may be joined in play (shown on its panel). Not over
  // the network, where every seat is settled before the game begins.
  bool seatsJoinInPlay = true;
  // The heroes a player may choose (character ids, GBK); empty: only `playerId`.
  std::vector<std::string> heroes;
  const std::vector<std::string> heroChoices() const { return heroes.empty() ? std::vector<std::string>{playerId} : heroes; }
  // The hero (character id) each seat plays, seat 1 first; an empty id is the player's (`playerId`).
  std::array<std::string, 4> seatHeroes;
  const std::string& heroOf(int seat) const {
    const std::string& id = seatHeroes[static_cast<size_t>(seat - 1)];
    return id.empty() ? playerId : id;
  }
  // Continues shared by the team; -1 (no rules line): 3 once two or more seats
  // have played, none for a player alone (the game ends at the first fall).
  int32_t continues = -1;
  static constexpr int32_t kTeamContinues = 3;
  // Every enemy has this many percent more hit points for each seat beyond
  // the first that plays when it enters.
  int32_t coopHpPercent = 60;
  int32_t musicVolume = 100;
  // `instructions = extended`: the scripts' instructions past the classic
  // eleven (grab, throw, let-go) play; without it they do nothing.
  bool extendedInstructions = false;
  // Kinds (character names, exact) that nobody takes hold of: bosses, the heavy.
  std::vector<std::string> cannotGrab;
  bool grabbable(const std::string& name) const {
    return std::find(cannotGrab.begin(), cannotGrab.end(), name) == cannotGrab.end();
  }
  // Stretches that hold the screen, enemies moved, doors and their signs (none: as before).
  StageRules stage;
  // Fair fights and feel, each switched on by its own line.
  FairRules fair;
  // Breakable props, items to take and weapons (none: as before).
  ItemRules items;

  // The levels of difficulty (rules.txt: easy.enemy-hp-percent = 70 and the
  // like) and the one this run plays.
  std::array<DifficultyLevel, kDifficultyCount> levels{};
  Difficulty difficulty = Difficulty::Normal;
  const DifficultyLevel& level() const { return levels[static_cast<size_t>(difficulty)]; }
  // The continues the team shares at the start: the level's, else the rules', else -1.
  int32_t continuesRule() const { return level().continues >= 0 ? level().continues : continues; }
  // An enemy's full hit points and an enemy's blow on a fighter at this level.
  int32_t enemyHp(int32_t hp) const { return scaledByPercent(hp, level().enemyHpPercent); }
  int32_t enemyDamage(int32_t damage) const { return scaledByPercent(damage, level().enemyDamagePercent); }
  static int32_t scaledByPercent(int32_t value, int32_t percent) {
    if (percent == 100) return value;
    const int64_t v = static_cast<int64_t>(value) * percent / 100;
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  }

  // What a defeated enemy adds to the score and the kills, by the name in its
  // character file (exact match); an enemy not listed is worth nothing.
  struct Score {
    std::string enemyName;
    EnemyValue value;
  };
  std::vector<Score> scores = {{"guai01", {10, 1}}, {"guai02", {20, 1}}, {"boss01", {100, 1}}};

  EnemyValue valueOf(const std::string& enemyName) const {
    for (const Score& s : scores)
      if (s.enemyName == enemyName) return s.value;
    return {};
  }

  // Enemies that keep a pace of their own, by the name in their character
  // file; the others keep the game's own.
  struct Pace {
    std::string enemyName;
    EnemyPace pace;
  };
  std::vector<Pace> paces;

  EnemyPace paceOf(const std::string& enemyName) const {
    EnemyPace pace;
    for (const Pace& p : paces)
      if (p.enemyName == enemyName) {
        pace = p.pace;
        break;
      }
    return pacedForLevel(pace);
  }
  // A pace at this level: a faster pace waits less after an attack and tries more often.
  EnemyPace pacedForLevel(EnemyPace pace) const {
    const int32_t percent = level().enemyPacePercent;
    if (percent == 100) return pace;
    pace.attackPause = percent > 0 ? static_cast<int32_t>(static_cast<int64_t>(pace.attackPause) * 100 / percent)
                                   : INT32_MAX;
    pace.attackTries = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(pace.attackTries) * percent / 100, 501));
    return pace;
  }
};

// The player's action that ends the game when it has no hit points left.
inline constexpr int32_t kPlayerLyingAction = 11;

// The heads-up display's pictures (from the pack), the rectangle of each that
// is shown, and where it goes on the 800x480 screen.
struct HudPicture {
  const char* path;
  float width, height;  // the part of the picture shown, from its top-left corner
  float x, y;           // where it is drawn
};
struct HudLayout {
  static constexpr HudPicture frame = {"pak/ui/hta/base.png", 362, 178, 0, 0};
  static constexpr HudPicture playerBar = {"pak/ui/hta/hp.png", 169, 7, 125, 17};
  static constexpr HudPicture secondBar = {"pak/ui/hta/sp.png", 169, 5, 125, 31};
  static constexpr HudPicture powerGauge = {"pak/ui/hta/cp.png", 64, 7, 197, 41};
  static constexpr HudPicture targetBar = {"pak/ui/hta/m_hp.png", 169, 10, 43, 146};
  static constexpr float scoreX = 800, scoreY = 0;  // the score line's right edge and top
};
