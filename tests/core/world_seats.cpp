// Playing together: the camera holds every fighter and the view holds them in,
// enemies go for the nearest fighter, a door takes the team, the team loses
// only when everyone is down, continues, joining, leaving, scores by seat and
// enemies made stronger for a team.
#include "WorldHelpers.h"

namespace worldtest {
namespace {

class Seats : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    // A striker that hits once with a wide attack box for 5 damage.
    CharaData striker = fighter("striker", 10, 2);
    striker.actions[0] = act({frame(0, 1), attackBox(0, -50, 200, 100, 100, 5), armHit(-1, 2, 3, 1, 2), frame(0, 0)});
    w.writeChara("striker", striker);
  }
  // Seat 1 at (x1, z), then seat 2 joined and put at (x2, z), in a scene
  // `width` wide and 500 deep with its border walls.
  std::pair<Chara*, Chara*> two(double x1, double x2, int32_t width = 3000, double z = 300) {
    world().width = width;
    world().depth = 500;
    world().walls = {Box{-250.0, 0.0, 250.0, 500.0, 0.0, 1000.0},
                     Box{width + 250.0, 0.0, 250.0, 500.0, 0.0, 1000.0}};
    Chara* a = addPlayer(static_cast<int32_t>(x1), static_cast<int32_t>(z));
    EXPECT_TRUE(world().join(2));
    Chara* b = world().seat(2).hud.player;
    b->x = x2;
    b->z = z;
    b->protection = 0;
    return {a, b};
  }
  static void fall(Chara* c) {
    c->hp = 0;
    c->action = kPlayerLyingAction;
  }
  static SeatInputs punch(int seat) {
    SeatInputs in;
    in[seat] = pressed({KEY_J});
    return in;
  }
};

