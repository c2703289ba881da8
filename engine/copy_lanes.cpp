#include "engine/copy_lanes.h"

#include <algorithm>
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

void CopyLanes::Queue(size_t id, CopyJob job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    slots_[id].job = std::move(job);
    waiting_.push_back(id);
  }
  if (!workers_.empty())
    changed_.notify_one();
}

size_t CopyLanes::Held() {
  std::lock_guard<std::mutex> lock(mutex_);
  return slots_.size();
}

CopyOutcome CopyLanes::Take(size_t id) {
  std::unique_lock<std::mutex> lock(mutex_);
  Slot& slot = slots_.at(id);
  auto run_here = [&] {
    lock.unlock();
    try {
      Run(slot);
    } catch (...) {
      slot.error = std::current_exception();
    }
    lock.lock();
    slot.done = true;
  };
  if (!slot.started && (workers_.empty() || alone_)) {
    slot.started = true;  // no worker may take it now
    waiting_.erase(std::find(waiting_.begin(), waiting_.end(), id));
    run_here();
  } else {
    changed_.wait(lock, [&] { return slot.done; });
  }
  if (slot.by_worker && !slot.error && slot.outcome.result.no_space) {
    alone_ = true;
    changed_.wait(lock, [&] { return running_ == 0; });
    run_here();
  }
  CopyOutcome outcome = std::move(slot.outcome);
  const std::exception_ptr error = slot.error;
  slots_.erase(id);
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
    changed_.wait(lock, [&] { return stopping_ || (!alone_ && !waiting_.empty()); });
    if (stopping_)
      return;
    Slot& slot = slots_.at(waiting_.front());
    waiting_.pop_front();
    slot.started = true;
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
  const bool clean = !slot.job.clean_folder.empty();
  if (clean && !slot.job.clean_after)
    fs_.RemoveStaleTemporaries(slot.job.clean_folder);
  slot.outcome.result =
      fs_.CopyOver(slot.job.source, slot.job.destination, slot.job.expected, &slot.outcome.stamp);
  if (clean && slot.job.clean_after)
    fs_.RemoveStaleTemporaries(slot.job.clean_folder);
  // A copy done ahead of its report may wait long for it: only its outcome is kept, but for one
  // that ran out of space, which may be made again.
  if (!slot.outcome.result.no_space)
    slot.job = CopyJob();
}

}  // namespace engine
