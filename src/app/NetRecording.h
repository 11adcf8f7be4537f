// A game played over the network, written as a replay file as its frames are
// agreed: every seat's keys as all machines stepped them, and the checksums
// the machines compared. Played offline (--replay) it passes through the same
// checks.
//
// The session counts frames from 0 and steps frame f with the keys of f; a
// replay counts from 1, and its first frame starts the world, so frame f's
// keys are the keys of replay frame f + 2, and the state before frame F is
// the state after replay frame F + 1.
#pragma once

#include <array>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "app/Mods.h"
#include "engine/Replay.h"
#include "net/InputCode.h"
#include "world/FrameInput.h"
#include "world/GameRules.h"
#include "world/World.h"

class NetRecording {
 public:
  // `header` holds the replay's lines before the first frame (seed, players,
  // checks, mods...), each ending in a line end.
  NetRecording(const std::string &path, const std::string &header);
  // "PATH: REASON" once a write failed; nothing more is written after it.
  bool ok() const { return failed_.empty() && file_.ok(); }
  std::string error() const { return failed_.empty() ? file_.error() : failed_; }

  // The keys of session frame `frame`, agreed: frames come in order.
  void agreed(int frame, const SeatInputs &keys);
  // The agreed checksum of the state before session frame `frame`.
  void checked(int frame, uint64_t sum);
  bool close();

 private:
  void write(const ReplayEvent &event);
  void writeChecksUpTo(int replayFrame);
  ReplayRecorder file_;
  std::array<FrameInput, kMaxSeats + 1> before_{};
  std::deque<ReplayCheck> waiting_;  // checks of frames whose keys are not written yet
  int written_ = 1;                  // the last replay frame whose keys are written
  std::string failed_;
};

// The replay lines that turn a seat's keys of one frame into the next ones:
// a key that went down (let go first if it was held: a new press), a key let
// go, a key held without a press. A tap shorter than a frame goes down and
// up in the frame.
void appendKeyChanges(int replayFrame, int seat, const FrameInput &before, const FrameInput &now,
                      std::vector<ReplayEvent> &out);

// The lines a replay of a game over the network starts with, as a recording
// made on one machine starts: seed, players, "checks state", the mods (as
// `mods` were laid) and the difficulty and heroes of `rules`.
std::string netReplayHeader(int seed, const GameRules &rules, const std::vector<ModUse> &mods);

// What a machine keeps of a game over the network so that a desync can be
// played again offline: the replay's header lines, every frame's agreed keys
// and this machine's checksums (session frames).
struct AgreedGame {
  std::string header;
  std::vector<std::array<InputCode, kMaxSeats>> keys;  // seats 1-4 of each frame
  void add(const SeatInputs &frame) {
    std::array<InputCode, kMaxSeats> codes{};
    for (int seat = 1; seat <= kMaxSeats; ++seat) codes[static_cast<size_t>(seat - 1)] = encodeInput(frame[seat]);
    keys.push_back(codes);
  }
  std::vector<std::pair<int, uint64_t>> checks;
};

// Writes the report of a desync found at replay frame `frame` into `folder`:
// "desync-at-F.replay" (the agreed keys from the start; it plays with
// --replay) and, when given, "desync-at-F-agreed.state" holding
// `agreedState`, the state file of the state both machines last agreed on
// (--load-state). The sentence that says where they
// are, or why they could not be written.
std::string writeDesyncReport(const std::string &folder, int frame, const AgreedGame &game,
                              const std::vector<uint8_t> *agreedState);
