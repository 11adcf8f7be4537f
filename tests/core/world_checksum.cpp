// The world's checksum for replays: every field it covers changes it, and the
// same world gives the same number. (That recording it changes nothing in the
// game is shown by a recorded run's trace in game_replay_test.)
#include <functional>

#include "WorldHelpers.h"
#include "world/WorldChecksum.h"

namespace worldtest {
namespace {

class Checksum : public WorldTest {};

TEST_F(Checksum, EveryFieldItCoversChangesIt) {
  Chara* p = addPlayer(100, 400);
  Chara* e = world().createChara("guai01", 1, 300, 200);
  ASSERT_NE(e, nullptr);
  World& s = world();
  const uint64_t base = worldChecksum(&s, 42);
  EXPECT_EQ(worldChecksum(&s, 42), base);

  struct Field {
    const char* name;
    std::function<void()> change, restore;
  };
  auto real = [](const char* name, double& v) {
    const double old = v;
    return Field{name, [&v] { v += 1.0 / 1024; }, [&v, old] { v = old; }};
  };
  auto whole = [](const char* name, int32_t& v) {
    const int32_t old = v;
    return Field{name, [&v] { v += 1; }, [&v, old] { v = old; }};
  };
  const std::string oldName = s.name;
  const Field fields[] = {
      real("player x", p->x),        real("player y", p->y),       real("player z", p->z),
      real("player vx", p->vx),      real("player vy", p->vy),     real("player vz", p->vz),
      whole("player action", p->action), whole("player pc", p->pc), whole("player hp", p->hp),
      whole("player facing", p->facing), real("enemy x", e->x),    whole("enemy hp", e->hp),
      whole("score", s.hud.score),  whole("kills", s.hud.kills), whole("power", s.hud.power),
      whole("command timer", s.hud.commandTimer), whole("newest command", s.hud.commands[9]),
      whole("oldest command", s.hud.commands[0]), real("camera x", s.cameraX), real("camera y", s.cameraY),
      {"doors", [&s] { s.doorsOpen = !s.doorsOpen; }, [&s] { s.doorsOpen = !s.doorsOpen; }},
      {"scene name", [&s] { s.name += "x"; }, [&s, oldName] { s.name = oldName; }},
  };
  for (const Field& f : fields) {
    f.change();
    EXPECT_NE(worldChecksum(&s, 42), base) << f.name;
    f.restore();
    EXPECT_EQ(worldChecksum(&s, 42), base) << f.name << " restored";
  }
  // The random generator's state, and the order of the objects.
  EXPECT_NE(worldChecksum(&s, 43), base);
  std::swap(s.objects[0], s.objects[1]);
  EXPECT_NE(worldChecksum(&s, 42), base);
  std::swap(s.objects[0], s.objects[1]);
  // An object fewer is another world.
  Obj* last = s.objects.back();
  s.objects.pop_back();
  EXPECT_NE(worldChecksum(&s, 42), base);
  s.objects.push_back(last);
  EXPECT_EQ(worldChecksum(&s, 42), base);
  // Before the world is built, only the random state counts.
  EXPECT_EQ(worldChecksum(nullptr, 7), worldChecksum(nullptr, 7));
  EXPECT_NE(worldChecksum(nullptr, 7), worldChecksum(nullptr, 8));
}

}  // namespace
}  // namespace worldtest
