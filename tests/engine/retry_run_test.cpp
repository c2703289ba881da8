// Copies that failed for a reason that may pass, tried again once the rest of their target's
// copies are done: what is tried, when, what is reported, and what the master then gets.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/platform/dry_run_file_system.h"
#include "engine/platform/path_rules.h"
#include "engine/sync_run.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/recording_sink.h"

namespace {

using ::testing::ElementsAreArray;
using testing_support::FailReason;
using testing_support::MemoryFileSystem;
using testing_support::Native;
using testing_support::RecordingSink;

struct RetryCase {
  const char* name;
  const char* keys;  // the retry keys of the settings file
  const char* fail_path;
  FailReason reason;
  // What happens in each wait, numbered from 1; the default ends the failure in the first.
  std::function<void(MemoryFileSystem&, RecordingSink&, int wait)> while_waiting;
  std::vector<std::string> copies;   // copies tried and flushes, in order ("a>d1" = a.txt to d1)
  std::vector<std::string> retries;  // Retry and Wait events, in order
  std::vector<std::string> failures;
  bool master_has_a;
  bool finished = true;
  // With copies side by side, a copy that found the disk full is first made again alone, by
  // the lanes' own rule; a case about that cause keeps to one lane, so its count stays plain.
  std::vector<int> lanes = {1, 3};
};

void PrintTo(const RetryCase& c, std::ostream* os) {
  *os << c.name;
}

// The log in runs of one target's copies (or of flushes), each run's entries sorted: copies
// side by side may finish in any order within a target, never across targets.
std::vector<std::vector<std::string>> InRuns(const std::vector<std::string>& log) {
  std::vector<std::vector<std::string>> runs;
  std::string run_of;
  for (const std::string& entry : log) {
    const size_t target = entry.rfind(" -> ");
    const size_t folder_end = entry.rfind(std::string(2, platform::kPathSeparator));
    const std::string of =
        entry.rfind("flush ", 0) == 0 ? "flush" : entry.substr(target, folder_end - target);
    if (runs.empty() || of != run_of)
      runs.emplace_back();
    run_of = of;
    runs.back().push_back(entry);
  }
  for (std::vector<std::string>& run : runs) std::sort(run.begin(), run.end());
  return runs;
}

// A line with its paths written with this OS's separator; the reasons keep their own "/".
std::string Paths(const std::string& text) {
  std::string native = Native(text);
  const std::string reason = "Input/output error";
  const size_t at = native.find(Native(reason));
  if (at != std::string::npos)
    native.replace(at, reason.size(), reason);
  return native;
}

// "a>d1" as the log writes it: "copy /s/a.txt -> /d1//a.txt"; "flush d1" as "flush /d1".
std::string Logged(const std::string& shorthand) {
  if (shorthand.rfind("flush ", 0) == 0)
    return Native("flush /" + shorthand.substr(6));
  const std::string file = shorthand.substr(0, 1) + ".txt";
  const std::string target = shorthand.substr(2);
  return Native("copy /s/" + file + " -> /" + target + "//" + file);
}

class RetryTest : public testing::TestWithParam<RetryCase> {};

TEST_P(RetryTest, TriesAgainAfterTheTargetsOtherCopiesOnlyWhatMayPass) {
  const RetryCase& c = GetParam();
  for (int lanes : c.lanes) {
    MemoryFileSystem fs;
    fs.SetParallelCopies(lanes);
    fs.AddFile(Native("/s/a.txt"), "a");
    fs.AddFile(Native("/s/b.txt"), "b");
    for (const char* target : {"/d1", "/d2", "/m"}) fs.AddFolder(Native(target));
    fs.AddFile(Native("/job.bfs"), "[Main]\nSourceFolder=" + Native("/s") +
                                       "\nMasterFolder=" + Native("/m") +
                                       "\nDestFolder=" + Native("/d1;/d2") + "\n" + c.keys);
    fs.FailOn("copy", Native(c.fail_path), c.reason);
    RecordingSink sink;
    int waits = 0;
    sink.while_waiting = [&] {
      ++waits;
      if (c.while_waiting)
        c.while_waiting(fs, sink, waits);
      else if (waits == 1)
        fs.Recover("copy", Native(c.fail_path));
    };

    engine::RunSync(fs, Native("/job.bfs"), sink);

    std::vector<std::string> copies, expected_copies, retries, expected_retries;
    for (const std::string& entry : fs.Log()) {
      if (entry.rfind("copy ", 0) == 0 || entry.rfind("flush ", 0) == 0)
        copies.push_back(entry);
    }
    for (const std::string& shorthand : c.copies) expected_copies.push_back(Logged(shorthand));
    for (const std::string& event : sink.events) {
      if (event.rfind("Retry ", 0) == 0 || event.rfind("Wait ", 0) == 0)
        retries.push_back(event);
    }
    for (const std::string& event : c.retries) expected_retries.push_back(Paths(event));
    std::vector<std::string> expected_failures;
    for (const std::string& failure : c.failures) expected_failures.push_back(Paths(failure));

    EXPECT_EQ(InRuns(copies), InRuns(expected_copies)) << lanes << " lanes";
    if (lanes == 1) {
      EXPECT_THAT(copies, ElementsAreArray(expected_copies));
    }
    EXPECT_THAT(retries, ElementsAreArray(expected_retries)) << lanes << " lanes";
    EXPECT_THAT(sink.failures, ElementsAreArray(expected_failures)) << lanes << " lanes";
    EXPECT_EQ(fs.Exists(Native("/m/a.txt")), c.master_has_a) << lanes << " lanes";
    EXPECT_EQ(!sink.events.empty() && sink.events.back() == "Finish", c.finished);
    // A retry adds no step: the total still holds.
    if (c.finished) {
      EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(), "Step"), 6);
    }
  }
}

