// The world holds at most kMaxObjects objects: a prop whose action spawns a
// copy of itself every frame doubles until the cap and stops there, with one
// log line naming the file and the action, and the game goes on.
#include "WorldHelpers.h"

namespace worldtest {
namespace {

class ObjectCap : public WorldTest {};

TEST_F(ObjectCap, ASelfCopyingSpawnStopsAtTheCapWithOneLogLine) {
  // Action 3 spawns another "breeder" in action 3 (opcode 5 from its own file), then waits a frame, forever.
  CharaData breeder = fighter("breeder", 1, 4);
  breeder.actions[3] = act({op(5, {0, 3, 0, 0, 0}), frame(0, 1), op(8, {3, 0})});
  w.writeChara("breeder", breeder);
  addPlayer(100, 100);
  ASSERT_NE(world().createObj("breeder", 3, 0, 0, 1, 500, 0, 100), nullptr);
  size_t previous = world().objects.size();
  int frames = 0;
  while (world().objects.size() < World::kMaxObjects && frames < 40) {
    world().step(FrameInput{});
    ++frames;
    ASSERT_GE(world().objects.size(), previous);
    previous = world().objects.size();
  }
  EXPECT_EQ(world().objects.size(), World::kMaxObjects);
  EXPECT_LT(frames, 20) << "it doubles every frame or two";
  for (int i = 0; i < 5; ++i) world().step(FrameInput{});
  EXPECT_EQ(world().objects.size(), World::kMaxObjects) << "later spawns are dropped";
  EXPECT_EQ(w.logCount("data/chara/breeder.dat: action 3: the world holds all the objects it can"), 1u) << w.log();

  // Sparks and effects are dropped too, once reported; the world plays on.
  EXPECT_EQ(world().createObj("system", 2, 0, 0, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(world().createChara("guai01", 1, 0, 0), nullptr);
  EXPECT_EQ(w.logCount("its limit"), 1u) << w.log();
}

TEST_F(ObjectCap, ObjectsThatFinishInAPassMakeRoomForSpawnsOfTheSamePass) {
  // Fifty sparks that end in this frame, and one spawner at the cap.
  CharaData fade = fighter("fade", 1, 3);
  fade.actions[0] = act({frame(0, 1)});  // over after one frame: finished in the second pass
  w.writeChara("fade", fade);
  CharaData spawner = fighter("spawner", 1, 3);
  spawner.actions[2] = act({frame(0, 1), op(5, {0, 0, 0, 0, 0}), frame(0, 0)});
  w.writeChara("spawner", spawner);
  addPlayer(100, 100);
  while (world().objects.size() < World::kMaxObjects - 51) ASSERT_NE(world().createObj("prop", 0, 0, 0, 1, 0, 0, 0), nullptr);
  for (int i = 0; i < 50; ++i) ASSERT_NE(world().createObj("fade", 0, 0, 0, 0, 0, 0, 0), nullptr);
  ASSERT_NE(world().createObj("spawner", 2, 0, 0, 1, 0, 0, 1), nullptr);
  ASSERT_EQ(world().objects.size(), World::kMaxObjects);
  world().update();  // the first frames run: nothing finishes, nothing spawns
  world().update();  // the sparks finish before the spawner steps: its spawn fits
  EXPECT_EQ(world().objects.size(), World::kMaxObjects - 50 + 1);
  EXPECT_EQ(w.logCount("the world holds all the objects it can"), 0u) << w.log();
}

}  // namespace
}  // namespace worldtest
