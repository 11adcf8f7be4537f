// Remembers which problems of a world's data were already written to the log,
// so a faulty character file gives one line per file and action (or per id)
// instead of one per frame or per spawned object.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <utility>

class ReportOnce {
 public:
  // What went wrong; part of the key, so one action can report two problems.
  enum Problem : int32_t {
    MissingPicture,
    RunawayScript,
    BadJumpAction,
    BadGotoAction,
    NoActionAfterEnd,
    BadReaction,
    NoKnockDown,
    SpawnFailed,
    SpawnLimit,
    ProblemCount
  };

  // True the first time (subject, number, problem) is seen. `subject` is a
  // stable address (a character record); checking a known key never allocates.
  bool first(const void* subject, int64_t number, Problem problem) {
    const auto key = std::make_tuple(subject, number, static_cast<int32_t>(problem));
    if (seen_.find(key) != seen_.end()) return false;
    seen_.insert(key);
    return true;
  }
  // True the first time (id, problem) is seen.
  bool first(const std::string& id, Problem problem) {
    auto& ids = seenIds_[problem];
    if (ids.find(id) != ids.end()) return false;
    ids.insert(id);
    return true;
  }

 private:
  std::set<std::tuple<const void*, int64_t, int32_t>> seen_;
  std::set<std::string> seenIds_[ProblemCount];
};
