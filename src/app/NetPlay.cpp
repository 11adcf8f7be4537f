#include "app/NetPlay.h"

#include <cstdio>

#include "net/SessionHello.h"

namespace {

constexpr uint32_t kJoinWaitMs = 5000;    // a joiner waits this long for the host
constexpr uint32_t kHostWaitMs = 120000;  // a host waits this long for its joiner
constexpr uint32_t kSetupWaitMs = 5000;   // and each for the other's set-up
constexpr int kLingerFrames = 300;        // at the end, frames to wait for the peer to have every key

// Services the transport until `done` or `waitMs` passed; false on time out.
template <class Done>
bool waitFor(EnetTransport& t, uint32_t waitMs, Done done) {
  for (uint32_t waited = 0; waited < waitMs; waited += 20) {
    t.service(20);
    if (done()) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<NetPlay> NetPlay::open(const Options& options, uint64_t folder, int seed, int seats,
                                       std::string& error) {
  std::unique_ptr<NetPlay> net(new NetPlay());
  Datagram d;
  if (options.hostPort != 0) {
    if (seats != 2) {
      error = "a game over the network is for two players for now: host it with --players 2";
      return nullptr;
    }
    net->transport_ = EnetTransport::listen(static_cast<uint16_t>(options.hostPort), seats - 1, error);
    if (!net->transport_) return nullptr;
    std::fprintf(stderr, "tervalen: hosting on UDP port %d, waiting for 1 player\n", options.hostPort);
    EnetTransport& t = *net->transport_;
    if (!waitFor(t, kHostWaitMs, [&t] { return t.connected(1); })) {
      error = "nobody joined within " + std::to_string(kHostWaitMs / 1000) + " s";
      return nullptr;
    }
    t.setAccepting(false);
    SessionHello hello;
    hello.folder = folder;
    hello.seed = seed;
    hello.seats = seats;
    hello.yourSeat = 2;
    t.sendSetup(1, writeSessionHello(hello));
    bool ready = false;
    if (!waitFor(t, kSetupWaitMs, [&] {
          while (t.receiveSetup(d)) ready = ready || isSessionReady(d.bytes);
          return ready || !t.connected(1);
        }) ||
        !ready) {
      error = "the player who joined did not get ready (another game folder?)";
      return nullptr;
    }
    net->seed_ = seed;
    net->seats_ = seats;
    net->localSeat_ = 1;
    net->setup_.ownerOfSeat[1] = 0;
    net->setup_.ownerOfSeat[2] = 1;
  } else {
    net->transport_ = EnetTransport::connect(options.joinHost, static_cast<uint16_t>(options.joinPort), kJoinWaitMs,
                                             error);
    if (!net->transport_) return nullptr;
    EnetTransport& t = *net->transport_;
    std::optional<SessionHello> hello;
    std::string why;
    waitFor(t, kSetupWaitMs, [&] {
      while (!hello && t.receiveSetup(d)) hello = readSessionHello(d.bytes, why);
      return hello.has_value() || !why.empty() || !t.connected(1);
    });
    if (!hello) {
      error = "the host at " + options.joinHost + " did not set up the game" + (why.empty() ? "" : ": " + why);
      return nullptr;
    }
    if (hello->folder != folder) {
      error = "the host plays another game folder (its data or pack differ from this one's)";
      return nullptr;
    }
    t.sendSetup(1, writeSessionReady());
    t.service(0);
    net->seed_ = hello->seed;
    net->seats_ = hello->seats;
    net->localSeat_ = hello->yourSeat;
    for (int s = 1; s <= hello->seats; ++s) net->setup_.ownerOfSeat[static_cast<size_t>(s)] = 1;
    net->setup_.ownerOfSeat[static_cast<size_t>(hello->yourSeat)] = 0;
  }
  net->setup_.seats = net->seats_;
  net->setup_.delay = options.netDelay;
  net->transport_->setSim(NetSim{options.netSimLatency, options.netSimJitter, options.netSimLoss},
                          static_cast<uint32_t>(net->localSeat_));
  return net;
}

bool NetPlay::frame(World& world, Random& chance, const SeatInputs& keys, int frames,
                    std::vector<SoundRequest>& sounds) {
  if (!session_) {
    startMs_ = transport_->elapsedMs();
    game_ = std::make_unique<WorldRollbackGame>(world, chance);
    session_ = std::make_unique<RollbackSession>(setup_, *game_, *transport_);
  }
  sessionMs_ = transport_->elapsedMs() - startMs_;
  transport_->service(0);
  for (int peer : transport_->takeLost()) {
    std::fprintf(stderr, "tervalen: the other player left or went silent; the built-in player takes their seat\n");
    for (int s = 1; s <= seats_; ++s)
      if (setup_.ownerOfSeat[static_cast<size_t>(s)] == peer) {
        setup_.ownerOfSeat[static_cast<size_t>(s)] = 0;
        takenOver_.push_back(s);
      }
    session_->takeOverPeer(peer);
  }
  for (int s = 1; s <= seats_; ++s)
    if (setup_.ownerOfSeat[static_cast<size_t>(s)] == 0) session_->addLocalInput(s, keys[s]);
  // The end: the frame limit, or the game over (which a rollback may undo).
  const bool ending = (frames > 0 && session_->frame() >= frames) || world.gameOver;
  session_->stopAt(ending ? session_->frame() : INT_MAX);
  if (!ending && session_->idleNow()) {
    transport_->service(0);
    return true;
  }
  const RollbackSession::Advance step = session_->advance();
  sounds = game_->takeNewSounds();
  // Waiting for the other machine: a headless game would spin, so give the
  // network a millisecond.
  transport_->service(step == RollbackSession::Advance::WAITING ? 1 : 0);
  if (!session_->failure().empty()) {
    failure_ = session_->failure();
    return false;
  }
  if (!game_->error().empty()) {
    failure_ = game_->error();
    return false;
  }
  // Ended once the last frame's keys are everyone's, and the peer has ours
  // (or had time enough to get them).
  const bool ended = (frames > 0 && session_->frame() >= frames) || world.gameOver;
  if (ended && session_->confirmedFrame() >= session_->frame() &&
      (session_->peersHave(session_->frame()) || ++lingered_ > kLingerFrames))
    return false;
  return true;
}

std::vector<int> NetPlay::takeSeatsTakenOver() {
  std::vector<int> out;
  out.swap(takenOver_);
  return out;
}

std::string NetPlay::statsText() const {
  if (!session_) return "";
  const RollbackSession::Stats& s = session_->stats();
  const double seconds = sessionMs_ / 1000.0;
  char line[256];
  std::snprintf(line, sizeof line,
                "online: %.2f rollbacks/s, longest rollback %d frames, %.0f bytes/s sent, %d frames waited, "
                "%d packets refused",
                seconds > 0 ? s.rollbacks / seconds : 0.0, s.longestRollback,
                seconds > 0 ? static_cast<double>(transport_->bytesSent()) / seconds : 0.0, s.waits,
                s.refusedPackets + transport_->refused());
  return line;
}
