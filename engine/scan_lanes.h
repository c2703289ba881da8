// Folders examined on several threads while the caller takes them one by one in the order of
// a walk down the tree, so a scan reports exactly as if it had examined one folder after the
// other. Tasks are started newest first: a task that queues its subfolders last to first has
// the first of them examined next, and the threads stay close to where the caller is.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace engine {

class ScanLanes;

// One unit of work, such as one folder. The caller owns it and keeps it until the lanes are
// gone or it has waited for it.
class ScanTask {
 public:
  virtual ~ScanTask() = default;
  // Runs on any lane; may queue further tasks.
  virtual void Run(ScanLanes& lanes) = 0;

 private:
  friend class ScanLanes;
  enum class State : uint8_t { kNew, kQueued, kRunning, kDone };
  State state_ = State::kNew;
  std::exception_ptr error_;  // what Run threw; Wait throws it again
};

class ScanLanes {
 public:
  // `lanes` tasks may run at once, the caller's thread counting as one of them. Fewer run when
  // the OS refuses to start as many threads; with none, or one lane, each task runs on the
  // caller's thread when it is waited for.
  explicit ScanLanes(int lanes);
  ScanLanes(const ScanLanes&) = delete;
  ScanLanes& operator=(const ScanLanes&) = delete;
  // Tasks under way finish; queued ones that did not start never run.
  ~ScanLanes();

  // From any thread, also from a task's Run.
  void Queue(ScanTask* task);
  // Returns once `task` has run, running it here if no lane has started it, and other queued
  // tasks while a lane runs it. What the task threw, on whatever lane, is thrown here.
  void Wait(ScanTask& task);
  // No queued task starts from now on.
  void Stop();

 private:
  void Work();
  // Runs `task` outside the lock, which `lock` holds before and after.
  void RunHere(ScanTask& task, std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ScanTask*> queued_;  // the tasks queued and not started, newest last
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace engine
