// The mid-boss boss02 as the default game ships it (the built game folder's
// character files and rules), alone with the hero in the yard of
// tests/scenes/boss02-arena.txt: each of its moves reaches the hero where and
// when it should and can be dodged as its description says, its AI table
// picks each move at its range, and the hero can knock it down and kill it for
// the score the rules give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "DataText.h"
#include "base/Random.h"
#include "engine_support.h"
#include "world/RulesFile.h"
#include "world/World.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = TERVALEN_BINARY_DIR "/game";
const fs::path kArena = TERVALEN_SOURCE_DIR "/tests/scenes/boss02-arena.txt";

constexpr int32_t kPoke = 13, kSweep = 14, kCrescentCut = 15;

class Boss02 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kGame / "data" / "chara" / "boss02.dat")) GTEST_SKIP() << "no game folder laid out in " << kGame;
    // The default game's data, with the arena as the first scene.
    fs::copy(kGame / "data", dir_.path() / "data", fs::copy_options::recursive);
    std::ifstream in(kArena);
    std::stringstream source;
    source << in.rdbuf();
    std::vector<uint8_t> bytes;
    TextError error;
    ASSERT_TRUE(compileDataText(source.str(), DataKind::Scene, bytes, error)) << kArena << ": " << error.message;
    std::ofstream out(dir_.path() / "data" / "scene" / "Test.dat", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.flush());
    here_ = std::make_unique<InDirectory>(dir_.path());
  }

  // A world started in the arena, chance from `seed`.
  std::unique_ptr<World> start(bool invincible, uint64_t seed = 16) {
    Expected<GameRules> rules = readGameRules();
    EXPECT_TRUE(rules) << rules.error().message();
    if (!rules) return nullptr;
    rules->playerInvincible = invincible;
    // The arena stands in for the street: the street's stretches are not its own.
    rules->stage = StageRules{};
    // The boss's blows as its file gives them: how a level scales them (the
    // default game's normal strikes a little harder) is the difficulty tests' matter.
    rules->levels[static_cast<size_t>(rules->difficulty)] = DifficultyLevel{};
    random_.seed(seed);
    WorldServices services;
    services.log = [](const std::string&) {};
    services.random = [this](int lo, int hi) { return random_.range(lo, hi); };
    auto world = std::make_unique<World>(*rules, std::move(services));
    EXPECT_TRUE(world->ready()) << world->startError;
    EXPECT_NE(boss(*world), nullptr) << "the arena holds no boss02";
    return world;
  }

  static Chara* boss(World& w) {
    for (size_t i = 1; i < w.charas.size(); ++i)
      if (w.charas[i]->id() == "boss02") return w.charas[i];
    return nullptr;
  }
  static Chara* player(World& w) { return w.charas.empty() ? nullptr : w.charas[0]; }

  // Starts the boss's move `action` with the hero standing `dx` in front of it
  // and `dz` off its line, then lets the world run `frames` frames with the
  // hero's keys from `keys` (none when it is empty). Returns the frame (from
  // 1) in which the hero first lost hit points, or 0; `lost` receives how many
  // it lost in all, `reaction` the hero's action after that first hit.
  using Keys = std::function<FrameInput(World&)>;
  int firstHurt(int32_t action, double dx, double dz, int frames, int32_t& lost, int32_t* reaction = nullptr,
                const Keys& keys = {}) {
    std::unique_ptr<World> w = start(false);
    if (!w) return -1;
    Chara* b = boss(*w);
    Chara* p = player(*w);
    p->x = b->x + dx;
    p->z = b->z + dz;
    b->setFacing(0);  // toward the hero, on its right
    b->setAction(action);
    const int32_t hp0 = p->hp;
    int first = 0;
    for (int f = 1; f <= frames; ++f) {
      w->step(keys ? keys(*w) : FrameInput{});
      if (!first && p->hp < hp0) {
        first = f;
        if (reaction) *reaction = p->action;
      }
    }
    lost = hp0 - p->hp;
    return first;
  }

 private:
  ScratchDir dir_;
  std::unique_ptr<InDirectory> here_;
  Random random_;
};

// Reactions of the hero (c_morivane): 0 hit high -> 23, 2 knock-down -> 25, 3 hit in the body -> 26.
constexpr int32_t kHeroHitHigh = 23, kHeroKnockedDown = 25, kHeroHitInTheBody = 26;