TEST_F(Seats, TheCameraFollowsTheMiddleOfTheStandingFightersWithinTheScene) {
  struct Case {
    const char* what;
    double x1, x2;
    int32_t width;
    double cameraBefore, cameraAfter;
    bool firstFallen;
  };
  const Case cases[] = {
      {"far apart in a wide scene: the middle 1350, held within 100", 1000, 1700, 3000, 0, 850, false},
      {"at the left limit", 50, 300, 3000, 500, 0, false},
      {"at the right limit", 1900, 1950, 2000, 0, 1200, false},
      {"a fallen fighter is not followed", 1000, 2000, 4000, 0, 1500, true},
      {"within 100 of the middle the camera stays", 500, 700, 3000, 150, 150, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    w.resetScene();
    auto [a, b] = two(c.x1, c.x2, c.width);
    if (c.firstFallen) fall(a);
    world().cameraX = c.cameraBefore;
    world().followCamera();
    EXPECT_DOUBLE_EQ(world().cameraX, c.cameraAfter);
  }
}

TEST_F(Seats, TheViewsEdgesStopFightersButNotEnemies) {
  auto [a, b] = two(500, 500);
  Chara* enemy = world().createChara("guai01", 1, 1500, 300);
  world().cameraX = 0;
  a->x = 5;
  b->x = 795;
  world().update();
  EXPECT_DOUBLE_EQ(a->x, World::kViewEdge);
  EXPECT_DOUBLE_EQ(b->x, 800 - World::kViewEdge);
  EXPECT_DOUBLE_EQ(enemy->x, 1500) << "enemies stand outside the view as they please";
}

TEST_F(Seats, AFighterAloneIsNotHeldByTheView) {
  Chara* a = addPlayer(5, 300);
  world().width = 3000;
  world().cameraX = 0;
  world().update();
  EXPECT_DOUBLE_EQ(a->x, 5);
}

TEST_F(Seats, EnemiesGoForTheNearestStandingFighterAndTiesGoToTheLowerSeat) {
  struct Case {
    const char* what;
    double x1, z1, x2, z2;
    double ex, ez;
    bool firstFallen, secondFallen;
    int seat;
  };
  const Case cases[] = {
      {"seat 2 nearer along the ground", 100, 300, 700, 300, 600, 300, false, false, 2},
      {"seat 1 nearer in depth", 600, 310, 600, 400, 600, 300, false, false, 1},
      {"a tie goes to seat 1", 500, 300, 700, 300, 600, 300, false, false, 1},
      {"a fallen fighter is passed over", 590, 300, 900, 300, 600, 300, true, false, 2},
      {"everyone fallen: seat 1's", 100, 300, 600, 300, 600, 300, true, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    w.resetScene();
    auto [a, b] = two(c.x1, c.x2);
    a->z = c.z1;
    b->z = c.z2;
    if (c.firstFallen) fall(a);
    if (c.secondFallen) fall(b);
    const Chara* target = world().targetFor(c.ex, c.ez);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->seat, c.seat);
  }
}

TEST_F(Seats, ADoorTakesTheWholeTeamAndTheOthersStandBesideTheEntryOutsideWalls) {
  SceneFile next = sceneNamed("next", 2000, 500);
  next.walls.push_back({70, 300, 40, 100, 100});  // a wall just left of the entry point
  writeScene("Next", next);
  auto [a, b] = two(100, 300);
  world().name = "here";
  world().doors = {World::Door{"Next", 300, 300, 150, 300}};
  world().doorsOpen = true;
  world().useDoors();
  ASSERT_EQ(world().name, "next");
  EXPECT_EQ(b->x, 150) << "the one who took the door stands on the entry point";
  EXPECT_EQ(b->z, 300);
  EXPECT_EQ(world().fighterCount(), 2u);
  EXPECT_FALSE(a->x == b->x && a->z == b->z) << "seat 1 beside it, not on it";
  const Box body = a->worldBody();
  for (const Box& wall : world().walls) EXPECT_FALSE(overlaps(body, wall)) << "never inside a wall";
  EXPECT_EQ(std::count(world().objects.begin(), world().objects.end(), a), 1);
  EXPECT_EQ(std::count(world().objects.begin(), world().objects.end(), b), 1);
}

TEST_F(Seats, TheTeamLosesOnlyWhenEveryoneIsDownAndCannotContinue) {
  auto [a, b] = two(300, 500);
  world().continuesLeft = 0;
  fall(a);
  world().update();
  EXPECT_FALSE(world().gameOver) << "seat 2 still fights";
  EXPECT_EQ(world().seat(1).state, Seat::OUT);
  fall(b);
  world().update();
  EXPECT_TRUE(world().gameOver);
  EXPECT_TRUE(world().playerDefeated());
}

TEST_F(Seats, AFallenFighterContinuesWithPunchWithinTenSeconds) {
  auto [a, b] = two(300, 500);
  ASSERT_EQ(world().continuesLeft, GameRules::kTeamContinues);
  fall(a);
  world().update();
  EXPECT_EQ(world().seat(1).continueFrames, World::kContinueFrames);
  EXPECT_FALSE(world().gameOver);
  world().controlPlayers(punch(1));
  const Chara* back = world().seat(1).hud.player;
  ASSERT_NE(back, nullptr);
  EXPECT_NE(back, a) << "a fresh fighter";
  EXPECT_EQ(back->hp, 100);
  EXPECT_EQ(back->protection, World::kDropInProtection);
  EXPECT_EQ(world().continuesLeft, GameRules::kTeamContinues - 1);
  EXPECT_EQ(world().seat(1).continueFrames, 0);
  EXPECT_EQ(world().charas[0], back) << "the fighters keep seat order";

  // Not pressed in time: out.
  fall(world().seat(2).hud.player);
  for (int i = 0; i <= World::kContinueFrames; ++i) world().update();
  EXPECT_EQ(world().seat(2).state, Seat::OUT);
  EXPECT_FALSE(world().gameOver) << "seat 1 stands";
}

TEST_F(Seats, APlayerAloneWithoutARulesLineHasNoContinue) {
  Chara* a = addPlayer(300, 300);
  fall(a);
  world().update();
  EXPECT_TRUE(world().gameOver) << "the game ends at the first fall, as a game for one always has";
  EXPECT_EQ(world().seat(1).continueFrames, 0);
}

TEST_F(Seats, PunchOnAFreeSeatJoinsAtTheLeftOfTheViewProtectedForAMoment) {
  Chara* a = addPlayer(600, 300);
  world().width = 3000;
  world().cameraX = 200;
  world().controlPlayers(punch(3));
  const Seat& third = world().seat(3);
  ASSERT_EQ(third.state, Seat::PLAYING);
  const Chara* c = third.hud.player;
  ASSERT_NE(c, nullptr);
  EXPECT_GE(c->x, 200 + World::kViewEdge);
  EXPECT_LT(c->x, 400);
  EXPECT_EQ(c->z, a->z);
  EXPECT_EQ(c->protection, World::kDropInProtection);
  EXPECT_EQ(world().fighterCount(), 2u);
  EXPECT_EQ(world().charas[1], c) << "after seat 1, before the enemies";
  EXPECT_EQ(world().seatsEverJoined(), 2);

  // A hit while protected does not land.
  world().createObj("striker", 0, 0, 0, 1, c->x, 0, c->z + 1);
  const int32_t hp = c->hp;
  world().update();
  world().update();
  EXPECT_EQ(c->hp, hp);
}

TEST_F(Seats, NobodyJoinsAGameThatIsOverAndTheLastSeatCannotLeave) {
  addPlayer(300, 300);
  EXPECT_FALSE(world().leave(1)) << "the last seat that plays";
  world().gameOver = true;
  EXPECT_FALSE(world().join(2));
  world().gameOver = false;
  EXPECT_TRUE(world().join(2));
  EXPECT_FALSE(world().join(2)) << "a seat that plays cannot join again";
  EXPECT_FALSE(world().join(5));
  EXPECT_FALSE(world().join(0));
  const Chara* second = world().seat(2).hud.player;
  EXPECT_TRUE(world().leave(2));
  EXPECT_EQ(world().seat(2).state, Seat::FREE);
  EXPECT_EQ(world().fighterCount(), 1u);
  EXPECT_EQ(std::count(world().objects.begin(), world().objects.end(), second), 0);
}

TEST_F(Seats, ADefeatedEnemyScoresForTheSeatThatStruckItLast) {
  two(2000, 2100);
  Chara* e = world().createChara("guai01", 1, 300, 100);
  e->hp = 5;
  Obj* s = world().createObj("striker", 0, 0, 0, 0, 300, 0, 101);
  s->seat = 2;
  for (int i = 0; i < 200 && world().enemyCount() > 0; ++i) world().update();
  ASSERT_EQ(world().enemyCount(), 0u);
  EXPECT_EQ(world().seat(2).hud.score, 10);
  EXPECT_EQ(world().seat(2).hud.kills, 1);
  EXPECT_EQ(world().seat(1).hud.score, 0);
}

TEST_F(Seats, EnemiesEnteringWithATeamHaveMoreHitPoints) {
  SceneFile crowd = sceneNamed("crowd", 2000, 500);
  crowd.charas.push_back({"guai01", 600, 300, 0});
  writeScene("Crowd", crowd);
  two(100, 200);
  ASSERT_TRUE(world().changeScene("Crowd", 100, 300));
  ASSERT_EQ(world().enemyCount(), 1u);
  const Chara* e = world().charas[world().fighterCount()];
  EXPECT_EQ(e->hp, 30 * (100 + world().rules.coopHpPercent) / 100);
  EXPECT_EQ(e->fullHp(), e->hp);
}

}  // namespace
}  // namespace worldtest

