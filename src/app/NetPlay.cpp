#include "app/NetPlay.h"

#include <algorithm>
#include <cstdio>

#include "app/StateFile.h"
#include "engine/UserFolders.h"
#include "net/SessionHello.h"

namespace {

constexpr uint32_t kJoinWaitMs = 5000;     // a joiner waits this long to reach the host
constexpr uint32_t kLobbyWaitMs = 600000;  // a lobby waits this long for its players, or its host
constexpr uint32_t kSetupWaitMs = 5000;    // the host waits this long for its joiners to get ready
constexpr int kLingerFrames = 300;         // at the end, frames to wait for the peer to have every key
constexpr uint32_t kChatRefillMs = 1000;   // and one more a second
constexpr int kSetupReadsAFrame = 64;      // set-up messages read in a frame of play

}  // namespace

std::unique_ptr<NetPlay> NetPlay::open(const Options& options, uint64_t folder, int seed, int seats,
                                       const GameRules& rules, std::string& error) {
  std::unique_ptr<NetPlay> net(new NetPlay());
  net->folder_ = folder;
  net->seed_ = seed;
  net->options_ = options;
  if (options.hostPort != 0) {
    if (seats < 2 || seats > kMaxSeats) {
      error = "a game over the network is for 2 to 4 players: host it with --players 2, 3 or 4";
      return nullptr;
    }
    if (options.localSeats >= seats) {
      error = "--local-seats " + std::to_string(options.localSeats) + " leaves no seat of " + std::to_string(seats) +
              " for another machine: host with --players " + std::to_string(options.localSeats + 1) + " or more";
      return nullptr;
    }
    net->hosting_ = true;
    net->seats_ = seats;
    net->localSeats_ = options.localSeats;
    // --players N starts by itself once N seats are filled (and so does a
    // game nobody watches); otherwise the host starts it.
    net->startsWhenFull_ = options.players > 0 || options.headless;
    const int others = seats - options.localSeats;
    net->transport_ = EnetTransport::listen(static_cast<uint16_t>(options.hostPort), others, error);
    if (!net->transport_) return nullptr;
    std::fprintf(stderr, "tervalen: hosting on UDP port %d, waiting for %d player%s\n", options.hostPort, others,
                 others == 1 ? "" : "s");
    SessionHello& hello = net->agreedHello_;
    hello.folder = folder;
    hello.seed = seed;
    hello.difficulty = static_cast<int>(rules.difficulty);
    hello.invincible = rules.playerInvincible;
    hello.heroes = rules.seatHeroes;
    hello.droppedLeave = options.droppedLeave;
  } else {
    net->transport_ = EnetTransport::connect(options.joinHost, static_cast<uint16_t>(options.joinPort), kJoinWaitMs,
                                             error);
    if (!net->transport_) return nullptr;
    net->localSeats_ = options.localSeats;
    net->transport_->sendSetup(1, writeSeatRequest(options.localSeats));
    std::fprintf(stderr, "tervalen: joined the game at %s, waiting for its host to start it\n",
                 options.joinHost.c_str());
  }
  net->lobbySince_ = net->transport_->elapsedMs();
  return net;
}

std::vector<NetPlay::LobbySeat> NetPlay::lobbySeats() const {
  std::vector<LobbySeat> out;
  if (!transport_) return out;
  if (hosting_) {
    int seat = 1;
    for (; seat <= localSeats_; ++seat) out.push_back(LobbySeat{seat, true, 0});
    for (int p = 1; p <= 3; ++p)
      for (int i = 0; i < seatsOf(p); ++i) out.push_back(LobbySeat{seat++, false, transport_->roundTripMs(p)});
  } else {
    out.push_back(LobbySeat{1, false, transport_->roundTripMs(1)});
    for (int i = 0; i < localSeats_; ++i) out.push_back(LobbySeat{0, true, 0});
  }
  return out;
}

int NetPlay::seatsOf(int peer) const {
  const size_t p = static_cast<size_t>(peer);
  return transport_->connected(peer) && !turnedAway_[p] ? wanted_[p] : 0;
}

int NetPlay::seatsAskedFor() const {
  int n = localSeats_;
  for (int p = 1; p <= 3; ++p) n += seatsOf(p);
  return n;
}

bool NetPlay::everyJoinerAsked() const {
  for (int p = 1; p <= 3; ++p)
    if (transport_->connected(p) && !turnedAway_[static_cast<size_t>(p)] && wanted_[static_cast<size_t>(p)] == 0)
      return false;
  return true;
}

