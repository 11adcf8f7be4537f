// The grids of the object pass (walls near a moving body, objects near an
// attack) give exactly what testing every wall and every object gives: the
// same blocks, the same hits in the same order, frame after frame, on
// randomized worlds with penned, armed, stacked, huge and far-out objects.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "WorldHelpers.h"
#include "base/Random.h"
#include "object/ScriptNumber.h"
#include "world/WallGrid.h"
#include "world/WorldChecksum.h"

namespace worldtest {
namespace {

Instruction velocity(double vx, double vz) { return op(1, {vx, 0, vz, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0}); }

Box randomWall(Random& r) {
  if (r.range(0, 9) == 0)  // now and then a wall across most of the scene
    return Box{double(r.range(0, 2000)), 0, double(r.range(0, 400)), double(r.range(500, 4000)), 0,
               double(r.range(1, 30))};
  return Box{double(r.range(0, 2000)), 0, double(r.range(0, 400)), double(r.range(-5, 200)), 0,
             double(r.range(-5, 100))};
}

// The wall test as its rule reads: every wall in the scene's order, the first
// that stops the body on x sets mx, the first that stops it on z sets mz.
bool wallsInOrder(const std::vector<Box>& walls, const Box& body, int32_t dx, int32_t dz, int32_t& mx, int32_t& mz) {
  mx = dx;
  mz = dz;
  bool any = false, blockedX = false, blockedZ = false;
  for (const Box& w : walls) {
    if (!(std::fabs(body.z + dz - w.z) < (body.depth + w.depth) / 2)) continue;
    if (!(std::fabs(body.x + dx - w.x) < (body.width + w.width) / 2)) continue;
    any = true;
    if (std::fabs(body.z - w.z) < w.depth / 2) {
      if (blockedX) continue;
      const double gap = std::fabs(w.x - body.x) - (body.width + w.width) / 2 - 1;
      mx = toInt32(body.x >= w.x ? -gap : gap);
      blockedX = true;
    } else if (!blockedZ) {
      const double gap = std::fabs(w.z - body.z) - (body.depth + w.depth) / 2 - 1;
      mz = toInt32(body.z >= w.z ? -gap : gap);
      blockedZ = true;
    }
  }
  return any;
}

TEST(WallGrid, AnswersEveryWallTestAsTestingEveryWallInOrderDoes) {
  int blocked = 0;
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    Random r(seed);
    std::vector<Box> walls;
    const int count = r.range(0, 120);
    for (int i = 0; i < count; ++i) walls.push_back(randomWall(r));
    WallGrid grid;
    grid.update(walls);
    for (int q = 0; q < 2000; ++q) {
      Box body{r.range(-100, 2100) + r.range(0, 99) / 100.0, 0, r.range(-50, 450) + r.range(0, 99) / 100.0,
               double(r.range(-10, 120)), 100, double(r.range(-10, 60))};
      if (q % 97 == 0) body.x = std::numeric_limits<double>::quiet_NaN();
      if (q % 89 == 0) body.width = 1e12;
      if (q % 83 == 0) body.z = -5e9;
      const int32_t dx = r.range(-8, 8), dz = r.range(-4, 4);
      int32_t gx = 0, gz = 0, px = 0, pz = 0, ox = 0, oz = 0;
      const bool withGrid = blockMoveAmongWalls(walls, &grid, body, dx, dz, gx, gz);
      const bool plain = blockMoveAmongWalls(walls, nullptr, body, dx, dz, px, pz);
      const bool inOrder = wallsInOrder(walls, body, dx, dz, ox, oz);
      ASSERT_EQ(withGrid, plain) << "seed " << seed << " query " << q;
      ASSERT_EQ(gx, px) << "seed " << seed << " query " << q;
      ASSERT_EQ(gz, pz) << "seed " << seed << " query " << q;
      ASSERT_EQ(plain, inOrder) << "seed " << seed << " query " << q;
      ASSERT_EQ(px, ox) << "seed " << seed << " query " << q;
      ASSERT_EQ(pz, oz) << "seed " << seed << " query " << q;
      blocked += plain;
    }
  }
  EXPECT_GT(blocked, 1000);  // the walls were really in the way, often
}

TEST(WallGrid, IsMadeAgainWhenTheWallsChange) {
  std::vector<Box> walls;
  for (int i = 0; i < 40; ++i) walls.push_back(Box{i * 50.0, 0, 100, 10, 0, 10});
  WallGrid grid;
  grid.update(walls);
  ASSERT_TRUE(grid.ready());
  const Box body{1000, 0, 300, 20, 100, 20};
  int32_t mx = 0, mz = 0;
  EXPECT_FALSE(blockMoveAmongWalls(walls, &grid, body, 0, 0, mx, mz));
  walls[3] = Box{1000, 0, 300, 10, 0, 10};  // moved in place: same count, new place
  grid.update(walls);
  EXPECT_TRUE(blockMoveAmongWalls(walls, &grid, body, 0, 0, mx, mz));
}

// Two identical worlds, one with the grids and one testing everything.
class BroadPhase : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    CharaData brawler = fighter("brawler", 60);
    const Action strike = act({bodyBox(0, -50, 40, 100, 20), velocity(2, 0.5), frame(0, 6),
                               attackBox(30, -50, 60, 100, 30, 3), armHit(1.5, 2, 1, 0, 12), velocity(-2, -0.5),
                               frame(0, 6), attackBox(-20, -50, 90, 100, 40, 2), armHit(-1, 1, 0, 0, 12), frame(0, 3),
                               op(8, {0, 1})});
    brawler.actions[0] = strike;
    brawler.actions[1] = strike;
    brawler.actions[8] = act({bodyBox(0, -50, 40, 100, 20), frame(0, 5)});
    brawler.actions[12] = act({bodyBox(0, -10, 10, 10, 10), frame(0, 4)});  // the spark: can be hit itself
    w.writeChara("brawler", brawler);
    CharaData mote = fighter("mote", 1, 4);
    mote.actions[0] = act({bodyBox(0, -5, 12, 10, 8), velocity(3, 1), frame(0, 9), velocity(-3, -1), frame(0, 9),
                           op(8, {0, 1})});
    mote.actions[1] = act({frame(0, 0)});  // no body at all
    mote.actions[2] = act({bodyBox(0, -5, -30, 10, 8), velocity(0, 2), frame(0, 0)});  // a negative width
    mote.actions[3] = act({bodyBox(0, -5, 5000, 10, 8), frame(0, 0)});                 // a huge body
    w.writeChara("mote", mote);
    w.writeChara("system", systemEffects());
  }

  static void populate(World& world, uint32_t seed) {
    Random r(seed);
    const int walls = r.range(30, 90);
    for (int i = 0; i < walls; ++i) world.walls.push_back(randomWall(r));
    const int fighters = r.range(40, 160), motes = r.range(50, 200);
    for (int i = 0; i < fighters; ++i) {
      const int32_t x = r.range(0, 2000), z = r.range(0, 400);
      if (i % 7 == 3) {
        world.createChara("brawler", 0, 700, 200);  // a crowd on one spot
      } else if (i % 5 == 0) {
        world.createObj("brawler", 0, 0, r.range(0, 1), r.range(0, 2), x, 0, z);  // armed, cannot be hurt
      } else {
        world.createChara("brawler", r.range(0, 2), x, z);
      }
    }
    for (int i = 0; i < motes; ++i) {
      const double x = i % 41 == 0 ? 3e9 : r.range(0, 2000);  // now and then one far out
      world.createObj("mote", r.range(0, 3), 0, r.range(0, 1), r.range(0, 2), x, 0, r.range(0, 400));
    }
  }
};

