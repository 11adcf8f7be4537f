#include "engine/PictureDecoder.h"

#include <SDL_image.h>

#include <algorithm>

#include "engine/Platform.h"
#include "engine/TextureStore.h"

PictureDecoder::PictureDecoder() {
  // The decoders' libraries are started here, once, before two threads may
  // ask for them at the same time.
  IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG);
  // Where the platform has no threads (a page without shared memory) jobs
  // wait in the queue and take() decodes each when it is needed.
  if (backgroundThreadsAllowed()) thread_ = std::thread([this] { run(); });
}

PictureDecoder::~PictureDecoder() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void PictureDecoder::submit(std::shared_ptr<Job> job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(job));
  }
  changed_.notify_all();
}

void PictureDecoder::cancel(const std::shared_ptr<Job>& job) {
  std::lock_guard<std::mutex> lock(mutex_);
  job->cancelled = true;
  queue_.erase(std::remove(queue_.begin(), queue_.end(), job), queue_.end());
}

SurfacePtr PictureDecoder::take(const std::shared_ptr<Job>& job, std::string& error) {
  std::unique_lock<std::mutex> lock(mutex_);
  auto queued = std::find(queue_.begin(), queue_.end(), job);
  if (queued != queue_.end()) {
    // Needed now and not started: decoded here rather than waiting its turn.
    queue_.erase(queued);
    lock.unlock();
    job->picture = decodePicture(job->bytes.data(), job->bytes.size(), job->maxPixels, job->error);
    lock.lock();
    job->done = true;
  }
  changed_.wait(lock, [&] { return job->done; });
  error = job->error;
  job->bytes = std::vector<uint8_t>();
  return std::move(job->picture);
}

void PictureDecoder::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    std::shared_ptr<Job> job = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    std::string error;
    SurfacePtr picture = decodePicture(job->bytes.data(), job->bytes.size(), job->maxPixels, error);
    lock.lock();
    job->picture = std::move(picture);
    job->error = std::move(error);
    job->done = true;
    changed_.notify_all();
  }
}