namespace worldtest {
namespace {

TEST_F(Seats, JoiningInTheFrameADoorIsTakenLandsInTheNewSceneAndNoneJoinsAtTheEnd) {
  writeScene("Next", sceneNamed("next", 2000, 500));
  Chara* a = addPlayer(300, 300);
  world().name = "here";
  world().doors = {World::Door{"Next", 300, 300, 150, 300}};
  world().doorsOpen = true;
  SeatInputs in;
  in[2] = pressed({KEY_J});
  world().step(in);
  ASSERT_EQ(world().name, "next");
  ASSERT_EQ(world().seat(2).state, Seat::PLAYING);
  EXPECT_EQ(std::count(world().objects.begin(), world().objects.end(), world().seat(2).hud.player), 1);

  // The game ends in this frame's update: nobody joins after it.
  a->hp = 0;
  a->action = kPlayerLyingAction;
  world().seat(2).hud.player->hp = 0;
  world().seat(2).hud.player->action = kPlayerLyingAction;
  world().continuesLeft = 0;
  SeatInputs late;
  late[3] = pressed({KEY_J});
  world().step(late);
  EXPECT_TRUE(world().gameOver);
  EXPECT_EQ(world().seat(3).state, Seat::FREE);
}

}  // namespace
}  // namespace worldtest
