#include "app/NetRecording.h"

#include "app/PlayRules.h"
#include "app/ScreenFlow.h"
#include "base/CheckedFile.h"

NetRecording::NetRecording(const std::string &path, const std::string &header) : file_(path) {
  if (file_.ok() && !file_.writeLines(header)) failed_ = file_.error();
}

void appendKeyChanges(int replayFrame, int seat, const FrameInput &before, const FrameInput &now,
                      std::vector<ReplayEvent> &out) {
  for (size_t k = 0; k < GAME_KEY_COUNT; ++k) {
    const int key = seatGameKey(static_cast<int>(k), seat);
    const bool was = before.held[k], held = now.held[k];
    if (now.pressed[k]) {
      if (was) out.push_back(ReplayEvent{replayFrame, false, key, false});
      out.push_back(ReplayEvent{replayFrame, true, key, false});
      if (!held) out.push_back(ReplayEvent{replayFrame, false, key, false});
    } else if (held && !was) {
      out.push_back(ReplayEvent{replayFrame, true, key, true});
    } else if (!held && was) {
      out.push_back(ReplayEvent{replayFrame, false, key, false});
    }
  }
}

void NetRecording::write(const ReplayEvent &event) {
  if (ok() && !file_.write(event)) failed_ = file_.error();
}

void NetRecording::writeChecksUpTo(int replayFrame) {
  while (!waiting_.empty() && waiting_.front().frame <= replayFrame) {
    if (ok() && !file_.writeCheck(waiting_.front())) failed_ = file_.error();
    waiting_.pop_front();
  }
}

void NetRecording::agreed(int frame, const SeatInputs &keys) {
  const int replayFrame = frame + 2;
  std::vector<ReplayEvent> events;
  for (int seat = 1; seat <= kMaxSeats; ++seat) {
    // Leaving is the seat's leave key pressed in the frame, as a game on one
    // machine records it.
    if (keys[seat].leave) {
      events.push_back(ReplayEvent{replayFrame, true, hgeSeatKey(HGEK_LEAVE, seat), false});
      events.push_back(ReplayEvent{replayFrame, false, hgeSeatKey(HGEK_LEAVE, seat), false});
    }
    appendKeyChanges(replayFrame, seat, before_[static_cast<size_t>(seat)], keys[seat], events);
    before_[static_cast<size_t>(seat)] = keys[seat];
  }
  for (const ReplayEvent &e : events) write(e);
  written_ = replayFrame;
  writeChecksUpTo(replayFrame);
}

void NetRecording::checked(int frame, uint64_t sum) {
  waiting_.push_back(ReplayCheck{frame + 1, sum});
  writeChecksUpTo(written_);
}

bool NetRecording::close() {
  const bool closed = file_.close();
  if (failed_.empty() && !closed) failed_ = file_.error();
  return failed_.empty();
}

std::string writeDesyncReport(const std::string &folder, int frame, const AgreedGame &game,
                              const std::vector<uint8_t> *agreedState) {
  const std::string stem = folder + "/desync-at-" + std::to_string(frame);
  NetRecording keys(stem + ".replay", game.header);
  for (const auto &[checked, sum] : game.checks) keys.checked(checked, sum);
  for (size_t f = 0; f < game.keys.size(); ++f) {
    SeatInputs frameKeys;
    for (int seat = 1; seat <= kMaxSeats; ++seat) frameKeys[seat] = decodeInput(game.keys[f][static_cast<size_t>(seat - 1)]);
    keys.agreed(static_cast<int>(f), frameKeys);
  }
  if (!keys.close()) return "its report could not be written: " + keys.error();
  std::string said = "the keys of the game so far are in " + stem + ".replay (play it with --replay)";
  if (agreedState) {
    std::string why;
    if (!writeCheckedFile(stem + "-agreed.state", *agreedState, why)) return said + "; " + why;
    said += ", the state both machines last agreed on in " + stem + "-agreed.state";
  }
  return said;
}

std::string netReplayHeader(int seed, const GameRules &rules, const std::vector<ModUse> &mods) {
  std::string header = formatReplaySeed(seed) + "\n";
  if (rules.seatsAtStart > 1) header += formatReplayPlayers(rules.seatsAtStart) + "\n";
  header += "checks state\n";
  for (const ModUse &m : mods) header += formatReplayMod(ReplayMod{m.info.name, m.hash}) + "\n";
  return header + recordingHeader(rules);
}
