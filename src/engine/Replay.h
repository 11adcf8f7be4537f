// Replay files: the seed of the run, every key that goes down or up, and a
// checksum of the world every 100 frames. One line each:
//
//   seed N                  the run's random seed (at most once, before the other lines)
//   players N               the seats that played from the first frame, 1-4 (at most once,
//                           before the frame lines; written only for two or more)
//   checks state            the check lines sum the whole saved state of the world (at most
//                           once, before the frame lines); without it they sum the older,
//                           smaller set of fields (files written before the game saved states)
//   mod NAME HASH           a mod the run was played with, bottom first, with the hash of its
//                           files (16 hex digits); before the frame lines, none without mods
//   difficulty NAME         the level of difficulty played (at most once, before the frame
//                           lines; written only when it is not normal)
//   hero SEAT ID            the hero seat SEAT (1-4) played, when one was chosen (once a
//                           seat, before the frame lines)
//   FRAME down|up KEY [SEAT] a key change; KEY is A..Z, ESC or LEAVE (the seat leaves the
//                           game), SEAT 1-4 (none: seat 1)
//   FRAME hold KEY          the key is held from this frame on without counting as a press
//                           (a key held when play resumes after a pause)
//   FRAME check HEX         the world's checksum after the frame callback of FRAME (16 hex digits)
//
// FRAME counts the frames in which the game runs, from 1: while the game is
// paused no frame passes and no key is recorded. Lines are in frame order.
// Blank lines and lines starting with '#' are ignored. Files without a seed
// line, hold lines or check lines (written before the game stored them) still play.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/CheckedFile.h"

struct ReplayEvent {
  int frame = 0;  // 1 = before the first frame callback
  bool down = false;
  int key = 0;    // virtual-key code; a seat's key for seats 2-4 (hgeSeatKey)
  bool hold = false;  // with `down`: held without counting as a press
};

// The world's checksum after the frame callback of `frame`.
struct ReplayCheck {
  int frame = 0;
  uint64_t checksum = 0;
};

// A mod of the run: its name and the hash of its files.
struct ReplayMod {
  std::string name;
  std::string hash;  // 16 lowercase hex digits
  bool operator==(const ReplayMod&) const = default;
};

struct ReplayFile {
  std::optional<int32_t> seed;
  std::optional<int32_t> players;
  bool stateChecks = false;  // "checks state": the checks sum the whole saved state
  std::vector<ReplayMod> mods;  // bottom first; empty: played without mods
  std::optional<std::string> difficulty;            // as written; the game checks the name
  std::vector<std::pair<int, std::string>> heroes;  // seat, id as written
  std::vector<ReplayEvent> events;
  std::vector<ReplayCheck> checks;  // in frame order, one per frame at most
};

// Checks are written after the frame callback of every multiple of this frame.
constexpr int kReplayCheckInterval = 100;

// The key's name in a replay file ("A".."Z", "ESC", "LEAVE"), or nullptr when replays cannot hold it.
const char* replayKeyName(int key);
// The key code of a name, or 0.
int replayKeyCode(const std::string& name);
// Whether a replay line can hold the game's key `code` of any seat.
bool replayCanHold(int code);

// Parses replay text. On a malformed line returns false with an error naming
// `sourceName`, the line number and what is wrong (quoting at most 40
// characters of the line's words).
bool parseReplay(const std::string& text, const std::string& sourceName, ReplayFile& out, std::string& error);
// Reads (a regular file, within the bound of every file the game reads) and parses a replay file.
bool loadReplay(const std::string& path, ReplayFile& out, std::string& error);

// The lines for a seed, an event and a check, without the line end.
std::string formatReplaySeed(int32_t seed);
std::string formatReplayPlayers(int32_t players);
std::string formatReplayMod(const ReplayMod& mod);
std::string formatReplayEvent(const ReplayEvent& event);
std::string formatReplayCheck(const ReplayCheck& check);
// A checksum as check lines hold it: 16 lowercase hexadecimal digits.
std::string formatChecksum(uint64_t checksum);

// Hands out a replay's events frame by frame, and its checks.
class ReplayPlayer {
 public:
  explicit ReplayPlayer(ReplayFile file) : file_(std::move(file)) {}
  // Calls `apply` for each event of `frame` (and any earlier one not yet given).
  template <class F>
  void play(int frame, F&& apply) {
    while (next_ < file_.events.size() && file_.events[next_].frame <= frame) apply(file_.events[next_++]);
  }
  bool finished() const { return next_ >= file_.events.size(); }
  bool hasChecks() const { return !file_.checks.empty(); }
  // The checksum recorded for `frame`, if any.
  std::optional<uint64_t> checkAt(int frame) const;

 private:
  ReplayFile file_;
  size_t next_ = 0;
};

// Writes a run to a replay file as it happens. Every line is handed to the
// system at once; the first failure is kept (see CheckedFile) and nothing more
// is written after it.
class ReplayRecorder {
 public:
  explicit ReplayRecorder(const std::string& path) { file_.open(path); }
  ReplayRecorder(const ReplayRecorder&) = delete;
  ReplayRecorder& operator=(const ReplayRecorder&) = delete;

  bool ok() const { return file_.isOpen() && !file_.failed(); }
  // "PATH: REASON" for the first failure.
  const std::string& error() const { return file_.error(); }
  // Each returns false when the line could not be written.
  bool writeSeed(int32_t seed);
  bool writePlayers(int32_t players);
  bool writeStateChecks();
  bool writeMod(const ReplayMod& mod);
  // Writes header lines as given (each ends with a line end).
  bool writeLines(const std::string& lines);
  // Records the event; keys a replay cannot name are skipped.
  bool write(const ReplayEvent& event);
  bool writeCheck(const ReplayCheck& check);
  // Closes the file; false when the last writes or the close failed.
  bool close() { return file_.close(); }

 private:
  CheckedFile file_;
};
