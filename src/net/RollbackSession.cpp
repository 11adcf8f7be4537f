#include "net/RollbackSession.h"

#include <algorithm>
#include <climits>

namespace {

// A guess repeats the keys held, never a press: a press guessed again every
// frame would be a flurry of blows nobody pressed.
constexpr InputCode kHeldBits = 0x00FF;
// Frames of a peer's keys taken ahead of the present.
constexpr int kFutureFrames = RollbackSession::kWindow / 2;
// A machine that lets a frame pass waits this many frames before the next.
constexpr int kIdleSpacing = 8;
constexpr size_t kChecksKept = 8;

}  // namespace

uint64_t stateBytesChecksum(std::span<const uint8_t> bytes) {
  uint64_t h = 0xcbf29ce484222325ULL;
  for (uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ULL;
  return h;
}

RollbackSession::RollbackSession(const SessionSetup &setup, RollbackGame &game, NetTransport &transport)
    : setup_(setup), game_(game), transport_(transport) {
  setup_.seats = std::clamp(setup_.seats, 1, kMaxSeats);
  setup_.delay = std::clamp(setup_.delay, 0, 8);
  setup_.maxRollback = std::clamp(setup_.maxRollback, 1, 32);
  setup_.checkEvery = std::max(setup_.checkEvery, 1);
  states_.resize(static_cast<size_t>(setup_.maxRollback) + 2);
  // Checked are the states after every checkEvery-th step as replays count
  // them (from 1): the state before frame checkEvery - 1, and so on.
  nextCheck_ = setup_.checkEvery - 1;
  for (int seat = 1; seat <= kMaxSeats; ++seat) {
    SeatKeys &k = keys_[static_cast<size_t>(seat)];
    k.knownFrame.fill(-1);
    const int owner = setup_.ownerOfSeat[static_cast<size_t>(seat)];
    if (seat > setup_.seats) {
      k.confirmed = INT_MAX;  // nobody's: no keys, ever
    } else if (owner == 0) {
      // The first frames of a local seat, before any key can count, are empty.
      for (int f = 0; f < setup_.delay; ++f) k.knownFrame[slot(f)] = f;
      k.confirmed = setup_.delay;
    } else if (owner >= 1 && owner <= 3) {
      isPeer_[static_cast<size_t>(owner)] = true;
    }
  }
}

void RollbackSession::addLocalInput(int seat, const FrameInput &input) {
  if (seat < 1 || seat > setup_.seats || !local(seat)) return;
  SeatKeys &k = keys_[static_cast<size_t>(seat)];
  const InputCode code = encodeInput(input);
  // Held keys are the latest; presses gather until a frame takes them.
  k.pending = static_cast<InputCode>((code & kHeldBits) | (k.pending & ~kHeldBits) | (code & ~kHeldBits));
}

void RollbackSession::placeLocalKeys() {
  for (int seat = 1; seat <= setup_.seats; ++seat) {
    if (!local(seat)) continue;
    SeatKeys &k = keys_[static_cast<size_t>(seat)];
    while (k.confirmed <= frame_ + setup_.delay) {
      const int f = k.confirmed++;
      k.code[slot(f)] = k.pending;
      k.knownFrame[slot(f)] = f;
      k.last = k.pending;
      k.pending &= kHeldBits;
    }
  }
}

int RollbackSession::confirmedFrame() const {
  int c = INT_MAX;
  for (int seat = 1; seat <= setup_.seats; ++seat) c = std::min(c, keys_[static_cast<size_t>(seat)].confirmed);
  return c;
}

int RollbackSession::seatFurthestBehind() const {
  int behind = 0;
  for (int seat = 1; seat <= setup_.seats; ++seat)
    if (!local(seat) && (behind == 0 || keys_[static_cast<size_t>(seat)].confirmed <
                                            keys_[static_cast<size_t>(behind)].confirmed))
      behind = seat;
  return behind;
}

FrameInput RollbackSession::confirmedInput(int seat, int frame) const {
  if (seat < 1 || seat > setup_.seats || frame < 0) return {};
  const SeatKeys &k = keys_[static_cast<size_t>(seat)];
  if (frame >= k.confirmed || k.knownFrame[slot(frame)] != frame) return {};
  return decodeInput(k.code[slot(frame)]);
}

void RollbackSession::receive() {
  Datagram d;
  std::string why;
  // At most a window's worth of datagrams a frame: a flood waits its turn.
  for (int n = 0; n < kWindow && transport_.receive(d); ++n) {
    if (d.peer < 1 || d.peer > 3 || !isPeer_[static_cast<size_t>(d.peer)]) {
      ++stats_.refusedPackets;
      continue;
    }
    const std::optional<InputPacket> packet = readInputPacket(d.bytes, why);
    if (!packet) {
      ++stats_.refusedPackets;
      continue;
    }
    take(d.peer, *packet);
  }
}

void RollbackSession::take(int peer, const InputPacket &packet) {
  const size_t p = static_cast<size_t>(peer);
  peerFrame_[p] = std::max(peerFrame_[p], packet.frame);
  // An ack can only be of keys this machine has made.
  int made = INT_MAX;
  for (int seat = 1; seat <= setup_.seats; ++seat)
    if (local(seat)) made = std::min(made, keys_[static_cast<size_t>(seat)].confirmed);
  peerAck_[p] = std::max(peerAck_[p], std::min(packet.ack, made));
  for (const InputRun &run : packet.runs) {
    if (run.seat < 1 || run.seat > setup_.seats || setup_.ownerOfSeat[static_cast<size_t>(run.seat)] != peer) {
      ++stats_.refusedPackets;
      continue;
    }
    SeatKeys &k = keys_[static_cast<size_t>(run.seat)];
    for (size_t i = 0; i < run.codes.size(); ++i) {
      const int f = run.first + static_cast<int>(i);
      if (f < k.confirmed || f >= frame_ + kFutureFrames || k.knownFrame[slot(f)] == f) continue;
      k.code[slot(f)] = run.codes[i];
      k.knownFrame[slot(f)] = f;
    }
    // Frames now known in a row are agreed; one stepped on another guess is
    // rolled back.
    while (k.knownFrame[slot(k.confirmed)] == k.confirmed) {
      const int f = k.confirmed++;
      k.last = k.code[slot(f)];
      if (f < frame_ && k.used[slot(f)] != k.code[slot(f)] && (rollbackTo_ < 0 || f < rollbackTo_)) rollbackTo_ = f;
    }
  }
  if (packet.check) {
    remoteChecks_.push_back(*packet.check);
    if (remoteChecks_.size() > kChecksKept) remoteChecks_.erase(remoteChecks_.begin());
    compareChecks();
  }
}

void RollbackSession::compareChecks() {
  for (const InputPacket::Check &mine : checks_)
    for (const InputPacket::Check &theirs : remoteChecks_)
      if (mine.frame == theirs.frame && mine.sum != theirs.sum && failure_.empty()) {
        desyncFrame_ = mine.frame + 1;
        failure_ = "desync at frame " + std::to_string(desyncFrame_);
      }
}

SeatInputs RollbackSession::inputsFor(int frame) {
  SeatInputs in;
  for (int seat = 1; seat <= setup_.seats; ++seat) {
    SeatKeys &k = keys_[static_cast<size_t>(seat)];
    const InputCode code = k.knownFrame[slot(frame)] == frame ? k.code[slot(frame)] : (k.last & kHeldBits);
    k.used[slot(frame)] = code;
    in[seat] = decodeInput(code);
  }
  return in;
}

void RollbackSession::stepFrame(bool again) {
  game_.saveState(states_[static_cast<size_t>(frame_) % states_.size()]);
  game_.step(inputsFor(frame_), frame_, again);
  ++frame_;
  ++stats_.framesStepped;
}

void RollbackSession::rollBack() {
  const int from = rollbackTo_;
  rollbackTo_ = -1;
  if (from < 0 || from >= frame_) return;
  if (frame_ - from > static_cast<int>(states_.size()) - 1) {
    failure_ = "rollback of " + std::to_string(frame_ - from) + " frames is further than the states kept";
    return;
  }
  game_.loadState(states_[static_cast<size_t>(from) % states_.size()]);
  const int present = frame_;
  frame_ = from;
  while (frame_ < present) stepFrame(true);
  ++stats_.rollbacks;
  stats_.longestRollback = std::max(stats_.longestRollback, present - from);
}

void RollbackSession::check() {
  // The state before frame F is agreed once every key of the frames before it
  // is.
  const int agreed = confirmedFrame();
  while (nextCheck_ <= agreed && nextCheck_ < frame_) {
    if (frame_ - nextCheck_ < static_cast<int>(states_.size())) {
      const std::vector<uint8_t> &state = states_[static_cast<size_t>(nextCheck_) % states_.size()];
      checks_.push_back({nextCheck_, stateBytesChecksum(state)});
      CheckedState &kept = checkedStates_[static_cast<size_t>(nextCheck_ / setup_.checkEvery) % 2];
      kept.frame = nextCheck_;
      kept.bytes = state;
      if (checks_.size() > kChecksKept) checks_.erase(checks_.begin());
      compareChecks();
    }
    nextCheck_ += setup_.checkEvery;
  }
}

void RollbackSession::send() {
  for (int peer = 1; peer <= 3; ++peer) {
    if (!isPeer_[static_cast<size_t>(peer)]) continue;
    InputPacket packet;
    packet.frame = frame_;
    packet.ack = INT_MAX;
    for (int seat = 1; seat <= setup_.seats; ++seat)
      if (setup_.ownerOfSeat[static_cast<size_t>(seat)] == peer)
        packet.ack = std::min(packet.ack, keys_[static_cast<size_t>(seat)].confirmed);
    if (packet.ack == INT_MAX) packet.ack = 0;
    // Every seat the peer does not hold: this machine's own, and those of
    // the other peers as far as they are agreed. Machines that only reach
    // the host (the joiners of a game for three or four) hear each other
    // through it.
    for (int seat = 1; seat <= setup_.seats; ++seat) {
      if (setup_.ownerOfSeat[static_cast<size_t>(seat)] == peer) continue;
      const SeatKeys &k = keys_[static_cast<size_t>(seat)];
      InputRun run;
      run.seat = seat;
      run.first = std::max(peerAck_[static_cast<size_t>(peer)], k.confirmed - kFutureFrames);
      const int count = std::min(InputPacket::kMaxFrames, k.confirmed - run.first);
      for (int i = 0; i < count; ++i) run.codes.push_back(k.code[slot(run.first + i)]);
      if (!run.codes.empty()) packet.runs.push_back(std::move(run));
    }
    if (!checks_.empty()) packet.check = checks_.back();
    lastSent_ = whatWouldBeSent();
    quietTurns_ = 0;
    const std::vector<uint8_t> bytes = writeInputPacket(packet);
    transport_.send(peer, bytes);
    stats_.bytesSent += static_cast<long long>(bytes.size());
    ++stats_.packetsSent;
  }
}

RollbackSession::Sent RollbackSession::whatWouldBeSent() const {
  Sent now;
  now.frame = frame_;
  now.check = checks_.empty() ? -1 : checks_.back().frame;
  // Every seat's agreed frames only grow: their sum changes with any of them.
  now.keys = 0;
  for (int seat = 1; seat <= setup_.seats; ++seat) now.keys += keys_[static_cast<size_t>(seat)].confirmed;
  return now;
}

void RollbackSession::sendIfNews() {
  // A machine that waits tells the others only what changed, and otherwise
  // repeats itself now and then (its last packet may have been lost): a
  // headless game would send a packet every turn of its loop.
  const Sent now = whatWouldBeSent();
  if (now == lastSent_ && ++quietTurns_ < kResendTurns) return;
  send();
}

void RollbackSession::tellAgreed() {
  if (!onAgreed_) return;
  // Frames agreed and stepped: a recording never runs ahead of the world.
  for (const int agreed = std::min(confirmedFrame(), frame_); agreedHeard_ < agreed; ++agreedHeard_) {
    SeatInputs in;
    for (int seat = 1; seat <= setup_.seats; ++seat) in[seat] = confirmedInput(seat, agreedHeard_);
    onAgreed_(agreedHeard_, in);
  }
}

RollbackSession::Advance RollbackSession::advance() {
  if (!failure_.empty()) return Advance::STOPPED;
  receive();
  placeLocalKeys();
  rollBack();
  check();
  tellAgreed();
  if (!failure_.empty()) {
    send();  // the peers hear the checksum that differs
    return Advance::STOPPED;
  }
  if (frame_ >= stopAt_) {
    sendIfNews();
    return Advance::WAITING;
  }
  if (frame_ >= confirmedFrame() + setup_.maxRollback) {
    ++stats_.waits;
    sendIfNews();
    return Advance::WAITING;
  }
  stepFrame(false);
  check();
  send();
  return failure_.empty() ? Advance::STEPPED : Advance::STOPPED;
}

int RollbackSession::framesAhead() const {
  int ahead = 0;
  for (int peer = 1; peer <= 3; ++peer)
    if (isPeer_[static_cast<size_t>(peer)]) ahead = std::max(ahead, frame_ - peerFrame_[static_cast<size_t>(peer)]);
  return ahead;
}

bool RollbackSession::idleNow() {
  if (idleCountdown_ > 0) {
    --idleCountdown_;
    return false;
  }
  // Each side sees the other's frame a latency late, and sees its own keys
  // reach the other a round trip late: with both at the same frame, this
  // machine's lead over the peer equals the peer's lead over this machine.
  // A machine that leads by more than that lets one frame pass.
  for (int peer = 1; peer <= 3; ++peer) {
    if (!isPeer_[static_cast<size_t>(peer)]) continue;
    const int theirs = peerFrame_[static_cast<size_t>(peer)];
    const int mineAsTheySee = peerAck_[static_cast<size_t>(peer)] - setup_.delay;
    const int lead = (frame_ - theirs) - (theirs - mineAsTheySee);
    if (lead > 2) {
      idleCountdown_ = kIdleSpacing;
      return true;
    }
  }
  return false;
}

const RollbackSession::CheckedState *RollbackSession::checkedStateBefore(int frame) const {
  const CheckedState *best = nullptr;
  for (const CheckedState &c : checkedStates_)
    if (c.frame >= 0 && c.frame < frame && (!best || c.frame > best->frame)) best = &c;
  return best;
}

bool RollbackSession::peersHave(int frame) const {
  for (int peer = 1; peer <= 3; ++peer)
    if (isPeer_[static_cast<size_t>(peer)] && peerAck_[static_cast<size_t>(peer)] < frame) return false;
  return true;
}

void RollbackSession::takeOverPeer(int peer) {
  if (peer < 1 || peer > 3 || !isPeer_[static_cast<size_t>(peer)]) return;
  isPeer_[static_cast<size_t>(peer)] = false;
  for (int seat = 1; seat <= setup_.seats; ++seat) {
    if (setup_.ownerOfSeat[static_cast<size_t>(seat)] != peer) continue;
    setup_.ownerOfSeat[static_cast<size_t>(seat)] = 0;
    SeatKeys &k = keys_[static_cast<size_t>(seat)];
    for (; k.confirmed < frame_; ++k.confirmed) {
      const size_t s = slot(k.confirmed);
      k.code[s] = k.used[s];
      k.knownFrame[s] = k.confirmed;
      k.last = k.used[s];
    }
    k.pending = 0;
  }
}
