#include "engine/copy_lanes.h"

#include <exception>

namespace engine {

CopyLanes::CopyLanes(platform::FileSystem& fs, int lanes) : fs_(fs) {
  if (lanes <= 1)
    return;
  // A thread may not start (no memory for its stack, a limit on processes): the lanes that did
  // start do the work, and with none the caller's thread copies.
  for (int i = 0; i < lanes; ++i) {
    try {
      workers_.emplace_back([this] { Work(); });
    } catch (...) {
      break;
    }
  }
}

CopyLanes::~CopyLanes() {
  if (workers_.empty())
    return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void CopyLanes::Queue(CopyJob job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Slot& slot = slots_.emplace_back();
    slot.job = std::move(job);
  }
  if (!workers_.empty()) changed_.notify_one();
}

CopyOutcome CopyLanes::Take() {
  std::unique_lock<std::mutex> lock(mutex_);
  Slot& front = slots_.front();
  auto run_here = [&] {
    lock.unlock();
    try {
      Run(front);
    } catch (...) {
      front.error = std::current_exception();
    }
    lock.lock();
    front.done = true;
  };
  if (next_ == 0 && (workers_.empty() || alone_)) {
    next_ = 1;  // no worker may take it now
    run_here();
  } else {
    changed_.wait(lock, [&] { return front.done; });
  }
  if (front.by_worker && !front.error && front.outcome.result.no_space) {
    alone_ = true;
    changed_.wait(lock, [&] { return running_ == 0; });
    run_here();
  }
  CopyOutcome outcome = std::move(front.outcome);
  const std::exception_ptr error = front.error;
  slots_.pop_front();
  if (next_ > 0) --next_;
  // Thrown once the slot is gone, so the lanes stay usable; what a worker caught goes on as if
  // the caller had made the copy.
  if (error) {
    lock.unlock();
    std::rethrow_exception(error);
  }
  return outcome;
}

void CopyLanes::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stopping_ || (!alone_ && next_ < slots_.size()); });
    if (stopping_) return;
    Slot& slot = slots_[next_++];
    slot.by_worker = true;
    ++running_;
    lock.unlock();
    try {
      Run(slot);
    } catch (...) {
      slot.error = std::current_exception();  // an exception must not end the program here
    }
    lock.lock();
    --running_;
    slot.done = true;
    changed_.notify_all();
  }
}

void CopyLanes::Run(Slot& slot) {
  if (!slot.job.clean_folder.empty()) fs_.RemoveStaleTemporaries(slot.job.clean_folder);
  slot.outcome.result =
      fs_.CopyOver(slot.job.source, slot.job.destination, slot.job.expected, &slot.outcome.stamp);
}

}  // namespace engine