const std::vector<std::string> kEveryCopy = {"a>d1",     "b>d1",     "a>d2", "b>d2",
                                             "flush d1", "flush d2", "a>m",  "b>m"};

INSTANTIATE_TEST_SUITE_P(
    Causes, RetryTest,
    testing::Values(
        RetryCase{"BusyDestinationFreedDuringTheWait",
                  "Retries=2\nRetryWait=7\n",
                  "/d1/a.txt",
                  testing_support::kBusy,
                  nullptr,
                  {"a>d1", "b>d1", "a>d1", "a>d2", "b>d2", "flush d1", "flush d2", "a>m", "b>m"},
                  {"Retry retry 1 of 2 in 7 s: copy /s/a.txt -> /d1//a.txt: Device or resource "
                   "busy",
                   "Wait 7"},
                  {},
                  true},
        RetryCase{"ProgramRunningFromTheFileUntilTheLastRound",
                  "Retries=2\nRetryWait=0\n",
                  "/d1/a.txt",
                  testing_support::kTextBusy,
                  [](MemoryFileSystem&, RecordingSink&, int) {},
                  {"a>d1", "b>d1", "a>d1", "a>d1", "a>d2", "b>d2", "flush d1", "flush d2", "b>m"},
                  {"Retry retry 1 of 2: copy /s/a.txt -> /d1//a.txt: Text file busy", "Wait 0",
                   "Retry retry 2 of 2: copy /s/a.txt -> /d1//a.txt: Text file busy", "Wait 0"},
                  {"copy /s/a.txt -> /d1//a.txt: Text file busy",
                   "master copy held back for /s/a.txt: not every destination received it"},
                  false},
        RetryCase{"NetworkFileSystemErrorOfTheSecondDestination",
                  "Retries=1\n",
                  "/d2/b.txt",
                  testing_support::kNetworkInputOutput,
                  nullptr,
                  {"a>d1", "b>d1", "a>d2", "b>d2", "b>d2", "flush d1", "flush d2", "a>m", "b>m"},
                  {"Retry retry 1 of 1 in 5 s: copy /s/b.txt -> /d2//b.txt: Input/output error",
                   "Wait 5"},
                  {},
                  true},
        RetryCase{"FullMasterFreedDuringTheWait",
                  "Retries=3\nRetryWait=1\n",
                  "/m/a.txt",
                  testing_support::kDiskFull,
                  nullptr,
                  {"a>d1", "b>d1", "a>d2", "b>d2", "flush d1", "flush d2", "a>m", "b>m", "a>m"},
                  {"Retry retry 1 of 3 in 1 s: copy /s/a.txt -> /m//a.txt: No space left on "
                   "device",
                   "Wait 1"},
                  {},
                  true,
                  true,
                  {1}},
        RetryCase{"BusySourceForEveryTarget",
                  "Retries=1\nRetryWait=2\n",
                  "/s/b.txt",
                  testing_support::kBusy,
                  [](MemoryFileSystem&, RecordingSink&, int) {},
                  {"a>d1", "b>d1", "b>d1", "a>d2", "b>d2", "b>d2", "flush d1", "flush d2", "a>m"},
                  {"Retry retry 1 of 1 in 2 s: copy /s/b.txt -> /d1//b.txt: Device or resource "
                   "busy",
                   "Wait 2",
                   "Retry retry 1 of 1 in 2 s: copy /s/b.txt -> /d2//b.txt: Device or resource "
                   "busy",
                   "Wait 2"},
                  {"copy /s/b.txt -> /d1//b.txt: Device or resource busy",
                   "copy /s/b.txt -> /d2//b.txt: Device or resource busy",
                   "master copy held back for /s/b.txt: not every destination received it"},
                  true},
        RetryCase{"PermissionIsNotTriedAgain",
                  "Retries=3\n",
                  "/d1/a.txt",
                  testing_support::kAccessDenied,
                  nullptr,
                  {"a>d1", "b>d1", "a>d2", "b>d2", "flush d1", "flush d2", "b>m"},
                  {},
                  {"copy /s/a.txt -> /d1//a.txt: Permission denied",
                   "master copy held back for /s/a.txt: not every destination received it"},
                  false},
        RetryCase{"FolderInTheWayIsNotTriedAgain",
                  "Retries=3\n",
                  "/d2/a.txt",
                  testing_support::kIsAFolder,
                  nullptr,
                  {"a>d1", "b>d1", "a>d2", "b>d2", "flush d1", "flush d2", "b>m"},
                  {},
                  {"copy /s/a.txt -> /d2//a.txt: Is a directory",
                   "master copy held back for /s/a.txt: not every destination received it"},
                  false},
        RetryCase{"LocalInputOutputErrorIsNotTriedAgain",
                  "Retries=3\n",
                  "/d1/a.txt",
                  testing_support::kInputOutput,
                  nullptr,
                  {"a>d1", "b>d1", "a>d2", "b>d2", "flush d1", "flush d2", "b>m"},
                  {},
                  {"copy /s/a.txt -> /d1//a.txt: Input/output error",
                   "master copy held back for /s/a.txt: not every destination received it"},
                  false},
        RetryCase{"WithoutTheKeysAFailureIsFinalAtOnce",
                  "",
                  "/d1/a.txt",
                  testing_support::kBusy,
                  nullptr,
                  {"a>d1", "b>d1", "a>d2", "b>d2", "flush d1", "flush d2", "b>m"},
                  {},
                  {"copy /s/a.txt -> /d1//a.txt: Device or resource busy",
                   "master copy held back for /s/a.txt: not every destination received it"},
                  false,
                  true,
                  {1}},  // side by side, copies then run ahead into the next target as ever
        // The master must get the version every destination got, or none.
        RetryCase{"SourceThatChangedIsNotTriedAgain",
                  "Retries=3\n",
                  "/m/a.txt",
                  testing_support::kBusy,
                  [](MemoryFileSystem& fs, RecordingSink&, int) {
                    fs.AddFile(Native("/s/a.txt"), "a, changed");
                    fs.Recover("copy", Native("/m/a.txt"));
                  },
                  {"a>d1", "b>d1", "a>d2", "b>d2", "flush d1", "flush d2", "a>m", "b>m", "a>m"},
                  {"Retry retry 1 of 3 in 5 s: copy /s/a.txt -> /m//a.txt: Device or resource "
                   "busy",
                   "Wait 5"},
                  {"copy /s/a.txt -> /m//a.txt: the file changed during the run"},
                  false},
        RetryCase{"StopAskedDuringTheWait",
                  "Retries=2\n",
                  "/d1/a.txt",
                  testing_support::kBusy,
                  [](MemoryFileSystem& fs, RecordingSink& sink, int) {
                    fs.Recover("copy", Native("/d1/a.txt"));
                    sink.stop_now = true;
                  },
                  {"a>d1", "b>d1"},
                  {"Retry retry 1 of 2 in 5 s: copy /s/a.txt -> /d1//a.txt: Device or resource "
                   "busy",
                   "Wait 5"},
                  {},
                  false,
                  false}),
    [](const auto& row) { return std::string(row.param.name); });

