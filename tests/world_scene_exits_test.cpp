// The way on from every scene of the default game that has one door: once the
// scene's enemies are down, a player who walks straight on at the depth it came
// in at reaches the next scene. No wall, prop, held view or beat stops the walk
// (the game's own data and rules, the built game folder).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "base/FileBytes.h"
#include "base/Random.h"
#include "engine_support.h"
#include "format/SceneFile.h"
#include "world/RulesFile.h"
#include "world/World.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = TERVALEN_BINARY_DIR "/game";

// Frames the walk may take: the beat before the doors take anyone, and the
// widest scene (2,200) at a walking pace, with room to spare.
constexpr int kWalkFrames = 3000;

struct SceneAt {
  std::string id, path;
  SceneFile data;
};

TEST(SceneExits, WalkingOnAtTheEntryDepthReachesTheNextSceneOnceItsEnemiesAreDown) {
  if (!fs::exists(kGame / "data" / "scene")) GTEST_SKIP() << "no game folder laid out in " << kGame;
  InDirectory here(kGame);
  Expected<GameRules> base = readGameRules();
  ASSERT_TRUE(base) << base.error().message();

  std::map<std::string, SceneAt> scenes;
  for (const fs::directory_entry& e : fs::directory_iterator("data/scene")) {
    const std::string path = "data/scene/" + e.path().filename().string();
    Expected<std::vector<uint8_t>> bytes = readFileBytes(path);
    ASSERT_TRUE(bytes) << path;
    Expected<SceneFile> scene = parseSceneFile(*bytes, path);
    ASSERT_TRUE(scene) << scene.error().message();
    scenes[e.path().stem().string()] = {e.path().stem().string(), path, std::move(*scene)};
  }
  // Where a player comes into each scene: the rules' start in the first, a door's entry point elsewhere.
  std::map<std::string, std::pair<int32_t, int32_t>> entry{{base->firstScene, {base->playerX, base->playerZ}}};
  for (const auto& [id, s] : scenes)
    for (const SceneFile::DoorEntry& d : s.data.doors) entry.emplace(d.targetScene, std::make_pair(d.entryX, d.entryZ));

  int walked = 0;
  for (const auto& [id, s] : scenes) {
    if (s.data.doors.size() != 1 || !entry.count(id)) continue;
    SCOPED_TRACE("scene " + id);
    ++walked;
    GameRules rules = *base;
    rules.firstScene = id;
    rules.playerX = entry[id].first;
    rules.playerZ = entry[id].second;
    Random chance;
    chance.seed(11);
    WorldServices services;
    services.log = [](const std::string&) {};
    services.random = [&chance](int lo, int hi) { return chance.range(lo, hi); };
    World w(rules, std::move(services));
    ASSERT_TRUE(w.ready()) << w.startError;
    ASSERT_EQ(w.scenePath, s.path);
    ASSERT_GT(w.enemyCount(), 0u);

    FrameInput walk;
    walk.held[KEY_D] = true;
    int frame = 0;
    for (; frame < kWalkFrames && w.scenePath == s.path; ++frame) {
      // Every enemy falls as it comes into play, a stretch after another.
      for (size_t i = w.fighterCount(); i < w.charas.size(); ++i) w.charas[i]->finished = true;
      w.step(walk);
    }
    EXPECT_EQ(w.scenePath, "data/scene/" + s.data.doors.front().targetScene + ".dat")
        << "after " << frame << " frames the player stood at " << w.charas[0]->x << " " << w.charas[0]->z
        << ", the door at " << s.data.doors.front().x << " " << s.data.doors.front().z;
  }
  // The street, the market, the rooftops, the warehouse and the yard.
  EXPECT_EQ(walked, 5);
}

}  // namespace