TEST_F(BroadPhase, TheSameHitsAndBlocksInTheSameOrderAsTestingEverything) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    Random chanceA(seed), chanceB(seed);
    World grids(WorldServices{{}, [&](int lo, int hi) { return chanceA.range(lo, hi); }}, World::Bare{});
    World plain(WorldServices{{}, [&](int lo, int hi) { return chanceB.range(lo, hi); }}, World::Bare{});
    plain.broadPhase = false;
    populate(grids, seed);
    populate(plain, seed);
    ASSERT_EQ(grids.objects.size(), plain.objects.size());
    int32_t lostHp = 0;
    size_t sparks = 0;
    for (int frame = 0; frame < 300; ++frame) {
      grids.update();
      plain.update();
      ASSERT_EQ(grids.objects.size(), plain.objects.size()) << "seed " << seed << " frame " << frame;
      ASSERT_EQ(worldChecksum(&grids, 0), worldChecksum(&plain, 0)) << "seed " << seed << " frame " << frame;
      for (const Obj* o : grids.objects) sparks += !o->asChara() && o->id() == "brawler" && o->action == 12;
    }
    for (const Chara* c : grids.charas) lostHp += c->data->maxHp - c->hp;
    // The worlds really fought: hit points were lost and sparks were thrown.
    EXPECT_GT(lostHp, 0) << "seed " << seed;
    EXPECT_GT(sparks, 100u) << "seed " << seed;
  }
}

}  // namespace
}  // namespace worldtest
