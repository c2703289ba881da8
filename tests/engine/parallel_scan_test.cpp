// The scan on several threads: a run reports, copies and makes exactly what it does on one,
// whatever order the folders were examined in; a stop request and a listing that throws reach
// the run as they do on one thread.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/sync_run.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/recording_sink.h"

namespace {

using ::testing::ElementsAre;
using testing_support::FailReason;
using testing_support::MemoryFileSystem;
using testing_support::Native;
using testing_support::RecordingSink;

// A tree with every kind of folder the scan meets: deep and wide, hidden, a target inside the
// source, a link back up, folders and entries that cannot be examined, temporary names, files
// the master has and lacks.
void AddTree(MemoryFileSystem& fs) {
  for (int top = 0; top < 6; ++top) {
    const std::string t = "/s/t" + std::to_string(top);
    fs.AddFile(Native(t + "/top.txt"), "top" + std::to_string(top));
    for (int mid = 0; mid < 4; ++mid) {
      const std::string m = t + "/m" + std::to_string(mid);
      for (int f = 0; f < 3; ++f) fs.AddFile(Native(m + "/f" + std::to_string(f)), m);
      fs.AddFile(Native(m + "/deep/er/est.txt"), "deep");
    }
  }
  fs.AddFile(Native("/s/root.txt"), "root");
  fs.AddFile(Native("/s/.~parlowen-0123456789abcdef.tmp"), "temporary");
  fs.AddFolder(Native("/s/.hidden"), engine::kAttrHidden);
  fs.AddFile(Native("/s/.hidden/x.txt"), "hidden");
  fs.AddFolder(Native("/s/t2/out"));
  fs.AddLink(Native("/s/t3/m1/up"), Native("/s/t3"));
  fs.FailOn("list", Native("/s/t1/m2"), testing_support::kAccessDenied);
  fs.FailOn("list", Native("/s/t4"), testing_support::kInputOutput);
  fs.FailOn("status", Native("/s/t5/m0/f1"), testing_support::kAccessDenied);
  // The master has some files already, one of them in another version.
  fs.AddFile(Native("/m/root.txt"), "root");
  fs.AddFile(Native("/m/t0/top.txt"), "top0");
  fs.AddFile(Native("/m/t0/m0/f0"), "other version");
  // A destination holds some folders already, and a file where one must go.
  fs.AddFolder(Native("/d/t0/m1/deep"));
  fs.AddFolder(Native("/d/t5"));
  fs.AddFile(Native("/d/t3"), "in the way");
  fs.AddLink(Native("/out"), Native("/s/t2/out"));
}

struct Seen {
  std::vector<std::string> events, failures, sub_folders, copy_list, writes;
};

Seen RunWithScanLanes(int lanes) {
  MemoryFileSystem fs;
  AddTree(fs);
  fs.SetParallelScans(lanes);
  fs.AddFile(Native("/job.bfs"), "[Main]\nSourceFolder=" + Native("/s") + "\nMasterFolder=" +
                                     Native("/m") + "\nDestFolder=" + Native("/d;/out") + "\n");
  RecordingSink sink;
  engine::RunSync(fs, Native("/job.bfs"), sink);
  Seen seen{sink.events, sink.failures, engine::SubFolders, {}, {}};
  for (const engine::FileEntry& file : engine::CopyList) seen.copy_list.push_back(file.Name);
  for (const std::string& entry : fs.Log()) {
    if (entry.rfind("list ", 0) != 0)
      seen.writes.push_back(entry);
  }
  return seen;
}

TEST(ParallelScanTest, ReportsCopiesAndFoldersAsOnOneThread) {
  const Seen one = RunWithScanLanes(1);
  const auto refused = [](const std::string& what, const FailReason& reason) {
    return what + ": " + reason.text;
  };
  ASSERT_GT(one.failures.size(), 4u);
  EXPECT_THAT(
      std::vector<std::string>(one.failures.begin(), one.failures.begin() + 4),
      ElementsAre(refused("list " + Native("/s/t1/m2"), testing_support::kAccessDenied),
                  refused("list " + Native("/s/t4"), testing_support::kInputOutput),
                  refused("status " + Native("/s/t5/m0/f1"), testing_support::kAccessDenied),
                  refused("create folder " + Native("/d/t3"), testing_support::kAlreadyExists)));
  // Each folder's files after those of its subfolders, as one thread walking down finds them.
  ASSERT_EQ(one.copy_list.size(), 79u);
  EXPECT_THAT(
      std::vector<std::string>(one.copy_list.begin(), one.copy_list.begin() + 5),
      ElementsAre(Native("/s/t0/m0/deep/er/est.txt"), Native("/s/t0/m0/f0"), Native("/s/t0/m0/f1"),
                  Native("/s/t0/m0/f2"), Native("/s/t0/m1/deep/er/est.txt")));
  EXPECT_EQ(one.copy_list.back(), Native("/s/t5/top.txt"));
  for (int lanes : {2, 3, 8}) {
    for (int round = 0; round < 20; ++round) {
      SCOPED_TRACE("lanes " + std::to_string(lanes) + ", round " + std::to_string(round));
      const Seen many = RunWithScanLanes(lanes);
      EXPECT_EQ(many.events, one.events);
      EXPECT_EQ(many.failures, one.failures);
      EXPECT_EQ(many.sub_folders, one.sub_folders);
      EXPECT_EQ(many.copy_list, one.copy_list);
      EXPECT_EQ(many.writes, one.writes);
    }
  }
}

// Listing one folder waits, a while at most, until another folder's listing has begun, so the
// test can tell that two were examined at once. Listing a chosen folder may throw.
class OverlapFileSystem : public MemoryFileSystem {
 public:
  platform::IoResult ListFolder(const std::string& folder, const std::string& mask,
                                bool with_subfolders, platform::FolderListing* listing) override {
    if (folder == throws_at)
      throw std::bad_alloc();
    {
      std::unique_lock<std::mutex> lock(mutex_);
      ++started_;
      changed_.notify_all();
      if (folder == waits_at) {
        overlapped = changed_.wait_for(lock, std::chrono::seconds(5), [&] { return started_ > 2; });
      }
    }
    return MemoryFileSystem::ListFolder(folder, mask, with_subfolders, listing);
  }

