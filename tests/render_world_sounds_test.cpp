// The sounds the world asked for in a frame reach the engine: each different
// sound once, at the volume the world gave it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "StubEngine.h"
#include "render/PictureSets.h"
#include "render/WorldRenderer.h"
#include "world/World.h"

namespace {

// Hands out a new handle for every sound loaded and records what is played.
class SoundEngine : public testengine::StubEngine {
 public:
  std::vector<std::pair<HEFFECT, int>> played;  // handle, volume
  HEFFECT Effect_Load(const char*, uint32_t) override { return next_++; }
  HCHANNEL Effect_PlayEx(HEFFECT effect, int volume, int, float, bool) override {
    played.push_back({effect, volume});
    return 0;
  }

 private:
  HEFFECT next_ = 1;
};

ResourceCatalog twoSetsOfSounds() {
  ResourceCatalog c;
  c.entries.push_back({"system", {}, {"punch.wav", "swing.wav"}});
  c.entries.push_back({"hero", {}, {"punch.wav"}});
  return c;
}

World bareWorld() { return World(WorldServices{[](const std::string&) {}, [](int lo, int) { return lo; }}, World::Bare{}); }

TEST(WorldSounds, TheSameSoundTwiceInOneFrameIsPlayedOnceAndDifferentOnesAllPlay) {
  SoundEngine engine;
  PictureSets sets(&engine, twoSetsOfSounds());
  World world = bareWorld();
  // One blow lands on two enemies (two punches), the hero swings, and another
  // set's sound of the same file name is a different sound.
  world.sounds = {{0, 0, 50}, {0, 1, 50}, {0, 0, 50}, {1, 0, 40}, {0, 1, 50}};
  playWorldSounds(&engine, sets, world);
  ASSERT_EQ(engine.played.size(), 3u);
  const HEFFECT punch = sets.sound(0, 0), swing = sets.sound(0, 1), heroPunch = sets.sound(1, 0);
  EXPECT_NE(punch, heroPunch);
  EXPECT_EQ(engine.played[0], std::make_pair(punch, 50));
  EXPECT_EQ(engine.played[1], std::make_pair(swing, 50));
  EXPECT_EQ(engine.played[2], std::make_pair(heroPunch, 40));
}

TEST(WorldSounds, EachFrameStartsAfresh) {
  SoundEngine engine;
  PictureSets sets(&engine, twoSetsOfSounds());
  World world = bareWorld();
  world.sounds = {{0, 0, 50}};
  playWorldSounds(&engine, sets, world);
  playWorldSounds(&engine, sets, world);
  EXPECT_EQ(engine.played.size(), 2u) << "a sound asked for in two frames plays in both";
}

}  // namespace
