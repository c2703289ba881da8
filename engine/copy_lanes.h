// Copies that run on worker threads while the caller takes their results in the order it
// reports them, so a run reports exactly as if it had copied one file after the other. Each
// copy has a number; the caller may queue copies in another order than it takes them (copies
// into later destinations queued beside those of the destination being reported), and takes
// each by its number. With one lane nothing runs ahead: each copy is made when the caller
// takes it, on the caller's thread. A copy that ran out of space while others ran is made
// again alone, and so is every later one.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "engine/platform/file_system.h"

namespace engine {

struct CopyJob {
  std::string source;
  std::string destination;
  platform::SourceStamp expected = 0;
  std::string clean_folder;  // when not empty, stale temporaries there are removed
  // On another machine the folder is cleaned once this copy has changed it: a client may list
  // a folder from what it last read, which lacks a file whose creation's answer was lost.
  bool clean_after = false;
};

struct CopyOutcome {
  platform::IoResult result;
  platform::SourceStamp stamp = 0;
};

class CopyLanes {
 public:
  // `lanes` copies may be under way at once; at most 1 means none runs on another thread.
  // Fewer run at once when the OS refuses to start as many threads; with none, each copy is
  // made on the caller's thread, as with one lane.
  CopyLanes(platform::FileSystem& fs, int lanes);
  CopyLanes(const CopyLanes&) = delete;
  CopyLanes& operator=(const CopyLanes&) = delete;
  // Copies already under way finish; queued ones that did not start are dropped.
  ~CopyLanes();

  // Copies start in the order they are queued. `id` is the caller's number for the copy.
  void Queue(size_t id, CopyJob job);
  // The outcome of the copy queued as `id`, once it is done. What the copy threw, also on a
  // worker, is thrown here.
  CopyOutcome Take(size_t id);
  // Copies queued and not taken yet: waiting, under way or done.
  size_t Held();

 private:
  struct Slot {
    CopyJob job;
    CopyOutcome outcome;
    bool started = false;
    bool by_worker = false;
    bool done = false;
    std::exception_ptr error;  // thrown by the copy on a worker; Take throws it again
  };
  void Work();
  void Run(Slot& slot);

  platform::FileSystem& fs_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::unordered_map<size_t, Slot> slots_;  // references stay valid while others come and go
  std::deque<size_t> waiting_;              // queued copies no lane has started, in order
  bool stopping_ = false;
  // Set once a copy ran out of space next to others: from then on each copy runs alone, on the
  // caller's thread, so that no copy fails only for the room another one held for a moment.
  bool alone_ = false;
  int running_ = 0;  // copies the workers have under way
  std::vector<std::thread> workers_;
};

}  // namespace engine
