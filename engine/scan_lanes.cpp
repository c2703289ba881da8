#include "engine/scan_lanes.h"

#include <algorithm>
#include <iterator>

namespace engine {

ScanLanes::ScanLanes(int lanes) {
  // A thread may not start (no memory for its stack, a limit on processes): the lanes that did
  // start share the work, and with none the caller's thread does it all.
  for (int i = 1; i < lanes; ++i) {
    try {
      workers_.emplace_back([this] { Work(); });
    } catch (...) {
      break;
    }
  }
}

ScanLanes::~ScanLanes() {
  Stop();
  for (std::thread& worker : workers_) worker.join();
}

void ScanLanes::Queue(ScanTask* task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    task->state_ = ScanTask::State::kQueued;
    queued_.push_back(task);
  }
  if (!workers_.empty())
    changed_.notify_one();
}

void ScanLanes::Wait(ScanTask& task) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (task.state_ != ScanTask::State::kDone) {
    if (task.state_ == ScanTask::State::kQueued && !stopping_) {
      // Most often the newest: the walk waits for the folder it queued last.
      auto it = std::find(queued_.rbegin(), queued_.rend(), &task);
      queued_.erase(std::next(it).base());
      RunHere(task, lock);
    } else if (task.state_ == ScanTask::State::kRunning && !queued_.empty()) {
      // Another lane runs it: meanwhile this thread takes the newest queued task.
      ScanTask* other = queued_.back();
      queued_.pop_back();
      RunHere(*other, lock);
    } else if (task.state_ == ScanTask::State::kRunning) {
      changed_.wait(lock);
    } else {
      break;  // stopped before it started: it never runs
    }
  }
  if (task.state_ == ScanTask::State::kDone && task.error_) {
    const std::exception_ptr error = task.error_;
    task.error_ = nullptr;
    lock.unlock();
    std::rethrow_exception(error);
  }
}

void ScanLanes::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queued_.clear();
  }
  changed_.notify_all();
}

void ScanLanes::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stopping_ || !queued_.empty(); });
    if (stopping_)
      return;
    ScanTask* task = queued_.back();
    queued_.pop_back();
    RunHere(*task, lock);
  }
}

void ScanLanes::RunHere(ScanTask& task, std::unique_lock<std::mutex>& lock) {
  task.state_ = ScanTask::State::kRunning;
  lock.unlock();
  try {
    task.Run(*this);
  } catch (...) {
    task.error_ = std::current_exception();  // an exception must not end the program here
  }
  lock.lock();
  task.state_ = ScanTask::State::kDone;
  if (!workers_.empty())
    changed_.notify_all();
}

}  // namespace engine