TEST_F(Boss02, ThePokeIsQuickAndReachesAboutOneHundredSeventyAhead) {
  int32_t lost = 0, reaction = -1;
  const int at = firstHurt(kPoke, 120, 0, 60, lost, &reaction);
  EXPECT_GE(at, 8) << "the poke lands before its wind-up is seen";
  EXPECT_LE(at, 12) << "the poke is meant to be the quick one";
  EXPECT_EQ(lost, 10);
  EXPECT_EQ(reaction, kHeroHitHigh);
  // Standing right against it is no shelter; a step further than the blade is.
  EXPECT_GT(firstHurt(kPoke, 5, 0, 60, lost), 0);
  EXPECT_EQ(firstHurt(kPoke, 200, 0, 60, lost), 0);
  EXPECT_EQ(lost, 0);
}

TEST_F(Boss02, TheSweepWarnsForMoreThanFortyFramesThenKnocksDownAcrossAWideArc) {
  int32_t lost = 0, reaction = -1;
  const int at = firstHurt(kSweep, 150, 0, 120, lost, &reaction);
  EXPECT_GE(at, 45) << "the sweep's coil is its warning";
  EXPECT_LE(at, 50);
  EXPECT_EQ(lost, 18);
  EXPECT_EQ(reaction, kHeroKnockedDown);
  // Wide in depth: a small step aside does not get out of it ...
  EXPECT_GT(firstHurt(kSweep, 150, 30, 120, lost), 0);
  // ... backing off out of its reach does.
  EXPECT_EQ(firstHurt(kSweep, 240, 0, 120, lost), 0);
}

TEST_F(Boss02, TheCrescentPunishesStandingFarAwayButNotASideStepOrAJump) {
  int32_t lost = 0, reaction = -1;
  // 28 frames of warning, then it crosses the gap at 7 a frame.
  const int at = firstHurt(kCrescentCut, 500, 0, 200, lost, &reaction);
  EXPECT_GE(at, 28 + (500 - 110 - 60) / 7) << "the crescent arrived sooner than it can fly";
  EXPECT_LE(at, 28 + (500 - 110) / 7 + 2);
  EXPECT_EQ(lost, 14);
  EXPECT_EQ(reaction, kHeroHitInTheBody);
  // It keeps to its own line in depth: a step aside lets it pass.
  EXPECT_EQ(firstHurt(kCrescentCut, 500, 40, 200, lost), 0);
  EXPECT_EQ(lost, 0);
  // So does a jump (K) made when it comes within about 150 to 230 (a window of
  // some 11 frames), and not one made far too early.
  auto jumpWhenWithin = [](double distance) {
    return [distance](World& w) {
      FrameInput in;
      for (const Obj* o : w.objects)
        if (!o->asChara() && o->id() == "boss02" && o->action == 30 && std::abs(o->x - w.charas[0]->x) < distance)
          in.pressed[KEY_K] = in.held[KEY_K] = true;
      return in;
    };
  };
  for (double within : {165.0, 215.0}) {
    EXPECT_EQ(firstHurt(kCrescentCut, 500, 0, 200, lost, nullptr, jumpWhenWithin(within)), 0) << within;
    EXPECT_EQ(lost, 0) << within;
  }
  EXPECT_GT(firstHurt(kCrescentCut, 500, 0, 200, lost, nullptr, jumpWhenWithin(420)), 0);
}

TEST_F(Boss02, GettingUpItCutsRoundItselfSoWaitingOverItIsPunished) {
  int32_t lost = 0, reaction = -1;
  // Down with hit points left: about a second on the ground, 14 frames coiled, then the cut.
  const int at = firstHurt(5, 60, 0, 200, lost, &reaction);
  EXPECT_GE(at, 96 + 14);
  EXPECT_LE(at, 96 + 14 + 2);
  EXPECT_EQ(lost, 80);
  EXPECT_EQ(reaction, kHeroKnockedDown);
  // Close behind it too; but not from a safe distance.
  EXPECT_GT(firstHurt(5, -50, 0, 200, lost), 0);
  EXPECT_EQ(firstHurt(5, 220, 0, 200, lost), 0);
}

// A hero who stands over it pressing J, at every beat of a masher's hand, does
// not stop the cut: the coil is part of getting up, and no blow lands in it.
TEST_F(Boss02, PunchesInItsCoilDoNotStopTheRisingCut) {
  for (int gap : {3, 4, 5, 6, 7}) {
    int32_t lost = 0;
    int frame = 0;
    const Keys mash = [&](World& w) {
      FrameInput in;
      if (frame++ == 0) player(w)->setFacing(1);  // toward the boss on its left
      in.pressed[KEY_J] = in.held[KEY_J] = frame >= 80 && frame % gap == 0;
      return in;
    };
    const int at = firstHurt(5, 60, 0, 200, lost, nullptr, mash);
    EXPECT_GE(at, 96 + 14) << "every " << gap << " frames";
    EXPECT_LE(at, 96 + 14 + 2) << "every " << gap << " frames";
    EXPECT_GE(lost, 80) << "every " << gap << " frames";
  }
}