void NetPlay::readSetup() {
  EnetTransport& t = *transport_;
  // One who left the lobby is forgotten here, before the game: its number
  // may come back as someone new, who must not be taken for gone once play begins.
  for (int p : t.takeLost()) {
    if (p < 1 || p > 3) continue;
    wanted_[static_cast<size_t>(p)] = 0;
    turnedAway_[static_cast<size_t>(p)] = false;
    ready_[static_cast<size_t>(p)] = false;
  }
  Datagram d;
  while (t.receiveSetup(d)) {
    if (d.peer < 1 || d.peer > 3) continue;
    const size_t p = static_cast<size_t>(d.peer);
    if (isChat(d.bytes)) {
      takeChat(d);
    } else if (isSessionReady(d.bytes)) {
      ready_[p] = true;
    } else if (const std::optional<int> asked = readSeatRequest(d.bytes); asked && !helloSent_ && !turnedAway_[p]) {
      const int free = seats_ - (seatsAskedFor() - seatsOf(d.peer));
      if (*asked > free) {
        t.sendSetup(d.peer, writeSessionRefusal("the game is full: " + std::to_string(free) + " of its " +
                                                std::to_string(seats_) + " seats free, " + std::to_string(*asked) +
                                                " asked for"));
        turnedAway_[p] = true;
        wanted_[p] = 0;
      } else {
        wanted_[p] = *asked;
      }
    }
  }
}

bool NetPlay::canStart() const { return hosting_ && !helloSent_ && seatsAskedFor() > localSeats_; }

NetPlay::Lobby NetPlay::lobby(bool startPressed) {
  if (lobbyState_ != Lobby::WAITING) return lobbyState_;
  EnetTransport& t = *transport_;
  // A game nobody watches gives the network a moment; a window's frame
  // needs no more.
  t.service(options_.headless ? 1 : 0);
  const auto fail = [this](const std::string& why) {
    failure_ = why;
    lobbyState_ = Lobby::FAILED;
    return lobbyState_;
  };
  const uint32_t waited = t.elapsedMs() - lobbySince_;
  Datagram d;
  if (hosting_) {
    for (; told_ < t.peerCount(); ++told_) std::fprintf(stderr, "tervalen: player %d joined\n", told_ + 1 + localSeats_);
    told_ = t.peerCount();  // one who left and came back is told again
    readSetup();
    if (!helloSent_) {
      // A joiner says how many seats its players want as it arrives; the
      // game waits to hear from each before it begins.
      startPressed_ = startPressed_ || (startPressed && canStart());
      const bool full = seatsAskedFor() == seats_;
      if (!((full && startsWhenFull_) || (startPressed_ && canStart())) || !everyJoinerAsked()) {
        if (waited > kLobbyWaitMs)
          return fail(std::to_string(seatsAskedFor() - localSeats_) + " of " + std::to_string(seats_ - localSeats_) +
                      " players joined within " + std::to_string(kLobbyWaitMs / 1000) + " s");
        return lobbyState_;
      }
      // The players there now are the game's: seats in the order they came,
      // each machine's together.
      t.setAccepting(false);
      for (int s = 1; s <= localSeats_; ++s) setup_.ownerOfSeat[static_cast<size_t>(s)] = 0;
      int seat = localSeats_ + 1;
      for (int p = 1; p <= 3; ++p) {
        if (seatsOf(p) == 0) continue;
        SessionHello hello = agreedHello_;
        hello.yourSeat = seat;
        hello.yourSeats = seatsOf(p);
        for (int i = 0; i < seatsOf(p); ++i) setup_.ownerOfSeat[static_cast<size_t>(seat++)] = p;
        hello.seats = seatsAskedFor();
        t.sendSetup(p, writeSessionHello(hello));
      }
      seats_ = seat - 1;
      agreedHello_.seats = seats_;
      helloSent_ = true;
      helloAt_ = t.elapsedMs();
      localSeat_ = 1;
    }
    bool allReady = true;
    for (int seat = localSeats_ + 1; seat <= seats_; ++seat) {
      const int p = setup_.ownerOfSeat[static_cast<size_t>(seat)];
      if (!t.connected(p)) return fail("player " + std::to_string(seat) + " left before the game began");
      allReady = allReady && ready_[static_cast<size_t>(p)];
    }
    if (!allReady) {
      if (t.elapsedMs() - helloAt_ > kSetupWaitMs) return fail("a player who joined did not get ready (another game folder?)");
      return lobbyState_;
    }
  } else {
    std::optional<SessionHello> hello;
    std::string why;
    while (!hello && why.empty() && t.receiveSetup(d)) {
      if (const std::optional<std::string> refusal = readSessionRefusal(d.bytes))
        return fail("the host at " + options_.joinHost + " turned this game away: " + *refusal);
      if (isChat(d.bytes)) {
        takeChat(d);
        continue;
      }
      hello = readSessionHello(d.bytes, why);
    }
    if (!why.empty()) return fail("the host at " + options_.joinHost + " did not set up the game: " + why);
    if (!hello) {
      if (!t.connected(1)) return fail("the host at " + options_.joinHost + " left before the game began");
      if (waited > kLobbyWaitMs)
        return fail("the host at " + options_.joinHost + " did not start the game within " +
                    std::to_string(kLobbyWaitMs / 1000) + " s");
      return lobbyState_;
    }
    if (hello->folder != folder_)
      return fail("the host plays another game folder (its data or pack differ from this one's)");
    agreedHello_ = *hello;
    t.sendSetup(1, writeSessionReady());
    t.service(0);
    seed_ = hello->seed;
    seats_ = hello->seats;
    localSeat_ = hello->yourSeat;
    localSeats_ = hello->yourSeats;
    for (int s = 1; s <= hello->seats; ++s) setup_.ownerOfSeat[static_cast<size_t>(s)] = 1;
    for (int s = hello->yourSeat; s < hello->yourSeat + hello->yourSeats; ++s) setup_.ownerOfSeat[static_cast<size_t>(s)] = 0;
  }
  setup_.seats = seats_;
  setup_.delay = options_.netDelay;
  t.setSim(NetSim{options_.netSimLatency, options_.netSimJitter, options_.netSimLoss}, static_cast<uint32_t>(localSeat_));
  lobbyState_ = Lobby::READY;
  return lobbyState_;
}

