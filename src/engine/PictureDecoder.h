// Decodes pictures on a thread of its own (where the platform has threads),
// so that a window's pictures are ready by the time they are first drawn and a
// scene change does not stop the game while they are decoded. Jobs run in the
// order they were given.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/SdlPtrs.h"

class PictureDecoder {
 public:
  // One picture file to decode, within `maxPixels`.
  struct Job {
    std::vector<uint8_t> bytes;
    uint64_t maxPixels = 0;
    // Set by the decoder once `done`.
    SurfacePtr picture;
    std::string error;
    bool done = false;
    bool cancelled = false;  // its texture was freed: skipped if not started
  };

  PictureDecoder();
  ~PictureDecoder();
  PictureDecoder(const PictureDecoder&) = delete;
  PictureDecoder& operator=(const PictureDecoder&) = delete;

  void submit(std::shared_ptr<Job> job);
  // Waits until `job` is done, decoding it here at once if the thread has
  // not started it yet, and hands over its picture (nullptr with the reason
  // in `error` when it cannot be decoded).
  SurfacePtr take(const std::shared_ptr<Job>& job, std::string& error);
  void cancel(const std::shared_ptr<Job>& job);

 private:
  void run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::shared_ptr<Job>> queue_;
  bool stopping_ = false;
  std::thread thread_;
};
