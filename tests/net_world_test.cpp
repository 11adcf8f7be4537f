// Two machines playing the default game for two seats through rollback
// sessions over a lossy, jittery link: every agreed check matches, no desync,
// and the keys each recorded play offline through the same states.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "NetLink.h"
#include "game_program.h"
#include "net/RollbackSession.h"
#include "net/WorldRollbackGame.h"
#include "world/RulesFile.h"

namespace {

struct Machine {
  Random chance;
  std::unique_ptr<World> world;
  std::unique_ptr<WorldRollbackGame> game;
  std::unique_ptr<RollbackSession> session;
  std::vector<SeatInputs> agreed;
  int seat = 1, presses = 0;
};

std::unique_ptr<World> newWorld(const GameRules &rules, Random &chance) {
  chance.seed(11);
  return std::make_unique<World>(
      rules, WorldServices{[](const std::string &) {}, [&chance](int lo, int hi) { return chance.range(lo, hi); }});
}

FrameInput keysOf(int seat, int n) {
  Random r(static_cast<uint64_t>(seat) * 104729u + static_cast<uint64_t>(n / 7));
  FrameInput in;
  in.held[KEY_D] = r.range(0, 2) != 0;
  in.held[KEY_W] = r.range(0, 4) == 0;
  in.held[KEY_S] = !in.held[KEY_W] && r.range(0, 4) == 0;
  in.pressed[KEY_J] = n % 9 == 0;
  in.pressed[KEY_K] = n % 61 == 0;
  return in;
}

TEST(NetWorld, TwoMachinesPlayTheDefaultGameToTheSameStates) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "no game laid out";
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(TERVALEN_BINARY_DIR "/game");
  GameRules rules = *readGameRules();
  rules.seatsAtStart = 2;
  NetLink link({8, 2, 5, 5}, 9);
  Machine m[2];
  for (int side = 0; side < 2; ++side) {
    Machine &me = m[side];
    me.seat = side + 1;
    me.world = newWorld(rules, me.chance);
    me.game = std::make_unique<WorldRollbackGame>(*me.world, me.chance);
    SessionSetup setup;
    setup.seats = 2;
    setup.ownerOfSeat[1] = side == 0 ? 0 : 1;
    setup.ownerOfSeat[2] = side == 0 ? 1 : 0;
    me.session = std::make_unique<RollbackSession>(setup, *me.game, link.end(side));
    me.session->onAgreed([&me](int, const SeatInputs &in) { me.agreed.push_back(in); });
  }
  for (int t = 0; t < 1500; ++t) {
    for (Machine &me : m) {
      if (me.session->idleNow()) continue;
      me.session->addLocalInput(me.seat, keysOf(me.seat, me.presses++));
      ASSERT_NE(me.session->advance(), RollbackSession::Advance::STOPPED) << me.session->failure();
      ASSERT_EQ(me.game->error(), "");
    }
    link.tick();
  }
  ASSERT_GE(m[0].session->checks().size(), 8u);
  EXPECT_EQ(m[0].session->checks().back().sum, m[1].session->checks().back().sum);
  EXPECT_GT(m[0].session->stats().rollbacks, 10);
  // The recording of machine 0 played offline, without any rollback.
  Random chance;
  std::unique_ptr<World> offline = newWorld(rules, chance);
  const InputPacket::Check last = m[0].session->checks().back();
  for (int f = 0; f < last.frame; ++f) offline->step(m[0].agreed.at(static_cast<size_t>(f)));
  std::vector<uint8_t> bytes;
  offline->saveState(chance.state(), bytes);
  EXPECT_EQ(stateBytesChecksum(bytes), last.sum);
  EXPECT_EQ(offline->seatsPlaying(), 2);
  std::filesystem::current_path(before);
}

}  // namespace