// A dry run asks the disk what a copy would meet; a cause that may pass is tried again there
// as in the run, so both say the same.
TEST(RetryDryRunTest, SaysWhatTheRunSays) {
  std::vector<std::vector<std::string>> said;
  for (bool dry : {false, true}) {
    MemoryFileSystem disk;
    disk.AddFile(Native("/s/a.txt"), "a");
    disk.AddFolder(Native("/d"));
    disk.AddFolder(Native("/m"));
    disk.AddFile(Native("/job.bfs"),
                 "[Main]\nSourceFolder=" + Native("/s") + "\nMasterFolder=" + Native("/m") +
                     "\nDestFolder=" + Native("/d") + "\nRetries=2\nRetryWait=3\n");
    disk.FailOn("copy", Native("/s/a.txt"), testing_support::kBusy);
    platform::DryRunFileSystem dry_fs(disk);
    RecordingSink sink;
    int waits = 0;
    sink.while_waiting = [&] {
      if (++waits == 2)
        disk.Recover("copy", Native("/s/a.txt"));
    };
    engine::RunSync(dry ? static_cast<platform::FileSystem&>(dry_fs) : disk, Native("/job.bfs"),
                    sink);
    std::vector<std::string> lines = sink.events;
    lines.insert(lines.end(), sink.failures.begin(), sink.failures.end());
    said.push_back(lines);
    if (dry)
      EXPECT_FALSE(disk.Exists(Native("/d/a.txt")));
    else
      EXPECT_EQ(disk.Content(Native("/m/a.txt")), "a");
  }
  EXPECT_EQ(said[0], said[1]);
  EXPECT_THAT(said[0], testing::Contains("Wait 3").Times(2));
}

}  // namespace
