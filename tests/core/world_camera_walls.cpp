// The camera follows the player with 100 units of slack and stops at the
// scene's edges; walls stop moving bodies 1 unit short.
#include <limits>

#include "WorldHelpers.h"

namespace worldtest {
namespace {

class Camera : public WorldTest {};

TEST_F(Camera, MovesOnlyWhenThePlayerIsMoreThan100UnitsFromTheCentre) {
  Chara* p = addPlayer(500, 100);
  world().width = 1600;
  world().cameraX = 0;
  world().followCamera();
  EXPECT_EQ(world().cameraX, 0);
  p->x = 501;
  world().followCamera();
  EXPECT_EQ(world().cameraX, 1);
  EXPECT_EQ(world().cameraY, 0);
}

TEST_F(Camera, WalkingLeftFrom700MovesItOnceTheTargetFallsBelow200) {
  Chara* p = addPlayer(700, 100);
  world().width = 1600;
  world().cameraX = 300;
  for (int x = 700; x >= 600; --x) {
    p->x = x;
    world().followCamera();
    EXPECT_EQ(world().cameraX, 300) << "player at " << x;
  }
  p->x = 599;
  world().followCamera();
  EXPECT_EQ(world().cameraX, 299);
}

TEST_F(Camera, NeverPassesTheRightEdgeOfAWideScene) {
  Chara* p = addPlayer(0, 100);
  world().width = 1600;
  double highest = 0;
  for (int x = 0; x <= 1600; ++x) {
    p->x = x;
    world().followCamera();
    highest = std::max(highest, world().cameraX);
  }
  EXPECT_EQ(highest, 800);
  EXPECT_EQ(world().cameraX, 800);
}

TEST_F(Camera, InASceneNarrowerThanTheWindowAMoveEndsAtMinus200) {
  addPlayer(501, 100);
  world().width = 600;
  world().followCamera();
  EXPECT_EQ(world().cameraX, -200);
}

// Scene sizes come from data: the edge arithmetic must hold for the extremes
// of a 32-bit width (the sanitizer build stops on an overflow here).
TEST_F(Camera, TheEdgesOfExtremeSceneWidthsNeedNoOverflow) {
  Chara* p = addPlayer(501, 100);
  world().width = std::numeric_limits<int32_t>::min();
  world().followCamera();
  EXPECT_EQ(world().cameraX, double(std::numeric_limits<int32_t>::min()) - 800);

  world().width = std::numeric_limits<int32_t>::max();
  world().cameraX = 0;
  p->x = 2000000000;
  world().followCamera();
  EXPECT_EQ(world().cameraX, 2000000000.0 - 500);
}

class Walls : public WorldTest {};

TEST_F(Walls, ABodyRunningIntoAWallSideStopsOneUnitShort) {
  world().walls = {Box{500, 0, 100, 100, 0, 200}};
  int32_t mx = -99, mz = -99;
  EXPECT_TRUE(world().blockMove(Box{430, 0, 100, 20, 0, 10}, 20, 0, mx, mz));
  EXPECT_EQ(mx, 9);
  EXPECT_EQ(mz, 0);
}

TEST_F(Walls, ABodyRunningIntoAWallFrontStopsOneUnitShort) {
  world().walls = {Box{500, 0, 100, 100, 0, 200}};
  int32_t mx = -99, mz = -99;
  EXPECT_TRUE(world().blockMove(Box{500, 0, 220, 20, 0, 10}, 0, -20, mx, mz));
  EXPECT_EQ(mx, 0);
  EXPECT_EQ(mz, -14);
}

// A body inside a wall wider than 32 bits can count: the way out saturates
// instead of overflowing when its sign is turned (the sanitizer build stopped here).
TEST_F(Walls, TheWayOutOfAHugeWallSaturates) {
  world().walls = {Box{0, 0, 0, 1e10, 0, 200}};
  int32_t mx = 0, mz = 0;
  EXPECT_TRUE(world().blockMove(Box{500, 0, 0, 20, 0, 10}, -1, 0, mx, mz));
  EXPECT_EQ(mx, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(mz, 0);
  // A body deeper than 32 bits can count, its centre in front of a wall.
  world().walls = {Box{1000, 0, 5000, 100, 0, 10}};
  EXPECT_TRUE(world().blockMove(Box{1000, 0, 5200, 20, 0, 1e10}, 0, -1, mx, mz));
  EXPECT_EQ(mx, 0);
  EXPECT_EQ(mz, std::numeric_limits<int32_t>::max());
}

TEST_F(Walls, AFreeWayAnswersFalseAndKeepsTheDisplacement) {
  world().walls = {Box{500, 0, 100, 100, 0, 200}};
  int32_t mx = 0, mz = 0;
  EXPECT_FALSE(world().blockMove(Box{300, 0, 100, 20, 0, 10}, 20, 3, mx, mz));
  EXPECT_EQ(mx, 20);
  EXPECT_EQ(mz, 3);
  // A move that ends with the body's right edge exactly on the wall's left face is free.
  EXPECT_FALSE(world().blockMove(Box{430, 0, 100, 20, 0, 10}, 10, 0, mx, mz));
}

TEST_F(Walls, TheFirstWallThatBlocksAnAxisDecidesIt) {
  // Two walls side by side along x; the body meets both, the first listed wins.
  world().walls = {Box{500, 0, 100, 100, 0, 200}, Box{480, 0, 100, 100, 0, 200}};
  int32_t mx = 0, mz = 0;
  EXPECT_TRUE(world().blockMove(Box{400, 0, 100, 20, 0, 10}, 45, 0, mx, mz));
  EXPECT_EQ(mx, 39);  // 100 - 60 - 1 from the first wall; the second would give 19
}

TEST_F(Walls, APushIntoAWallAlongZMovesOnlyTheWholeNumberAlongX) {
  Chara* p = addPlayer(100, 100);
  // A wall half a unit in front of the body (the body's front is at z 110).
  world().walls = {Box{100, 0, 120.5, 1000, 0, 20}};
  p->body = Box{0, -50, 0, 40, 100, 20};
  p->vx = 2.7;
  p->vz = 1.0;
  p->move();
  EXPECT_EQ(p->x, 102);
  EXPECT_EQ(p->z, 100);

  world().walls.clear();
  p->x = 100;
  p->z = 100;
  p->move();
  EXPECT_DOUBLE_EQ(p->x, 102.7);
  EXPECT_DOUBLE_EQ(p->z, 101);
}

TEST_F(Walls, ASceneGetsFourBorderWallsRoundedTowardZero) {
  writeScene("Plain", sceneNamed("plain", 801, 201));
  ASSERT_TRUE(world().load("Plain"));
  ASSERT_EQ(world().walls.size(), 4u);
  const Box& left = world().walls[0];
  const Box& right = world().walls[1];
  const Box& far = world().walls[2];
  const Box& near = world().walls[3];
  EXPECT_EQ(left.x, -250);
  EXPECT_EQ(left.z, 100);
  EXPECT_EQ(left.width, 500);
  EXPECT_EQ(left.depth, 701);
  EXPECT_EQ(right.x, 1051);
  EXPECT_EQ(right.z, 100);
  EXPECT_EQ(far.x, 400);
  EXPECT_EQ(far.z, -250);
  EXPECT_EQ(far.width, 801);
  EXPECT_EQ(far.depth, 500);
  EXPECT_EQ(near.x, 400);
  EXPECT_EQ(near.z, 451);
  EXPECT_FALSE(world().doorsOpen);
  EXPECT_EQ(world().scenePath, "data/scene/Plain.dat");
}

TEST_F(Walls, ASceneFileWallKeepsItsWidthAndDepthApart) {
  SceneFile s = sceneNamed("walled", 800, 200);
  s.walls.push_back({300, 50, 10, 60, 7});
  writeScene("Walled", s);
  ASSERT_TRUE(world().load("Walled"));
  ASSERT_EQ(world().walls.size(), 5u);
  const Box& b = world().walls[0];
  EXPECT_EQ(b.x, 300);
  EXPECT_EQ(b.z, 50);
  EXPECT_EQ(b.width, 10);
  EXPECT_EQ(b.depth, 60);
  EXPECT_EQ(b.height, 7);
}

}  // namespace
}  // namespace worldtest
