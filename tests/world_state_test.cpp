// Saving and restoring the world of the default game: a round trip holds
// every field, a restored world steps to exactly the frames that followed the
// save (also after the world it is restored into has changed scene, and with
// four seats), and a damaged state is refused with the world left as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "base/Random.h"
#include "world/RulesFile.h"
#include "world/World.h"
#include "world/WorldDescription.h"

namespace {

const std::filesystem::path kGame = TERVALEN_BINARY_DIR "/game";

#define NEED_GAME() \
  if (!std::filesystem::exists(kGame / "data")) GTEST_SKIP() << "no game laid out in " << kGame

// A world of the default game with its own generator, stepped by keys that a
// seeded stream presses for each seat (punch often, so fights happen).
class Game {
 public:
  explicit Game(int seats = 1, uint32_t seed = 11) : keys_(seed, 7), seats_(seats) {
    chance_.seed(seed);
    GameRules rules = readGameRules().ok() ? *readGameRules() : GameRules{};
    rules.seatsAtStart = seats;
    rules.playerInvincible = true;  // random keys fall quickly; the fight should go on
    WorldServices services{[](const std::string&) {}, [this](int lo, int hi) { return chance_.range(lo, hi); }};
    world = std::make_unique<World>(rules, std::move(services));
  }
  SeatInputs nextKeys() {
    SeatInputs in;
    for (int s = 1; s <= seats_; ++s)
      for (size_t k = 0; k < GAME_KEY_COUNT; ++k) {
        const uint32_t roll = keys_.next() % 100;
        in[s].held[k] = roll < (k == KEY_D ? 60u : 12u);
        in[s].pressed[k] = roll < (k == KEY_J ? 10u : 3u);
      }
    return in;
  }
  void step(const SeatInputs& in) {
    if (!world->gameOver) world->step(in);
  }
  std::vector<uint8_t> save() const {
    std::vector<uint8_t> bytes;
    world->saveState(chance_.state(), bytes);
    return bytes;
  }
  bool restore(const std::vector<uint8_t>& bytes) {
    Expected<uint64_t> r = world->restoreState(bytes, "state");
    if (r) chance_.setState(*r);
    return r.ok();
  }
  std::string describe() const { return describeWorld(*world, chance_.state()); }

  std::unique_ptr<World> world;

 private:
  Random chance_;
  Random keys_;
  int seats_;
};

class WorldState : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kGame / "data")) return;
    before_ = std::filesystem::current_path();
    std::filesystem::current_path(kGame);
  }
  void TearDown() override {
    if (!before_.empty()) std::filesystem::current_path(before_);
  }
  // Steps `game` until it holds at least `objects` objects (a fight) or `frames` pass.
  static std::vector<SeatInputs> fight(Game& game, size_t objects, int frames) {
    std::vector<SeatInputs> used;
    for (int i = 0; i < frames && game.world->objects.size() < objects && !game.world->gameOver; ++i) {
      used.push_back(game.nextKeys());
      game.step(used.back());
    }
    return used;
  }

 private:
  std::filesystem::path before_;
};

TEST_F(WorldState, ARoundTripHoldsEveryFieldOfABusyFight) {
  NEED_GAME();
  for (int seats : {1, 4}) {
    SCOPED_TRACE(seats);
    Game a(seats);
    // The first scene's thugs, the fighters and a spark or two of a blow.
    fight(a, 6 + static_cast<size_t>(seats), 20000);
    ASSERT_GE(a.world->objects.size(), 6u + static_cast<size_t>(seats)) << "a fight with sparks and enemies";
    ASSERT_GE(a.world->enemyCount(), 2u);
    const std::vector<uint8_t> saved = a.save();
    Game b(seats, 99);
    ASSERT_TRUE(b.restore(saved));
    EXPECT_EQ(b.describe(), a.describe());
    EXPECT_EQ(b.save(), saved) << "saving the restored world gives the same bytes";
    EXPECT_EQ(b.world->fighterCount(), static_cast<size_t>(seats));
    for (const Seat& s : b.world->seats)
      if (s.hud.player)
        EXPECT_NE(std::find(b.world->charas.begin(), b.world->charas.end(), s.hud.player), b.world->charas.end())
            << "no pointer from before";
  }
}

TEST_F(WorldState, ARestoredWorldStepsToTheFramesThatFollowedTheSave) {
  NEED_GAME();
  for (int seats : {1, 4}) {
    SCOPED_TRACE(seats);
    Game a(seats);
    fight(a, 10, 20000);
    ASSERT_FALSE(a.world->gameOver);
    const std::vector<uint8_t> saved = a.save();
    std::vector<SeatInputs> inputs;
    std::vector<uint64_t> sums;
    std::vector<size_t> soundCounts;
    for (int i = 0; i < 1000; ++i) {
      inputs.push_back(a.nextKeys());
      a.step(inputs.back());
      sums.push_back(stateChecksum(a.save()));
      soundCounts.push_back(a.world->sounds.size());
    }
    EXPECT_FALSE(a.world->gameOver) << "a thousand frames of play followed";
    // Into the same world, which has moved on by 1,000 frames.
    ASSERT_TRUE(a.restore(saved));
    for (size_t i = 0; i < inputs.size(); ++i) {
      a.step(inputs[i]);
      ASSERT_EQ(stateChecksum(a.save()), sums[i]) << "frame " << i + 1 << " after the save";
      ASSERT_EQ(a.world->sounds.size(), soundCounts[i]);
    }
  }
}

TEST_F(WorldState, AStateRestoresIntoAWorldThatHasChangedScene) {
  NEED_GAME();
  Game a;
  fight(a, 8, 20000);
  const std::vector<uint8_t> saved = a.save();
  const std::string described = a.describe();
  const std::string scene = a.world->name;
  ASSERT_TRUE(a.world->changeScene("harbor", 100, 400));
  ASSERT_NE(a.world->name, scene);
  ASSERT_TRUE(a.restore(saved));
  EXPECT_EQ(a.world->name, scene);
  EXPECT_EQ(a.describe(), described);
  EXPECT_EQ(a.save(), saved);
}

TEST_F(WorldState, ADamagedStateIsRefusedAndTheWorldStaysAsItWas) {
  NEED_GAME();
  Game a;
  fight(a, 8, 20000);
  const std::vector<uint8_t> good = a.save();
  Game b(1, 5);
  fight(b, 1, 50);
  const std::string before = b.describe();

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* says;
  };
  auto patched = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> bytes = good;
    std::memcpy(bytes.data() + at, &value, sizeof value);
    return bytes;
  };
  std::vector<uint8_t> trailing = good;
  trailing.push_back(0);
  std::vector<Case> cases = {
      {"empty", {}, "mark"},
      {"not a state", std::vector<uint8_t>(64, 'x'), "TVST"},
      {"another version", patched(4, World::kStateVersion + 1), "version"},
      {"trailing bytes", trailing, "after the state"},
      {"cut short", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)),
       "left"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Expected<uint64_t> r = b.world->restoreState(c.bytes, "bad.state");
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().message().find(c.says), std::string::npos) << r.error().message();
    EXPECT_EQ(r.error().file, "bad.state");
    EXPECT_EQ(b.describe(), before) << "the world is left as it was";
  }
  // Every shorter state fails cleanly, none reads past its end.
  for (size_t n = 0; n < good.size(); n += 7) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(b.world->restoreState(cut, "cut").ok()) << n;
  }
  EXPECT_EQ(b.describe(), before);
  EXPECT_TRUE(b.restore(good));
}

}  // namespace