  std::string waits_at, throws_at;
  bool overlapped = false;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int started_ = 0;
};

TEST(ParallelScanTest, FoldersAreExaminedSideBySideAndTakenInOrder) {
  OverlapFileSystem fs;
  fs.SetParallelScans(2);
  fs.waits_at = Native("/s/a");  // examined first; its listing waits for /s/b's
  fs.AddFile(Native("/s/a/1.txt"), "1");
  fs.AddFile(Native("/s/b/2.txt"), "2");
  fs.AddFile(Native("/s/3.txt"), "3");
  fs.AddFile(Native("/job.bfs"), "[Main]\nSourceFolder=" + Native("/s") +
                                     "\nMasterFolder=" + Native("/m") + "\nDestFolder=\n");
  RecordingSink sink;
  engine::RunSync(fs, Native("/job.bfs"), sink);

  EXPECT_TRUE(fs.overlapped);
  EXPECT_THAT(engine::SubFolders, ElementsAre(Native("/a"), Native("/b")));
  std::vector<std::string> copied;
  for (const engine::FileEntry& file : engine::CopyList) copied.push_back(file.Name);
  EXPECT_THAT(copied, ElementsAre(Native("/s/a/1.txt"), Native("/s/b/2.txt"), Native("/s/3.txt")));
  EXPECT_THAT(sink.failures, ::testing::IsEmpty());
}

TEST(ParallelScanTest, AListingThatThrowsReachesTheRunWhateverTheLane) {
  for (int lanes : {1, 2, 4}) {
    for (const char* folder : {"/s", "/s/a", "/s/b", "/s/b/c"}) {
      SCOPED_TRACE(std::string(folder) + " on " + std::to_string(lanes) + " lanes");
      OverlapFileSystem fs;
      fs.SetParallelScans(lanes);
      fs.throws_at = Native(folder);
      fs.AddFile(Native("/s/a/1.txt"), "1");
      fs.AddFile(Native("/s/b/c/2.txt"), "2");
      fs.AddFile(Native("/job.bfs"), "[Main]\nSourceFolder=" + Native("/s") +
                                         "\nMasterFolder=" + Native("/m") + "\nDestFolder=\n");
      RecordingSink sink;
      EXPECT_THROW(engine::RunSync(fs, Native("/job.bfs"), sink), std::bad_alloc);
      EXPECT_THAT(fs.Log("mkdir"), ::testing::IsEmpty());
    }
  }
}

// A sink that asks the run to stop once it has been told of a failure.
class StopAtFailureSink : public RecordingSink {
 public:
  bool StopRequested() const override { return !failures.empty(); }
};

// Stopped at the first failure, the run reports nothing further and writes nothing; on one
// lane no folder after the failing one is even listed.
TEST(ParallelScanTest, StopsAtTheFailureThatAsksForIt) {
  for (int lanes : {1, 2, 4}) {
    SCOPED_TRACE(std::to_string(lanes) + " lanes");
    MemoryFileSystem fs;
    fs.SetParallelScans(lanes);
    for (const char* folder : {"/s/a", "/s/b", "/s/c", "/s/d"}) {
      fs.AddFile(Native(std::string(folder) + "/x.txt"), "x");
      fs.FailOn("list", Native(std::string(folder) + "/locked"), testing_support::kAccessDenied);
      fs.AddFolder(Native(std::string(folder) + "/locked"));
    }
    fs.AddFile(Native("/job.bfs"), "[Main]\nSourceFolder=" + Native("/s") +
                                       "\nMasterFolder=" + Native("/m") + "\nDestFolder=\n");
    StopAtFailureSink sink;
    engine::RunSync(fs, Native("/job.bfs"), sink);

    EXPECT_THAT(sink.failures, ElementsAre("list " + Native("/s/a/locked") + ": " +
                                           testing_support::kAccessDenied.text));
    EXPECT_THAT(sink.events, ElementsAre("Start", "Status Get list of files..."));
    EXPECT_THAT(fs.Log("mkdir"), ::testing::IsEmpty());
    if (lanes == 1) {
      EXPECT_THAT(fs.Log("list"), ElementsAre("list " + Native("/s"), "list " + Native("/s/a"),
                                              "list " + Native("/s/a/locked")));
    }
  }
}

}  // namespace
