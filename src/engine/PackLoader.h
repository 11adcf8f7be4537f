// Reads the pack's entries on a thread of its own (where the platform has
// threads; elsewhere when they are taken), each at most once: an
// entry asked for ahead is read in the background, and one needed now is read
// next, so whoever needs it waits for that entry alone. What was read is kept
// (within a budget of bytes), so a second load of a file does not read the
// pack again, and a pack replaced on disk while the game runs keeps serving
// what was already read.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/PackReader.h"
#include "engine/Platform.h"

class PackLoader {
 public:
  // The bytes kept at most; past it an entry is handed over and forgotten.
  static constexpr uint64_t kDefaultKeptBytes = 512ull << 20;

  // `ownThread` false: no thread; each entry is read when it is taken (what
  // the platform without threads does, a browser page).
  explicit PackLoader(std::unique_ptr<PackReader> pack, uint64_t keptBytes = kDefaultKeptBytes,
                      bool ownThread = backgroundThreadsAllowed());
  ~PackLoader();
  PackLoader(const PackLoader&) = delete;
  PackLoader& operator=(const PackLoader&) = delete;

  // The pack's names (its index never changes: safe from any thread).
  const PackReader& pack() const { return *pack_; }
  // Watches every read of the pack, on the thread that reads; set before
  // the first prefetch or take.
  void setReadObserver(PackReader::ReadObserver observer) { pack_->setReadObserver(std::move(observer)); }

  // Asks for entry `slot` to be read in the background. True when it is
  // read already (or failed): taking it now will not wait.
  bool prefetch(size_t slot);
  // The bytes of entry `slot`, waiting for them when they are not read yet.
  // On failure `error` names the entry and `firstFailure` says whether this
  // is the first time the failure is handed out (to report it once).
  bool take(size_t slot, std::vector<uint8_t>& out, std::string& error, bool& firstFailure);

 private:
  enum class State : uint8_t { NotAsked, Queued, Reading, Read, Failed, Handed };
  struct Entry {
    State state = State::NotAsked;
    std::vector<uint8_t> bytes;
    std::string error;
    bool reported = false;
  };
  // The most entries and bytes the thread reads together.
  static constexpr size_t kBatchEntries = 8;
  static constexpr uint64_t kBatchBytes = 128 << 10;

  void run();
  void read(const std::vector<size_t>& slots, std::unique_lock<std::mutex>& lock);

  std::unique_ptr<PackReader> pack_;
  const uint64_t keptBudget_;
  uint64_t kept_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Entry> entries_;  // by slot
  std::deque<size_t> queue_;
  bool stopping_ = false;
  std::thread thread_;
};
