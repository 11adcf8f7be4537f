// Playing one game on several machines without waiting for the others' keys:
// each frame steps at once with a guess of the remote seats' keys (the keys
// each last sent); when their real keys arrive and differ from the guess, the
// session puts back the state of the first frame that was guessed wrong and
// steps again to the present. Local keys take effect a few frames after they
// are pressed (the input delay), which hides most of the network's latency.
// A session never runs more than `maxRollback` frames ahead of the keys it
// has from everyone: beyond that it waits.
//
// A machine passes on the agreed keys of every seat a peer does not hold, so
// the joiners of a game for three or four, each linked to the host alone,
// hear each other through it.
//
// Every 100 agreed frames the peers compare checksums of their states; a
// difference is a desync, and the session stops there. Frames count from 0
// here; the desync's frame is told as replays count them, from 1 (the state
// before frame 99 here is the state after frame 100 of a replay).
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/InputPacket.h"
#include "net/NetTransport.h"
#include "net/RollbackGame.h"

struct SessionSetup {
  int seats = 2;  // seats in the game, 1-4
  // Who holds each seat (index 1-4): 0 this machine, 1-3 the peer of that
  // number.
  std::array<int, kMaxSeats + 1> ownerOfSeat{};
  int delay = 2;        // frames between a local key and the frame it counts in, 0-8
  int maxRollback = 8;  // frames stepped on guesses at most, 1-32
  int checkEvery = 100;
};

class RollbackSession {
 public:
  // How far back and ahead of the present keys are kept (frames).
  static constexpr int kWindow = 256;

  RollbackSession(const SessionSetup &setup, RollbackGame &game, NetTransport &transport);

  // The keys of a local seat, pressed now: they count `delay` frames later.
  void addLocalInput(int seat, const FrameInput &input);
  enum class Advance { STEPPED, WAITING, STOPPED };
  // Reads what has arrived, rolls back if a guess was wrong, steps the
  // present frame unless too far ahead of the others, and sends this machine's
  // keys. STOPPED after a desync.
  Advance advance();

  int frame() const { return frame_; }  // the next frame to step
  // No frame from `frame` on is stepped (keys are still read, wrong guesses
  // rolled back and this machine's keys sent): the end of a game.
  void stopAt(int frame) { stopAt_ = frame; }
  // Whether every peer has this machine's keys of every frame before `frame`.
  bool peersHave(int frame) const;
  // A peer left: its seats become this machine's (the built-in player's).
  // The frames already stepped keep the keys they were stepped with.
  void takeOverPeer(int peer);
  // Every frame before this has every seat's real keys.
  int confirmedFrame() const;
  // The seat of another machine whose keys are furthest behind, or 0 when
  // every seat is this machine's.
  int seatFurthestBehind() const;
  // How many frames this machine runs ahead of the furthest-behind peer, as
  // they last said; a machine ahead should let a frame pass now and then
  // (see idleNow) so that neither side rolls back all the time.
  int framesAhead() const;
  // True on a frame the game should not advance, to let the others catch up.
  bool idleNow();

  // The desync, when one was found: "desync at frame F" (F as replays count).
  const std::string &failure() const { return failure_; }
  int desyncFrame() const { return desyncFrame_; }
  // Checksums of agreed frames (frame -> sum), the latest few.
  const std::vector<InputPacket::Check> &checks() const { return checks_; }
  // The saved state of a checked frame (the state before it), kept for the
  // last two checks: a desync is reported with the state both last agreed on.
  struct CheckedState {
    int frame = -1;
    std::vector<uint8_t> bytes;
  };
  // The latest kept one of a frame before `frame`, or nothing.
  const CheckedState *checkedStateBefore(int frame) const;
  // The agreed keys of a seat in a frame before confirmedFrame() (of the
  // last kWindow / 2 frames).
  FrameInput confirmedInput(int seat, int frame) const;
  // Hears every frame's keys once all of them are agreed, in frame order:
  // what a recording of the session holds.
  void onAgreed(std::function<void(int frame, const SeatInputs &)> listener) { onAgreed_ = std::move(listener); }
  // Tells the listener the frames agreed and stepped since it last heard
  // (advance() does this too; the end of a game calls it once more).
  void tellAgreed();

  struct Stats {
    int rollbacks = 0;        // times the session went back
    int longestRollback = 0;  // most frames stepped again at once
    int framesStepped = 0;    // steps taken again included
    int waits = 0;            // frames it waited for keys
    int refusedPackets = 0;   // unreadable, or keys for seats the sender does not hold
    long long bytesSent = 0;
    int packetsSent = 0;
  };
  const Stats &stats() const { return stats_; }

 private:
  struct SeatKeys {
    std::array<InputCode, kWindow> code{};
    std::array<int, kWindow> knownFrame{};  // the frame whose keys a slot holds, or -1
    std::array<InputCode, kWindow> used{};  // what the step of that frame used
    int confirmed = 0;                      // every frame before this is known
    InputCode last = 0;                     // the latest known keys: the guess for the frames after
    InputCode pending = 0;                  // a local seat's keys since its last frame was made
  };
  static size_t slot(int frame) { return static_cast<size_t>(frame % kWindow); }
  bool local(int seat) const { return setup_.ownerOfSeat[static_cast<size_t>(seat)] == 0; }
  void receive();
  void take(int peer, const InputPacket &packet);
  void placeLocalKeys();
  void compareChecks();
  SeatInputs inputsFor(int frame);
  void stepFrame(bool again);
  void rollBack();
  void check();
  void send();
  // What a packet would tell now, to send a waiting machine's packets only
  // when they say something new.
  struct Sent {
    int frame = -1, check = -1;
    long long keys = -1;
    bool operator==(const Sent &) const = default;
  };
  Sent whatWouldBeSent() const;
  void sendIfNews();
  static constexpr int kResendTurns = 10;  // a waiting machine repeats itself every this many turns

  SessionSetup setup_;
  RollbackGame &game_;
  NetTransport &transport_;
  std::array<SeatKeys, kMaxSeats + 1> keys_{};
  std::vector<std::vector<uint8_t>> states_;  // the state before frame f at f % size
  int frame_ = 0;
  int rollbackTo_ = -1;             // the first frame stepped with a wrong guess, or -1
  std::array<int, 4> peerFrame_{};  // the present frame each peer last reported
  std::array<int, 4> peerAck_{};    // each peer has our keys of every frame before this
  std::array<bool, 4> isPeer_{};
  int idleCountdown_ = 0;
  Sent lastSent_;
  int quietTurns_ = 0;
  int stopAt_ = INT_MAX;
  std::vector<InputPacket::Check> checks_;
  std::vector<InputPacket::Check> remoteChecks_;
  std::array<CheckedState, 2> checkedStates_;
  int nextCheck_ = 0;
  std::function<void(int, const SeatInputs &)> onAgreed_;
  int agreedHeard_ = 0;  // frames told to onAgreed_  // the next frame whose
                         // agreed state gets a checksum
  std::string failure_;
  int desyncFrame_ = -1;
  Stats stats_;
};
