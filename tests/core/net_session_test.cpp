// Rollback sessions between two machines in one process, over a link that
// delays, jitters, reorders, duplicates and loses datagrams: both machines
// step the same frames to the same states, a late key is guessed and then
// corrected, a planted difference is found as a desync at the first checked
// frame after it, a machine that runs ahead slows down, and keys from a peer
// for a seat it does not hold change nothing.
#include <gtest/gtest.h>

#include <cstring>

#include "NetLink.h"
#include "net/RollbackSession.h"

namespace {

// A small game whose every key changes its state for good, so a wrong guess
// that is never corrected shows in every later state.
class MixGame : public RollbackGame {
 public:
  struct State {
    uint64_t mix = 1;
    int32_t frame = 0;
    std::array<int32_t, 5> x{};
  };
  State s;
  int plantAt = -1;  // a step that goes differently here (a fault to find)
  int steps = 0, againSteps = 0;

  void saveState(std::vector<uint8_t> &out) override {
    out.resize(sizeof(State));
    std::memcpy(out.data(), &s, sizeof(State));
  }
  void loadState(std::span<const uint8_t> bytes) override {
    ASSERT_EQ(bytes.size(), sizeof(State));
    std::memcpy(&s, bytes.data(), sizeof(State));
  }
  void step(const SeatInputs &in, int, bool again) override {
    ++steps;
    againSteps += again ? 1 : 0;
    for (int seat = 1; seat <= 4; ++seat) {
      const InputCode code = encodeInput(in[seat]);
      s.x[static_cast<size_t>(seat)] += in[seat].held[KEY_D] - in[seat].held[KEY_A];
      s.mix = (s.mix ^ code) * 0x100000001b3ULL + static_cast<uint64_t>(seat);
    }
    if (s.frame == plantAt) s.mix += 1;
    ++s.frame;
  }
};

// Keys that change every few frames, different for each seat.
FrameInput scriptedKeys(int seat, int n) {
  Random r(static_cast<uint64_t>(seat) * 7919u + static_cast<uint64_t>(n / 5));
  FrameInput in;
  for (size_t k = 0; k < GAME_KEY_COUNT; ++k) in.held[k] = r.range(0, 3) == 0;
  in.pressed[KEY_J] = n % 11 == 0;
  return in;
}

SessionSetup setupFor(int side) {
  SessionSetup s;
  s.seats = 2;
  s.ownerOfSeat[1] = side == 0 ? 0 : 1;
  s.ownerOfSeat[2] = side == 0 ? 1 : 0;
  return s;
}

struct Machine {
  MixGame game;
  RollbackSession session;
  int seat;
  int presses = 0;
  std::vector<SeatInputs> agreed;  // the session's recording
  Machine(NetLink &link, int side) : session(setupFor(side), game, link.end(side)), seat(side + 1) {
    session.onAgreed([this](int frame, const SeatInputs &in) {
      EXPECT_EQ(frame, static_cast<int>(agreed.size()));
      agreed.push_back(in);
    });
  }
  // One tick of the machine's loop: its player's keys, then a frame.
  RollbackSession::Advance tick(bool obeyIdle) {
    if (obeyIdle && session.idleNow()) return RollbackSession::Advance::WAITING;
    session.addLocalInput(seat, scriptedKeys(seat, presses++));
    return session.advance();
  }
};

// A machine's recording played offline up to the state before `frames`.
std::vector<uint8_t> offline(const Machine &m, int frames) {
  MixGame g;
  for (int f = 0; f < frames; ++f) g.step(m.agreed.at(static_cast<size_t>(f)), f, false);
  std::vector<uint8_t> bytes;
  g.saveState(bytes);
  return bytes;
}

TEST(RollbackSession, TwoMachinesOverABadLinkStepTheSameFrames) {
  const struct {
    const char *name;
    LinkShape link;
  } cases[] = {
      {"perfect", {0, 0, 0, 0}},
      {"80 ms, 20 jitter, 5% loss", {8, 2, 5, 5}},
      {"150 ms, 40 jitter, 10% loss, duplicates", {15, 4, 10, 20}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    NetLink link(c.link, 5);
    Machine a(link, 0), b(link, 1);
    for (int t = 0; t < 3000; ++t) {
      ASSERT_NE(a.tick(true), RollbackSession::Advance::STOPPED) << a.session.failure();
      ASSERT_NE(b.tick(true), RollbackSession::Advance::STOPPED) << b.session.failure();
      link.tick();
    }
    ASSERT_GT(a.session.frame(), 2000);
    ASSERT_FALSE(a.session.checks().empty());
    EXPECT_EQ(a.session.checks().back().frame, b.session.checks().back().frame);
    EXPECT_EQ(a.session.checks().back().sum, b.session.checks().back().sum);
    // Both recorded the same keys, and those keys played offline pass through
    // the state each machine checked.
    const size_t agreed = std::min(a.agreed.size(), b.agreed.size());
    ASSERT_GT(agreed, 2000u);
    for (size_t f = 0; f < agreed; ++f)
      for (int seat = 1; seat <= 2; ++seat)
        ASSERT_EQ(encodeInput(a.agreed[f][seat]), encodeInput(b.agreed[f][seat])) << "frame " << f;
    const InputPacket::Check last = a.session.checks().back();
    EXPECT_EQ(stateBytesChecksum(offline(a, last.frame)), last.sum);
    if (c.link.latency > 0) {
      EXPECT_GT(a.session.stats().rollbacks + b.session.stats().rollbacks, 0);
    }
    EXPECT_LE(a.session.stats().longestRollback, 8);
    // Several frames of keys in each packet, and well under 8 KB a second at
    // 100 frames a second.
    EXPECT_LT(a.session.stats().bytesSent / (a.session.stats().packetsSent / 100 + 1), 8 * 1024);
  }
}

TEST(RollbackSession, JoinersLinkedOnlyToTheHostHearEachOtherThroughIt) {
  for (int machines : {3, 4}) {
    SCOPED_TRACE(std::to_string(machines) + " machines");
    NetLink link({6, 2, 5, 5}, 11, machines);
    std::vector<std::unique_ptr<MixGame>> games;
    std::vector<std::unique_ptr<RollbackSession>> sessions;
    std::vector<std::vector<SeatInputs>> agreed(static_cast<size_t>(machines));
    for (int m = 0; m < machines; ++m) {
      SessionSetup setup;
      setup.seats = machines;
      // The host (machine 0) plays seat 1, joiner m seat m + 1.
      for (int seat = 1; seat <= machines; ++seat)
        setup.ownerOfSeat[static_cast<size_t>(seat)] = seat == m + 1 ? 0 : (m == 0 ? seat - 1 : 1);
      games.push_back(std::make_unique<MixGame>());
      sessions.push_back(std::make_unique<RollbackSession>(setup, *games.back(), link.end(m)));
      sessions.back()->onAgreed([&agreed, m](int, const SeatInputs &in) { agreed[static_cast<size_t>(m)].push_back(in); });
    }
    for (int t = 0; t < 3000; ++t) {
      for (int m = 0; m < machines; ++m) {
        RollbackSession &s = *sessions[static_cast<size_t>(m)];
        if (s.idleNow()) continue;
        s.addLocalInput(m + 1, scriptedKeys(m + 1, t));
        ASSERT_NE(s.advance(), RollbackSession::Advance::STOPPED) << s.failure();
      }
      link.tick();
    }
    // Every machine agreed on every seat's keys, and checked the same states.
    size_t common = SIZE_MAX;
    for (const auto &a : agreed) common = std::min(common, a.size());
    ASSERT_GT(common, 1500u);
    for (int m = 1; m < machines; ++m) {
      for (size_t f = 0; f < common; ++f)
        for (int seat = 1; seat <= machines; ++seat)
          ASSERT_EQ(encodeInput(agreed[0][f][seat]), encodeInput(agreed[static_cast<size_t>(m)][f][seat]))
              << "machine " << m << " frame " << f << " seat " << seat;
      int compared = 0;
      for (const InputPacket::Check &c : sessions[0]->checks())
        for (const InputPacket::Check &d : sessions[static_cast<size_t>(m)]->checks())
          if (c.frame == d.frame) {
            EXPECT_EQ(c.sum, d.sum) << "frame " << c.frame;
            ++compared;
          }
      EXPECT_GT(compared, 0);
    }
    // The joiners' own keys went through: each seat pressed something.
    for (int seat = 2; seat <= machines; ++seat) {
      bool pressed = false;
      for (size_t f = 0; f < common && !pressed; ++f) pressed = agreed[0][f][seat].pressed[KEY_J];
      EXPECT_TRUE(pressed) << "seat " << seat;
    }
  }
}

TEST(RollbackSession, ALateKeyIsGuessedThenCorrectedByRollingBack) {
  NetLink link({}, 1);
  MixGame game;
  RollbackSession a(setupFor(0), game, link.end(0));
  // Seat 2's machine is silent: a steps on guesses (nothing held) up to its
  // limit.
  for (int t = 0; t < 6; ++t) ASSERT_EQ(a.advance(), RollbackSession::Advance::STEPPED);
  EXPECT_EQ(a.confirmedFrame(), 0);
  // Seat 2 held D from frame 3: the keys of frames 0-5 arrive at once.
  InputPacket late;
  late.frame = 6;
  late.ack = 0;
  InputRun run{2, 0, {}};
  FrameInput right;
  right.held[KEY_D] = true;
  for (int f = 0; f < 6; ++f) run.codes.push_back(f < 3 ? InputCode{0} : encodeInput(right));
  late.runs.push_back(run);
  link.inject(0, writeInputPacket(late));
  ASSERT_EQ(a.advance(), RollbackSession::Advance::STEPPED);
  EXPECT_EQ(a.stats().rollbacks, 1);
  EXPECT_EQ(a.stats().longestRollback, 3) << "frames 3 to 5 were guessed wrong";
  EXPECT_EQ(game.againSteps, 3);
  // The seventh frame guesses D still held; the state is the true keys' so far.
  EXPECT_EQ(game.s.x[2], 4);
}

TEST(RollbackSession, AMachineTooFarAheadWaits) {
  NetLink link({}, 1);
  MixGame game;
  RollbackSession a(setupFor(0), game, link.end(0));
  int stepped = 0;
  for (int t = 0; t < 20; ++t) stepped += a.advance() == RollbackSession::Advance::STEPPED;
  EXPECT_EQ(stepped, 8) << "at most eight frames on guesses";
  EXPECT_EQ(a.stats().waits, 12);
}

TEST(RollbackSession, APlantedDifferenceIsADesyncAtTheFirstCheckAfterIt) {
  NetLink link({4, 1, 2, 0}, 3);
  Machine a(link, 0), b(link, 1);
  b.game.plantAt = 150;
  RollbackSession::Advance ra{}, rb{};
  for (int t = 0; t < 1000; ++t) {
    ra = a.tick(true);
    rb = b.tick(true);
    link.tick();
  }
  EXPECT_EQ(ra, RollbackSession::Advance::STOPPED);
  EXPECT_EQ(rb, RollbackSession::Advance::STOPPED);
  EXPECT_EQ(a.session.failure(), "desync at frame 200");
  EXPECT_EQ(b.session.failure(), "desync at frame 200");
}

TEST(RollbackSession, TheMachineThatStartedFirstSlowsUntilBothRunTogether) {
  for (bool obey : {false, true}) {
    SCOPED_TRACE(obey ? "idling when ahead" : "never idling");
    NetLink link({5, 1, 0, 0}, 2);
    Machine a(link, 0), b(link, 1);
    for (int t = 0; t < 40; ++t) a.tick(obey), link.tick();  // b starts 40 ticks late
    int lateWaits = 0;
    for (int t = 0; t < 2000; ++t) {
      const int before = a.session.stats().waits;
      a.tick(obey);
      b.tick(obey);
      link.tick();
      if (t >= 1000) lateWaits += a.session.stats().waits - before;
    }
    const int gap = a.session.frame() - b.session.frame();
    // The machine ahead sees the other's keys later than the other sees its
    // own, so it rolls back more: time sync evens that out.
    const double ra = a.session.stats().rollbacks, rb = b.session.stats().rollbacks;
    if (obey) {
      EXPECT_EQ(lateWaits, 0) << "in step: nobody waits for keys";
      EXPECT_LE(std::abs(gap), 1);
      EXPECT_LT(std::abs(ra - rb), 0.1 * ra) << ra << " and " << rb << " rollbacks";
    } else {
      EXPECT_GE(gap, 2) << "without time sync the early machine stays ahead";
      EXPECT_GT(ra, 1.3 * rb) << ra << " and " << rb << " rollbacks";
    }
  }
}

TEST(RollbackSession, KeysForASeatThePeerDoesNotHoldOrFromAStrangerChangeNothing) {
  NetLink link({}, 1);
  MixGame game;
  RollbackSession a(setupFor(0), game, link.end(0));
  InputPacket forged;
  forged.runs.push_back({1, 0, std::vector<InputCode>(5, 0xFF)});  // seat 1 is a's own
  forged.runs.push_back({2, 1000000, {0xFF}});                     // far in the future
  link.inject(0, writeInputPacket(forged));
  link.inject(0, {'T', 'V', 1, 0xFF});
  a.advance();
  EXPECT_EQ(a.stats().refusedPackets, 2);
  EXPECT_EQ(a.confirmedFrame(), 0);
  EXPECT_EQ(a.confirmedInput(1, 0).held, FrameInput{}.held) << "a's own keys stay a's";
}

}  // namespace
