// The default game's scenes as written in content/scene: every scene lies on
// a way from the first street to the hall, and every enemy placed is worth
// points through the game's own table or the shipped rules file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "world/RulesFile.h"

namespace {

namespace fs = std::filesystem;

const fs::path kContent = fs::path(TERVALEN_SOURCE_DIR) / "content";

struct SceneText {
  std::vector<std::string> doors;    // target scene ids
  std::vector<std::string> enemies;  // character ids
};

std::map<std::string, SceneText> readScenes() {
  std::map<std::string, SceneText> out;
  const std::regex door(R"re(^door "([^"]+)")re"), enemy(R"re(^enemy "([^"]+)")re");
  for (const auto& e : fs::directory_iterator(kContent / "scene")) {
    if (e.path().extension() != ".txt") continue;
    SceneText& s = out[e.path().stem().string()];
    std::ifstream in(e.path());
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
      if (std::regex_search(line, m, door)) s.doors.push_back(m[1]);
      if (std::regex_search(line, m, enemy)) s.enemies.push_back(m[1]);
    }
  }
  return out;
}

TEST(ContentScenes, EveryScenePlaysOnAWayFromTheStreetToTheHall) {
  const auto scenes = readScenes();
  ASSERT_EQ(scenes.count("Test"), 1u);
  ASSERT_EQ(scenes.count("zd"), 1u);
  // Reached from the first street...
  std::set<std::string> reached{"Test"};
  std::vector<std::string> todo{"Test"};
  while (!todo.empty()) {
    const std::string id = todo.back();
    todo.pop_back();
    auto s = scenes.find(id);
    ASSERT_NE(s, scenes.end()) << "a door leads to " << id << ", which has no source";
    for (const std::string& t : s->second.doors)
      if (reached.insert(t).second) todo.push_back(t);
  }
  for (const auto& [id, s] : scenes) {
    EXPECT_EQ(reached.count(id), 1u) << id << " is behind no door of the way from Test";
    // ... and no way ends anywhere but the hall.
    if (id != "zd") {
      EXPECT_FALSE(s.doors.empty()) << id << " has no door on";
    }
  }
  size_t forks = 0;
  for (const auto& [id, s] : scenes) forks += s.doors.size() > 1;
  EXPECT_GE(forks, 2u) << "the way no longer branches twice";
}

// The name a character scores by is its chara line.
std::string charaName(const std::string& id) {
  std::ifstream in(kContent / "chara" / (id + ".txt"));
  const std::regex chara(R"re(^chara "([^"]+)")re");
  std::smatch m;
  for (std::string line; std::getline(in, line);)
    if (std::regex_search(line, m, chara)) return m[1];
  return "";
}

TEST(ContentScenes, EveryEnemyPlacedScores) {
  Expected<GameRules> rules = readGameRules((kContent / "rules.txt").string());
  ASSERT_TRUE(rules) << rules.error().what;
  int placed = 0;
  for (const auto& [id, s] : readScenes())
    for (const std::string& enemy : s.enemies) {
      const std::string name = charaName(enemy);
      ASSERT_FALSE(name.empty()) << id << ": enemy " << enemy << " has no character source";
      EXPECT_GT(rules->valueOf(name).score, 0) << id << ": " << name << " scores nothing";
      EXPECT_GT(rules->valueOf(name).kills, 0) << id << ": " << name << " counts no kill";
      ++placed;
    }
  EXPECT_GE(placed, 30);
}

}  // namespace
