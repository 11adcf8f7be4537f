#include "engine/PackLoader.h"

#include <algorithm>

PackLoader::PackLoader(std::unique_ptr<PackReader> pack, uint64_t keptBytes, bool ownThread)
    : pack_(std::move(pack)), keptBudget_(keptBytes), entries_(pack_->entryCount()) {
  // Without a thread (a page without shared memory), what is asked for ahead
  // waits in the queue and take() reads each entry it needs.
  if (ownThread) thread_ = std::thread([this] { run(); });
}

PackLoader::~PackLoader() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool PackLoader::prefetch(size_t slot) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (slot >= entries_.size()) return true;
  Entry& e = entries_[slot];
  switch (e.state) {
    case State::NotAsked:
      e.state = State::Queued;
      queue_.push_back(slot);
      lock.unlock();
      changed_.notify_all();
      return false;
    case State::Queued:
    case State::Reading: return false;
    case State::Read:
    case State::Failed:
    case State::Handed: return true;
  }
  return true;
}

bool PackLoader::take(size_t slot, std::vector<uint8_t>& out, std::string& error, bool& firstFailure) {
  out.clear();
  firstFailure = false;
  std::unique_lock<std::mutex> lock(mutex_);
  if (slot >= entries_.size()) {
    error = pack_->name() + ": no entry number " + std::to_string(slot);
    return false;
  }
  Entry& e = entries_[slot];
  if (e.state == State::Handed) e.state = State::NotAsked;  // kept no copy: read again
  if (e.state == State::NotAsked || e.state == State::Queued) {
    // Needed now: read next, before what was asked for ahead.
    queue_.erase(std::remove(queue_.begin(), queue_.end(), slot), queue_.end());
    queue_.push_front(slot);
    e.state = State::Queued;
    changed_.notify_all();
  }
  if (!thread_.joinable() && e.state == State::Queued) {
    queue_.pop_front();
    read({slot}, lock);
  }
  changed_.wait(lock, [&] { return e.state == State::Read || e.state == State::Failed; });
  if (e.state == State::Failed) {
    error = e.error;
    firstFailure = !e.reported;
    e.reported = true;
    return false;
  }
  if (kept_ <= keptBudget_) {
    out = e.bytes;
    return true;
  }
  // Over the budget: handed over and forgotten.
  kept_ -= e.bytes.size();
  out = std::move(e.bytes);
  e.bytes = std::vector<uint8_t>();
  e.state = State::Handed;
  return true;
}

void PackLoader::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    // A few entries together, deciphered side by side; few enough bytes that
    // one needed now, put at the front, is not kept waiting long.
    std::vector<size_t> batch;
    uint64_t bytes = 0;
    while (!queue_.empty() && batch.size() < kBatchEntries &&
           (batch.empty() || bytes + pack_->entrySize(queue_.front()) <= kBatchBytes)) {
      batch.push_back(queue_.front());
      bytes += pack_->entrySize(queue_.front());
      queue_.pop_front();
    }
    read(batch, lock);
  }
}

void PackLoader::read(const std::vector<size_t>& slots, std::unique_lock<std::mutex>& lock) {
  for (size_t slot : slots) entries_[slot].state = State::Reading;
  lock.unlock();
  std::vector<PackReader::Result> results;
  pack_->readIndices(slots, results);
  lock.lock();
  for (size_t i = 0; i < slots.size(); ++i) {
    Entry& e = entries_[slots[i]];
    PackReader::Result& r = results[i];
    if (r.ok) {
      kept_ += r.bytes.size();
      e.bytes = std::move(r.bytes);
      e.state = State::Read;
    } else {
      e.error = std::move(r.error);
      e.state = State::Failed;
    }
  }
  changed_.notify_all();
}