// The AI table at three distances, the hero held there: close in it pokes or
// sweeps, a little further off only sweeps, from afar only cuts crescents.
TEST_F(Boss02, ItsAiPicksTheMoveForTheDistance) {
  struct Range {
    double dx;
    std::set<int32_t> allowed;
    int32_t mustSee;
  };
  for (const Range& r : {Range{80, {kPoke, kSweep}, kPoke}, Range{180, {kSweep}, kSweep},
                         Range{420, {kCrescentCut}, kCrescentCut}}) {
    std::unique_ptr<World> w = start(true);
    ASSERT_TRUE(w);
    std::set<int32_t> seen;
    int attacks = 0;
    int32_t last = 0;
    for (int f = 0; f < 12000 && attacks < 4; ++f) {
      Chara* b = boss(*w);
      Chara* p = player(*w);
      ASSERT_TRUE(b && p);
      p->x = b->x + (p->x >= b->x ? r.dx : -r.dx);
      p->z = b->z;
      w->step(FrameInput{});
      if (b->action != last && (last == 0 || last == 1) && b->action >= kPoke && b->action <= kCrescentCut) {
        seen.insert(b->action);
        ++attacks;
      }
      last = b->action;
    }
    EXPECT_GE(attacks, 3) << "at " << r.dx << " it hardly attacked";
    EXPECT_TRUE(seen.count(r.mustSee)) << "at " << r.dx << " it never used move " << r.mustSee;
    for (int32_t a : seen) EXPECT_TRUE(r.allowed.count(a)) << "at " << r.dx << " it used move " << a;
  }
}

// The hero walks up and throws the J chain (jab, cross, high kick) until the
// boss is gone: the boss loses hit points, is knocked down by the high kick
// and gets up again, and at last dies and scores what data/rules.txt gives.
TEST_F(Boss02, TheHeroKnocksItDownAndKillsItForTheRulesScore) {
  std::unique_ptr<World> w = start(true);
  ASSERT_TRUE(w);
  const int32_t fullHp = boss(*w)->hp;
  // Between the heavy (400) and the warlord (1600): a fight of its own, not the last one.
  EXPECT_GE(fullHp, 400);
  EXPECT_LE(fullHp, 1000);
  const int32_t score0 = w->hud.score, kills0 = w->hud.kills;
  int32_t lowest = fullHp;
  bool knockedDownAlive = false, gotUp = false, attacked = false;
  int32_t last = 0;
  int frame = 0;
  for (; frame < 40000 && boss(*w); ++frame) {
    Chara* b = boss(*w);
    Chara* p = player(*w);
    FrameInput in;
    const double dx = b->x - p->x, dz = b->z - p->z;
    if (std::abs(dz) > 6) in.held[dz < 0 ? KEY_W : KEY_S] = true;
    if (std::abs(dx) > 60 || (dx > 0) != (p->facing == 0)) {
      in.held[dx > 0 ? KEY_D : KEY_A] = true;
    } else if (frame % 12 == 0) {
      in.pressed[KEY_J] = in.held[KEY_J] = true;
    }
    w->step(in);
    if (!boss(*w)) break;
    lowest = std::min(lowest, b->hp);
    if (b->action == 22 && last != 22 && b->hp > 0) knockedDownAlive = true;
    if (knockedDownAlive && last == 5 && b->action == 0) gotUp = true;
    if (b->action >= kPoke && b->action <= kCrescentCut) attacked = true;
    last = b->action;
  }
  EXPECT_EQ(boss(*w), nullptr) << "boss02 still stands after " << frame << " frames with " << lowest << " hit points";
  EXPECT_LT(lowest, fullHp);
  EXPECT_TRUE(knockedDownAlive) << "the high kick never knocked it down";
  EXPECT_TRUE(gotUp) << "knocked down with hit points left, it never got up";
  EXPECT_TRUE(attacked) << "it never struck back";
  EXPECT_EQ(w->hud.score - score0, 150);
  EXPECT_EQ(w->hud.kills - kills0, 1);
}

}  // namespace