bool NetPlay::applyAgreedRules(GameRules& rules) {
  const std::vector<std::string> choices = rules.heroChoices();
  for (const std::string& id : agreedHello_.heroes)
    if (!id.empty() && std::find(choices.begin(), choices.end(), id) == choices.end()) {
      failure_ = "the host plays a hero this game folder does not have (" + id.substr(0, 32) + ")";
      return false;
    }
  rules.difficulty = static_cast<Difficulty>(agreedHello_.difficulty);
  rules.playerInvincible = agreedHello_.invincible;
  rules.seatHeroes = agreedHello_.heroes;
  return true;
}

bool NetPlay::record(const std::string& path, std::function<void(const std::string&)> failed, std::string& error) {
  recording_ = std::make_unique<NetRecording>(path, agreed_.header);
  if (!recording_->ok()) {
    error = recording_->error();
    recording_.reset();
    return false;
  }
  recordingFailed_ = std::move(failed);
  return true;
}

void NetPlay::recordChecks() {
  // The checks first: a check waits in the recording for the keys of the
  // frames before it, which may have been agreed in the same turn.
  for (const InputPacket::Check& c : session_->checks()) {
    if (c.frame <= recordedCheck_) continue;
    agreed_.checks.emplace_back(c.frame, c.sum);
    if (recording_) recording_->checked(c.frame, c.sum);
    recordedCheck_ = c.frame;
  }
  for (const auto& [frame, keys] : toRecord_)
    if (recording_) recording_->agreed(frame, keys);
  toRecord_.clear();
  if (recording_ && !recording_->ok()) {
    if (recordingFailed_) recordingFailed_("Cannot write the recording to " + recording_->error() +
                                           "; the game goes on unrecorded");
    recording_.reset();
  }
}

void NetPlay::reportDesync() {
  const std::filesystem::path folder = userStateFolder() / "desync";
  std::string why;
  if (userStateFolder().empty() || !makeUserFolder(folder, why)) {
    failure_ += " (its report could not be written: " + (why.empty() ? "no home folder" : why) + ")";
    return;
  }
  std::vector<uint8_t> state;
  // The session's frame F is the state after replay frame F + 1.
  const RollbackSession::CheckedState* agreed = session_->checkedStateBefore(session_->desyncFrame() - 1);
  if (agreed) state = writeStateFile(StateFile{folder_, static_cast<uint32_t>(agreed->frame + 1), agreed->bytes});
  failure_ += ": " + writeDesyncReport(folder.string(), session_->desyncFrame(), agreed_, agreed ? &state : nullptr);
}

