// The per-frame trace line and the result line at exit.
#include <charconv>

#include "WorldHelpers.h"
#include "world/EnemyBehaviour.h"
#include "world/Trace.h"

namespace worldtest {
namespace {

std::string readAll(const std::string &path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class TraceLine : public WorldTest {};

TEST_F(TraceLine, HoldsTheWorldThePlayerAndEachEnemy) {
  Chara *p = addPlayer(100, 400);
  p->vx = 0.1;
  p->y = -1.0 / 3;
  Chara *e = world().createChara("guai01", 1, 300, 200);
  e->aiMode = AI_BACK_OFF;
  world().hud.target = e;
  world().hud.score = 20;
  world().hud.kills = 2;
  world().hud.power = 61;
  world().name = "zd";
  world().cameraX = 12.5;
  world().doorsOpen = true;
  {
    TraceWriter trace("trace.jsonl");
    ASSERT_TRUE(trace.ok()) << trace.error();
    trace.write(world(), 7, 1);
    trace.write(world(), 8, 2);
  }
  const std::string text = readAll("trace.jsonl");
  const size_t firstEnd = text.find('\n');
  ASSERT_NE(firstEnd, std::string::npos);
  const std::string line = text.substr(0, firstEnd);
  EXPECT_EQ(line.rfind("{\"frame\":7,\"state\":1,\"scene\":\"zd\",\"cameraX\":"
                       "12.5,\"doorsOpen\":true,"
                       "\"score\":20,\"kills\":2,\"power\":61,\"gameOver\":"
                       "false,\"objects\":2,\"target\":1,"
                       "\"player\":{\"id\":\"c_morivane\",\"x\":100,",
                       0),
            0u)
      << line;
  EXPECT_NE(line.find("\"vx\":0.1,"), std::string::npos) << line;
  // The number reads back as exactly the same double.
  const size_t at = line.find("\"y\":") + 4;
  double y = 0;
  std::from_chars(line.data() + at, line.data() + line.size(), y);
  EXPECT_EQ(y, -1.0 / 3);
  EXPECT_NE(line.find("\"enemies\":[{\"id\":\"guai01\",\"x\":300,\"y\":0,\"z\":200,"), std::string::npos) << line;
  EXPECT_NE(line.find("\"facing\":0,\"freeze\":0,\"finished\":false,\"aiMode\":2}],"), std::string::npos) << line;
  // Every seat after the enemies, seat 1 first, and the team's continues last.
  EXPECT_NE(line.find("\"players\":[{\"seat\":1,\"state\":\"playing\",\"id\":"
                      "\"c_morivane\",\"x\":100,"),
            std::string::npos)
      << line;
  EXPECT_EQ(line.rfind("\"continues\":3}"), line.size() - 14) << line;
  EXPECT_EQ(line.find("aiMode", line.find("\"player\"")), line.find("aiMode\":2")) << "only enemies carry aiMode";
  EXPECT_NE(text.find("{\"frame\":8,\"state\":2,"), std::string::npos);
}

TEST_F(TraceLine, WithoutATargetItIsNull) {
  addPlayer(100, 400);
  {
    TraceWriter trace("trace.jsonl");
    trace.write(world(), 1, 1);
  }
  EXPECT_NE(readAll("trace.jsonl").find("\"target\":null,"), std::string::npos);
}

TEST_F(TraceLine, AFileThatCannotBeOpenedSaysWhy) {
  TraceWriter trace("no/such/folder/trace.jsonl");
  EXPECT_FALSE(trace.ok());
  EXPECT_NE(trace.error().find("no/such/folder/trace.jsonl"), std::string::npos);
}

class Result : public WorldTest {};

TEST_F(Result, NamesHowTheRunEnded) {
  Chara *p = addPlayer(100, 400);
  world().hud.score = 130;
  world().hud.kills = 3;
  EXPECT_EQ(resultLine(&world(), false, 500), "result=running score=130 kills=3 frames=500");
  EXPECT_EQ(resultLine(&world(), true, 20), "result=quit score=130 kills=3 frames=20");
  world().gameOver = true;
  p->hp = 0;
  EXPECT_EQ(resultLine(&world(), true, 900), "result=defeat score=130 kills=3 frames=900");
  world().name = "zd";
  p->hp = 10;
  EXPECT_EQ(resultLine(&world(), true, 900), "result=victory score=130 kills=3 frames=900");
  EXPECT_EQ(resultLine(nullptr, true, 3), "result=quit score=0 kills=0 frames=3");
}

}  // namespace
}  // namespace worldtest
