// The built-in player's two styles, frame by frame against a world it is
// shown: the full player steps out of the line of an enemy's attack, the
// masher walks in regardless and only ever presses J.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "StubEngine.h"
#include "app/Autoplay.h"
#include "engine/hge.h"
#include "object/Chara.h"
#include "world/World.h"

namespace {

// Keeps the keys the bot holds, as the engine's input layer would.
class KeyEngine : public testengine::StubEngine {
 public:
  std::map<int, bool> held;
  std::map<int, int> presses;
  void Input_InjectKey(int key, bool down) override {
    if (down && !held[key]) ++presses[key];
    held[key] = down;
  }
};

constexpr int kPlaying = 1;
constexpr int kGrunting = 13;  // the grunt's attack: the action its rule starts

class AutoplayStyles : public ::testing::Test {
 protected:
  void SetUp() override {
    grunt.aiRules.push_back(AiRule{0, 300, 0, 50, 100, 0, 0, kGrunting});
    world.depth = 470;
    world.width = 1800;
    hero = std::make_unique<Chara>(&world, "hero", 0, 0, 0, 400, 0, 300);
    enemy = std::make_unique<Chara>(&world, "grunt", 0, 0, 1, 520, 0, 310);
    enemy->data = &grunt;
    hero->hp = enemy->hp = 50;
    world.charas = {hero.get(), enemy.get()};
    world.setFighters(1);
  }
  void TearDown() override {
    world.charas.clear();
    world.setFighters(0);
  }

  // The keys held after `frames` frames of the bot.
  KeyEngine play(AutoplayStyle style, int frames) {
    KeyEngine engine;
    Autoplay bot(&engine, style);
    for (int i = 0; i < frames; ++i) bot.think(&world, kPlaying);
    return engine;
  }