bool NetPlay::closeRecording() {
  if (!recording_) return true;
  const bool closed = recording_->close();
  if (!closed && recordingFailed_) recordingFailed_("Cannot write the recording to " + recording_->error());
  recording_.reset();
  return closed;
}

bool NetPlay::frame(World& world, Random& chance, const SeatInputs& keys, int frames,
                    const ScreenFlow::StepSounds& sounds) {
  if (!session_) {
    startMs_ = transport_->elapsedMs();
    game_ = std::make_unique<WorldRollbackGame>(world, chance);
    session_ = std::make_unique<RollbackSession>(setup_, *game_, *transport_);
    session_->onAgreed([this](int frame, const SeatInputs& agreed) {
      agreed_.add(agreed);
      // Every machine hears of a leaving at the same frame (as replays count
      // them, the frame of the seat's leave key in the recording).
      for (int s = 1; s <= seats_; ++s)
        if (agreed[s].leave) {
          std::fprintf(stderr, "tervalen: player %d left the game at frame %d\n", s, frame + 2);
          leftAgreed_.push_back(s);
        }
      if (recording_) toRecord_.emplace_back(frame, agreed);
    });
  }
  sessionMs_ = transport_->elapsedMs() - startMs_;
  transport_->service(0);
  if (!said_) {
    said_ = true;
    if (!options_.say.empty()) say(options_.say);
  }
  Datagram d;
  for (int n = 0; n < kSetupReadsAFrame && transport_->receiveSetup(d); ++n)
    if (isChat(d.bytes)) takeChat(d);
  for (int peer : transport_->takeLost()) {
    for (int s = 1; s <= seats_; ++s) {
      const size_t seat = static_cast<size_t>(s);
      if (setup_.ownerOfSeat[seat] != peer) continue;
      setup_.ownerOfSeat[seat] = 0;
      if (agreedHello_.droppedLeave) {
        std::fprintf(stderr, "tervalen: player %d left or went silent; their seat leaves the game\n", s);
        leaving_[seat] = Leaving::TO_LEAVE;
      } else {
        std::fprintf(stderr, "tervalen: player %d left or went silent; the built-in player takes their seat\n", s);
        takenOver_.push_back(s);
      }
    }
    session_->takeOverPeer(peer);
  }
  for (int s = 1; s <= seats_; ++s) {
    if (setup_.ownerOfSeat[static_cast<size_t>(s)] != 0) continue;
    // A seat on its way out presses its leave key once, then nothing: the
    // built-in player would join it again with a punch.
    FrameInput mine = keys[s];
    Leaving& leaving = leaving_[static_cast<size_t>(s)];
    if (leaving != Leaving::NO) mine = FrameInput{};
    if (leaving == Leaving::TO_LEAVE) {
      mine.leave = true;
      leaving = Leaving::PRESSED;
    }
    session_->addLocalInput(s, mine);
  }
  // The end: the frame limit, or the game over (which a rollback may undo).
  const bool ending = (frames > 0 && session_->frame() >= frames) || world.gameOver;
  session_->stopAt(ending ? session_->frame() : INT_MAX);
  if (!ending && session_->idleNow()) {
    transport_->service(0);
    return true;
  }
  const RollbackSession::Advance step = session_->advance();
  recordChecks();
  leaveDroppedSeats(world);
  waitedFrames_ = step == RollbackSession::Advance::WAITING && !ending ? waitedFrames_ + 1 : 0;
  // Sounds of frames that did not happen after all stop; those asked for
  // the first time start.
  for (uint32_t channel : game_->takeChannelsToStop()) sounds.stop(channel);
  for (const auto& [soundFrame, sound] : game_->takeSoundsToStart())
    game_->started(soundFrame, sound, sounds.start(sound));
  // Waiting for the other machine: a headless game would spin, so give the
  // network a millisecond.
  transport_->service(step == RollbackSession::Advance::WAITING ? 1 : 0);
  if (!session_->failure().empty()) {
    failure_ = session_->failure();
    if (session_->desyncFrame() > 0) reportDesync();
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
      (session_->peersHave(session_->frame()) || ++lingered_ > kLingerFrames)) {
    session_->tellAgreed();
    recordChecks();
    leaveDroppedSeats(world);
    return false;
  }
  return true;
}

