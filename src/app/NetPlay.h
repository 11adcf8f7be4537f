// A game played over the network by two machines: the set-up before the game
// (the host waits for its joiner and tells it the game folder's checksum, the
// seed and the seats; the joiner checks the folder and says it is ready), then
// every frame of play stepped by a rollback session. A peer that leaves or
// goes silent is dropped and the built-in player takes its seat.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/Options.h"
#include "base/Random.h"
#include "engine/EnetTransport.h"
#include "net/RollbackSession.h"
#include "net/WorldRollbackGame.h"
#include "world/World.h"

class NetPlay {
 public:
  // The host: its seed and seat count are the game's. The joiner: they come
  // from the host. Waits a bounded time; nothing and why on failure.
  static std::unique_ptr<NetPlay> open(const Options& options, uint64_t folder, int seed, int seats,
                                       std::string& error);

  int seed() const { return seed_; }
  int seats() const { return seats_; }
  int localSeat() const { return localSeat_; }

  // One frame of play, with this machine's keys of the frame: steps the world
  // through the session. False once the game is over (or `frames` frames were
  // played, when given) and agreed, or the session stopped.
  bool frame(World& world, Random& chance, const SeatInputs& keys, int frames, std::vector<SoundRequest>& sounds);
  // Seats whose peer left since the last call (this machine plays them now).
  std::vector<int> takeSeatsTakenOver();

  int framesPlayed() const { return session_ ? session_->frame() : 0; }
  const std::string& failure() const { return failure_; }
  // --stats: rollbacks a second, the longest rollback, bytes sent a second
  // (seconds of the clock, as long as play went on).
  std::string statsText() const;

 private:
  NetPlay() = default;
  std::unique_ptr<EnetTransport> transport_;
  std::unique_ptr<WorldRollbackGame> game_;
  std::unique_ptr<RollbackSession> session_;
  SessionSetup setup_;
  int seed_ = 0;
  int seats_ = 2;
  int localSeat_ = 1;
  uint32_t startMs_ = 0, sessionMs_ = 0;  // when play began, and how long it has gone on (for --stats)
  int lingered_ = 0;    // frames waited at the end for the peer to have every key
  std::vector<int> takenOver_;
  std::string failure_;
};