  World world{WorldServices{[](const std::string&) {}, [](int lo, int) { return lo; }}, World::Bare{}};
  CharaData grunt;
  std::unique_ptr<Chara> hero, enemy;
};

TEST_F(AutoplayStyles, TheFullPlayerStepsOutOfTheLineOfAnAttackAwayFromTheAttacker) {
  // Standing: the bot walks in to strike (right, toward the enemy, down to its line).
  KeyEngine calm = play(AutoplayStyle::Full, 1);
  EXPECT_TRUE(calm.held[HGEK_D]);
  EXPECT_FALSE(calm.held[HGEK_W]);

  // Attacking: it steps up, away from an attacker lower on the screen, and walks no closer.
  enemy->action = kGrunting;
  KeyEngine wary = play(AutoplayStyle::Full, 1);
  EXPECT_TRUE(wary.held[HGEK_W]);
  EXPECT_FALSE(wary.held[HGEK_S]);
  EXPECT_FALSE(wary.held[HGEK_D]);
  EXPECT_EQ(wary.presses[HGEK_J], 0);

  // From above, it steps down.
  enemy->z = 290;
  KeyEngine below = play(AutoplayStyle::Full, 1);
  EXPECT_TRUE(below.held[HGEK_S]);
  EXPECT_FALSE(below.held[HGEK_W]);

  // An attack too far away in depth to reach the bot is no reason to step aside.
  enemy->z = 300 + 120;
  KeyEngine far = play(AutoplayStyle::Full, 1);
  EXPECT_FALSE(far.held[HGEK_W]);
  EXPECT_TRUE(far.held[HGEK_D]);
}

TEST_F(AutoplayStyles, TheMasherWalksIntoAnAttackAndOnlyEverPressesJButTheFullPlayerClearsACrowd) {
  enemy->action = kGrunting;
  KeyEngine masher = play(AutoplayStyle::Masher, 1);
  EXPECT_TRUE(masher.held[HGEK_D]) << "it walks on toward the enemy";
  EXPECT_FALSE(masher.held[HGEK_W]);

  // Lined up and in reach, over many frames: J again and again, never K or a motion command.
  enemy->x = 450;
  enemy->z = 300;
  KeyEngine close = play(AutoplayStyle::Masher, 600);
  EXPECT_GE(close.presses[HGEK_J], 50);
  EXPECT_EQ(close.presses[HGEK_K], 0);
  EXPECT_EQ(close.presses[HGEK_S], 0);
  EXPECT_EQ(close.presses[HGEK_A], 0);

  // Crowded, with power for it: the masher still jabs, the full player starts
  // the crowd-clearing motion command (down, back, forward, J).
  Chara second(&world, "grunt", 0, 0, 1, 470, 0, 305);
  second.data = &grunt;
  second.hp = 50;
  world.charas.push_back(&second);
  world.hud.power = 30;
  KeyEngine crowdedMasher = play(AutoplayStyle::Masher, 20);
  EXPECT_EQ(crowdedMasher.presses[HGEK_S], 0);
  EXPECT_EQ(crowdedMasher.presses[HGEK_A], 0);
  KeyEngine full = play(AutoplayStyle::Full, 20);
  EXPECT_GE(full.presses[HGEK_S], 1);
  EXPECT_GE(full.presses[HGEK_A], 1) << "back, for a player facing right";
  EXPECT_EQ(full.presses[HGEK_K], 0) << "no jumps in a fight";
  EXPECT_GE(full.presses[HGEK_J], 1);
  world.charas.pop_back();
}

TEST_F(AutoplayStyles, AnEnemyPressedAgainstTheEdgeIsStruckFromTheOpenSide) {
  // Both at the left edge, the enemy a hair to the right of a hero facing left:
  // the near side to strike from is past the edge, so the hero walks out to the right.
  for (const AutoplayStyle style : {AutoplayStyle::Full, AutoplayStyle::Masher}) {
    hero->x = 18.4f;
    hero->z = 440;
    hero->setFacing(1);
    enemy->x = 18.5f;
    enemy->z = 445;
    KeyEngine keys = play(style, 1);
    EXPECT_TRUE(keys.held[HGEK_D]);
    EXPECT_FALSE(keys.held[HGEK_A]);
  }
  // And the same at the right edge.
  hero->x = 1781.6f;
  hero->setFacing(0);
  enemy->x = 1781.5f;
  KeyEngine keys = play(AutoplayStyle::Full, 1);
  EXPECT_TRUE(keys.held[HGEK_A]);
  EXPECT_FALSE(keys.held[HGEK_D]);
}

TEST_F(AutoplayStyles, TheFullPlayerWaitsOutOfReachWhileAnEnemyThatStrikesGettingUpRises) {
  enemy->x = 450;
  enemy->z = 300;
  enemy->action = 5;  // lying, then getting up
  // Its getting up does nothing: both styles stay on it.
  grunt.actions.resize(6);
  EXPECT_GE(play(AutoplayStyle::Full, 1).presses[HGEK_J], 1);
  // Its getting up strikes round itself: the full player backs off, the masher stays.
  grunt.actions[5].codes.push_back(Instruction{3, {40, -46, 220, 92, 60, 16}});  // attack ... damage=16
  KeyEngine full = play(AutoplayStyle::Full, 1);
  EXPECT_TRUE(full.held[HGEK_A]) << "away from the enemy on its right";
  EXPECT_EQ(full.presses[HGEK_J], 0);
  EXPECT_GE(play(AutoplayStyle::Masher, 1).presses[HGEK_J], 1);
  // Not the enemy it fights but another close by, lying: it still backs off from that one.
  CharaData plain;
  Chara near(&world, "plain", 0, 0, 1, 440, 0, 300);
  near.data = &plain;
  near.hp = 50;
  world.charas.push_back(&near);
  enemy->x = 520;
  KeyEngine wary = play(AutoplayStyle::Full, 1);
  EXPECT_TRUE(wary.held[HGEK_A]) << "away from the rising enemy, though another is within reach";
  EXPECT_EQ(wary.presses[HGEK_J], 0);
  enemy->x = 450 + 270;  // beyond the waiting distance: back to the fight
  EXPECT_GE(play(AutoplayStyle::Full, 1).presses[HGEK_J], 1);
  world.charas.pop_back();
  enemy->x = 450;

  // A strike box that does no damage is no reason to wait.
  grunt.actions[5].codes.back().args[5] = 0;
  EXPECT_GE(play(AutoplayStyle::Full, 1).presses[HGEK_J], 1);
}

}  // namespace