void NetPlay::leaveDroppedSeats(World& world) {
  for (int s : leftAgreed_) {
    Leaving& leaving = leaving_[static_cast<size_t>(s)];
    if (leaving != Leaving::PRESSED) continue;  // another machine's doing
    leaving = Leaving::LEFT;
    // The frame of the leaving is stepped: a seat still there was the last
    // that plays, which cannot leave.
    if (world.seat(s).state == Seat::PLAYING) {
      std::fprintf(stderr,
                   "tervalen: player %d is the last that plays and cannot leave; the built-in player takes their "
                   "seat\n",
                   s);
      leaving = Leaving::NO;
      takenOver_.push_back(s);
    }
  }
  leftAgreed_.clear();
}

int NetPlay::firstSeatOf(int peer) const {
  if (peer < 1 || peer > 3) return 0;
  if (helloSent_) {
    for (int s = 1; s <= seats_; ++s)
      if (setup_.ownerOfSeat[static_cast<size_t>(s)] == peer) return s;
    return 0;
  }
  if (seatsOf(peer) == 0) return 0;  // not seated (yet): its chat waits for a seat
  int seat = localSeats_ + 1;
  for (int p = 1; p < peer; ++p) seat += seatsOf(p);
  return seat;
}

void NetPlay::say(const std::string& text) {
  if (!transport_) return;
  ChatMessage message;
  message.text = plainChatText(text);
  if (message.text.empty()) return;
  // A joiner's seat before the game begins is the host's to say.
  const bool knowsSeat = hosting_ || started();
  message.seat = localSeat_;
  const std::vector<uint8_t> bytes = writeChat(message);
  for (int p = 1; p <= (hosting_ ? 3 : 1); ++p)
    if (transport_->connected(p)) transport_->sendSetup(p, bytes);
  showChat(ChatShown{knowsSeat ? localSeat_ : 0, message.text, transport_->elapsedMs()});
}

void NetPlay::takeChat(const Datagram& d) {
  std::string why;
  std::optional<ChatMessage> message = ::readChat(d.bytes, why);
  if (message) chatArrived(d.peer, std::move(*message));
}

void NetPlay::chatArrived(int fromPeer, ChatMessage message) {
  if (hosting_) {
    // The host says who spoke: a joiner's own word for its seat is not taken.
    message.seat = firstSeatOf(fromPeer);
    if (message.seat == 0) return;
  } else if (fromPeer != 1) {
    return;
  }
  ChatAllowance& a = chatAllowance_[static_cast<size_t>(message.seat - 1)];
  const uint32_t now = transport_->elapsedMs();
  const uint32_t back = (now - a.refilledMs) / kChatRefillMs;
  if (back > 0) {
    a.lines = std::min(kChatBurst, a.lines + static_cast<int>(std::min<uint32_t>(back, kChatBurst)));
    a.refilledMs = now;
  }
  if (a.lines == 0) {
    if (!a.toldDropped)
      std::fprintf(stderr, "tervalen: chat from P%d dropped: more than %d lines at once\n", message.seat, kChatBurst);
    a.toldDropped = true;
    return;
  }
  --a.lines;
  a.toldDropped = false;
  if (hosting_)
    for (int p = 1; p <= 3; ++p)
      if (p != fromPeer && transport_->connected(p)) transport_->sendSetup(p, writeChat(message));
  std::fprintf(stderr, "tervalen: chat P%d: %s\n", message.seat, message.text.c_str());
  showChat(ChatShown{message.seat, std::move(message.text), now});
}

void NetPlay::showChat(ChatShown line) {
  chat_.push_back(std::move(line));
  if (chat_.size() > kChatKept) chat_.erase(chat_.begin());
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
  // A headless game runs faster than the clock: bytes a frame tell what a
  // window's 100 frames a second would send.
  const double frames = std::max(1, session_->frame());
  const double wire = static_cast<double>(transport_->wireBytesSent());
  char line[320];
  std::snprintf(line, sizeof line,
                "online: %.2f rollbacks/s, longest rollback %d frames, %.0f bytes/s sent, %.1f bytes a frame "
                "(%.1f KB/s at 100 frames a second, ENet's headers included), %d frames waited, "
                "%d packets refused",
                seconds > 0 ? s.rollbacks / seconds : 0.0, s.longestRollback,
                seconds > 0 ? wire / seconds : 0.0, wire / frames, wire / frames * 100 / 1024, s.waits,
                s.refusedPackets + transport_->refused());
  return line;
}
