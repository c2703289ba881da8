#include "engine/copy_lanes.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/memory_file_system.h"

namespace {

using platform::IoResult;
using platform::SourceStamp;

// Copies nothing: each copy gives a stamp made from its source name, and odd ones fail. The
// first copy waits (a while at most) until a second one has started, so a test can tell that
// two ran at once, and can be told to find no room then.
class OverlapFileSystem : public testing_support::MemoryFileSystem {
 public:
  explicit OverlapFileSystem(int lanes) { SetParallelCopies(lanes); }
  IoResult CopyOver(const std::string& from, const std::string&, SourceStamp,
                    SourceStamp* copied) override {
    const int index = std::stoi(from);
    if (index == throws_at_)
      throw std::runtime_error("copy " + from + " threw");
    {
      std::unique_lock<std::mutex> lock(mutex_);
      ++started_;
      threads_seen_.push_back(std::this_thread::get_id());
      changed_.notify_all();
      if (index == 0 && !overlapped_) {
        overlapped_ =
            changed_.wait_for(lock, std::chrono::seconds(5), [&] { return started_ > 1; });
        if (overlapped_ && short_of_space_) {
          IoResult full;
          full.os_code = 28;
          full.no_space = true;
          return full;
        }
      }
    }
    *copied = static_cast<SourceStamp>(100 + index);
    IoResult r;
    if (index % 2 == 1) {
      r.os_code = 5;
      r.message = "copy " + from + " failed";
    }
    return r;
  }

  bool short_of_space_ = false;  // the first copy finds no room while another one runs
  int throws_at_ = -1;           // the copy of this index throws
  bool overlapped_ = false;
  std::vector<std::thread::id> threads_seen_;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int started_ = 0;
};

engine::CopyJob Job(int index) {
  engine::CopyJob job;
  job.source = std::to_string(index);
  job.destination = "to-" + job.source;
  return job;
}

TEST(CopyLanesTest, OutcomesComeInQueueOrderWhileCopiesOverlap) {
  OverlapFileSystem fs(2);
  {
    engine::CopyLanes lanes(fs, fs.ParallelCopies());
    for (int i = 0; i < 6; ++i) lanes.Queue(i, Job(i));
    for (int i = 0; i < 6; ++i) {
      engine::CopyOutcome outcome = lanes.Take(i);
      EXPECT_EQ(outcome.stamp, static_cast<SourceStamp>(100 + i));
      EXPECT_EQ(outcome.result.ok(), i % 2 == 0) << i;
      if (i % 2 == 1) {
        EXPECT_EQ(outcome.result.message, "copy " + std::to_string(i) + " failed");
      }
    }
  }
  EXPECT_TRUE(fs.overlapped_) << "the second copy never started while the first was running";
}

TEST(CopyLanesTest, CopyOutOfSpaceBesideAnotherIsMadeAgainAloneAndSoAreTheRest) {
  OverlapFileSystem fs(2);
  fs.short_of_space_ = true;
  engine::CopyLanes lanes(fs, fs.ParallelCopies());
  for (int i = 0; i < 3; ++i) lanes.Queue(i, Job(i));

  engine::CopyOutcome first = lanes.Take(0);
  EXPECT_TRUE(first.result.ok()) << first.result.message;
  EXPECT_EQ(first.stamp, 100u);
  EXPECT_TRUE(fs.overlapped_);
  for (int i = 3; i < 6; ++i) lanes.Queue(i, Job(i));
  for (int i = 1; i < 6; ++i) EXPECT_EQ(lanes.Take(i).stamp, static_cast<SourceStamp>(100 + i));
  // The retry and the copies queued after it ran on this thread.
  ASSERT_EQ(fs.threads_seen_.size(), 7u);  // six copies and one retry
  for (size_t i = 3; i < fs.threads_seen_.size(); ++i) {
    EXPECT_EQ(fs.threads_seen_[i], std::this_thread::get_id()) << i;
  }
}

// Thrown on a worker, it would end the program; it reaches the caller in its turn instead.
TEST(CopyLanesTest, WhatACopyThrowsIsThrownByTakeOnTheCallersThread) {
  for (int lanes : {1, 2}) {
    OverlapFileSystem fs(lanes);
    fs.throws_at_ = 3;
    engine::CopyLanes copies(fs, fs.ParallelCopies());
    for (int i = 2; i < 6; ++i) copies.Queue(i, Job(i));
    EXPECT_EQ(copies.Take(2).stamp, 102u) << lanes;
    EXPECT_THROW(copies.Take(3), std::runtime_error) << lanes;
    EXPECT_EQ(copies.Take(4).stamp, 104u) << lanes;
  }
}

TEST(CopyLanesTest, OneLaneCopiesOnTheCallersThreadWhenTheOutcomeIsTaken) {
  OverlapFileSystem fs(1);
  engine::CopyLanes lanes(fs, fs.ParallelCopies());
  lanes.Queue(2, Job(2));
  lanes.Queue(3, Job(3));
  EXPECT_TRUE(fs.threads_seen_.empty());  // nothing runs ahead
  EXPECT_EQ(lanes.Take(2).stamp, 102u);
  ASSERT_EQ(fs.threads_seen_.size(), 1u);
  EXPECT_EQ(fs.threads_seen_[0], std::this_thread::get_id());
  EXPECT_FALSE(lanes.Take(3).result.ok());
}

}  // namespace
