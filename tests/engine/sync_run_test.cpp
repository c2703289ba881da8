// The run's rules on a file system in memory: what is copied where and in which order, which
// folders are made, what is reported and what is held back from the master.
#include "engine/sync_run.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/memory_file_system.h"
#include "tests/support/recording_sink.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using testing_support::FailReason;
using testing_support::MemoryFileSystem;
using testing_support::Native;
using testing_support::RecordingSink;

const std::string kScan = "Status Get list of files...";

// "/job.bfs" with the given keys.
void Settings(MemoryFileSystem& fs, const std::string& keys) {
  fs.AddFile(Native("/job.bfs"), "[Main]\n" + keys);
}

// Source /s and master /m with the given destinations ("/" written for the separator).
void Job(MemoryFileSystem& fs, const std::string& dest_folders, const std::string& extra = "") {
  Settings(fs, "SourceFolder=" + Native("/s") + "\nMasterFolder=" + Native("/m") +
                   "\nDestFolder=" + Native(dest_folders) + "\n" + extra);
}

RecordingSink RunJob(MemoryFileSystem& fs, int stop_after_statuses = 0) {
  RecordingSink sink;
  sink.stop_after_statuses = stop_after_statuses;
  engine::RunSync(fs, Native("/job.bfs"), sink);
  return sink;
}

long Steps(const RecordingSink& sink) {
  return std::count(sink.events.begin(), sink.events.end(), "Step");
}

std::string Copy(const std::string& source) {
  return "Status Copy " + Native(source);
}

// What the run wrote, in order: folders made, copies, flushes.
std::vector<std::string> Writes(const MemoryFileSystem& fs) {
  std::vector<std::string> writes;
  for (const std::string& entry : fs.Log()) {
    if (entry.rfind("list ", 0) != 0 && entry.rfind("read ", 0) != 0 &&
        entry.rfind("clean ", 0) != 0) {
      writes.push_back(entry);
    }
  }
  return writes;
}

// A log entry or a failure line, its paths written with "/".
std::string Entry(const std::string& text) {
  return Native(text);
}
std::string Refused(const std::string& what, const FailReason& reason) {
  return Native(what) + ": " + reason.text;
}
std::string HeldBack(const std::string& source, const std::string& why) {
  return "master copy held back for " + Native(source) + ": " + why;
}
const std::string kMissed = "not every destination received it";

TEST(RunSyncTest, CopiesSubfolderFilesFirstToEachTargetMasterLast) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/a.txt"), "a");
  fs.AddFile(Native("/s/sub/b.txt"), "b");
  fs.AddFolder(Native("/m"));
  Job(fs, "/d");

  RecordingSink sink = RunJob(fs);

  EXPECT_THAT(engine::SubFolders, ElementsAre(Native("/sub")));
  EXPECT_THAT(sink.events, ElementsAre("Start", kScan, "Total 4", "Step", Copy("/s/sub/b.txt"),
                                       "Step", Copy("/s/a.txt"), "Step", Copy("/s/sub/b.txt"),
                                       "Step", Copy("/s/a.txt"), "Finish"));
  EXPECT_THAT(sink.failures, IsEmpty());
  // The destination's copies are flushed, folder by folder, before the master gets any.
  EXPECT_THAT(Writes(fs),
              ElementsAre(Entry("mkdir /d"), Entry("mkdir /d/sub"), Entry("mkdir /m/sub"),
                          Entry("copy /s/sub/b.txt -> /d//sub/b.txt"),
                          Entry("copy /s/a.txt -> /d//a.txt"), Entry("flush /d//sub"),
                          Entry("flush /d"), Entry("copy /s/sub/b.txt -> /m//sub/b.txt"),
                          Entry("copy /s/a.txt -> /m//a.txt")));
  for (const char* target : {"/d", "/m"}) {
    EXPECT_THAT(fs.Tree(Native(target)), ElementsAre("a.txt", "sub/", "sub/b.txt")) << target;
  }
  EXPECT_EQ(fs.Content(Native("/d/sub/b.txt")), "b");
  EXPECT_EQ(fs.Content(Native("/m/a.txt")), "a");

  EXPECT_THAT(RunJob(fs).events, ElementsAre("Start", kScan, "Total 0", "Finish"));
}

// An empty target gets no folders and no copies (at the root they would land in "/"), yet
// its steps are reported so that the total still holds.
TEST(RunSyncTest, EmptyTargetsReceiveNothingButKeepTheirSteps) {
  const std::string d1 = Native("/d1"), d2 = Native("/d2"), m = Native("/m");
  for (const auto& [dest_folders, targets] :
       {std::pair<std::string, std::vector<std::string>>{";/d1", {"", d1, m}},
        {"/d1;;/d2;", {d1, "", d2, m}}}) {
    MemoryFileSystem fs;
    fs.AddFile(Native("/s/a.txt"), "a");
    fs.AddFile(Native("/s/sub/b.txt"), "b");
    Job(fs, dest_folders);

    RecordingSink sink = RunJob(fs);

    EXPECT_EQ(engine::Targets, targets);
    const long total = static_cast<long>(targets.size()) * 2;
    EXPECT_THAT(sink.events, testing::Contains("Total " + std::to_string(total)));
    EXPECT_EQ(Steps(sink), total);
    EXPECT_THAT(sink.failures, IsEmpty());
    EXPECT_FALSE(fs.Exists(Native("/sub")));
    EXPECT_FALSE(fs.Exists(Native("/a.txt")));
    EXPECT_THAT(fs.Tree(d1), ElementsAre("a.txt", "sub/", "sub/b.txt"));
  }
}

TEST(RunSyncTest, WithoutMasterEveryFileIsNewEveryRun) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/a.txt"), "a");
  fs.AddFile(Native("/s/sub/b.txt"), "b");
  Settings(fs, "SourceFolder=" + Native("/s") + "\nDestFolder=" + Native("/d") + "\n");

  for (int run = 0; run < 2; ++run) {
    RecordingSink sink = RunJob(fs);
    EXPECT_THAT(engine::Targets, ElementsAre(Native("/d"), ""));
    EXPECT_EQ(engine::CopyList.size(), 2u) << run;
    EXPECT_EQ(Steps(sink), 4) << run;
    EXPECT_THAT(sink.failures, IsEmpty());
  }
  EXPECT_THAT(fs.Tree(Native("/d")), ElementsAre("a.txt", "sub/", "sub/b.txt"));
  EXPECT_FALSE(fs.Exists(Native("/sub")));
}

TEST(RunSyncTest, WithoutSubfoldersOnlyTopLevelFilesGoAndNoFolderIsMade) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/a.txt"), "a");
  fs.AddFile(Native("/s/sub/b.txt"), "b");
  fs.AddFolder(Native("/m"));
  fs.AddFolder(Native("/d1"));
  Job(fs, "/d1;/d2", "SyncSub=0\n");

  RecordingSink sink = RunJob(fs);

  EXPECT_THAT(engine::SubFolders, IsEmpty());
  EXPECT_THAT(fs.Log("mkdir"), IsEmpty());
  EXPECT_THAT(fs.Tree(Native("/d1")), ElementsAre("a.txt"));
  EXPECT_FALSE(fs.Exists(Native("/d2")));
  // d2 did not get the file, so the master must not record it as handed out.
  EXPECT_THAT(fs.Tree(Native("/m")), IsEmpty());
  EXPECT_THAT(sink.failures,
              ElementsAre(Refused("copy /s/a.txt -> /d2//a.txt", testing_support::kNoSuchFile),
                          HeldBack("/s/a.txt", kMissed)));
}

TEST(RunSyncTest, HiddenAndSystemSubfoldersAreNotScannedButHiddenFilesAreCopied) {
  MemoryFileSystem fs;
  fs.AddFolder(Native("/s/.git"), engine::kAttrHidden);
  fs.AddFile(Native("/s/.git/config"), "c");
  fs.AddFolder(Native("/s/sys"), engine::kAttrSystem);
  fs.AddFile(Native("/s/sys/boot.ini"), "b");
  const uint32_t hidden_file = engine::kAttrArchive | engine::kAttrHidden;
  fs.AddFile(Native("/s/.profile"), "p", MemoryFileSystem::kTime, hidden_file);
  fs.AddFile(Native("/s/sub/.keep"), "k", MemoryFileSystem::kTime, hidden_file);
  Job(fs, "/d");

  RecordingSink sink = RunJob(fs);

  EXPECT_THAT(engine::SubFolders, ElementsAre(Native("/sub")));
  EXPECT_THAT(fs.Log("list"), ElementsAre(Entry("list /s"), Entry("list /s/sub")));
  EXPECT_THAT(fs.Tree(Native("/d")), ElementsAre(".profile", "sub/", "sub/.keep"));
  EXPECT_THAT(fs.Tree(Native("/m")), ElementsAre(".profile", "sub/", "sub/.keep"));
  EXPECT_THAT(sink.failures, IsEmpty());
}

struct CompareCase {
  const char* what;
  std::string switches;
  std::string master_content;
  int master_steps;  // the master's time, in 2-second steps after the source's
  uint32_t master_attr;
  bool copied;
};

void PrintTo(const CompareCase& c, std::ostream* os) {
  *os << c.what;
}

const std::string kOnlyDate = "flSize=0\nflDate=1\nflAttr=0\n";
const std::string kOnlySize = "flSize=1\nflDate=0\nflAttr=0\n";
const std::string kOnlyAttr = "flSize=0\nflDate=0\nflAttr=1\n";
const std::string kNone = "flSize=0\nflDate=0\nflAttr=0\n";
constexpr uint32_t kPlain = engine::kAttrArchive;
constexpr uint32_t kReadOnly = engine::kAttrArchive | engine::kAttrReadOnly;

class CompareTest : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareTest, CopiesWhatTheSwitchesCallChangedAndWhatTheMasterLacks) {
  const CompareCase& c = GetParam();
  MemoryFileSystem fs;
  constexpr uint32_t kSourceTime = MemoryFileSystem::kTime + 100;
  fs.AddFile(Native("/s/a.txt"), "abc", kSourceTime);
  fs.AddFile(Native("/s/new.txt"), "n");
  fs.AddFolder(Native("/d"));
  fs.AddFile(Native("/m/a.txt"), c.master_content, kSourceTime + c.master_steps, c.master_attr);
  Job(fs, "/d", c.switches);

  RecordingSink sink = RunJob(fs);

  EXPECT_THAT(sink.failures, IsEmpty());
  EXPECT_EQ(fs.Exists(Native("/d/a.txt")), c.copied);
  EXPECT_EQ(fs.Content(Native("/m/a.txt")), c.copied ? "abc" : c.master_content);
  EXPECT_EQ(fs.Content(Native("/d/new.txt")), "n");
  EXPECT_EQ(fs.Content(Native("/m/new.txt")), "n");
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CompareTest,
    testing::Values(
        CompareCase{"date only, size differs", kOnlyDate, "abcdef", 0, kPlain, false},
        CompareCase{"date only, same time", kOnlyDate, "abc", 0, kPlain, false},
        CompareCase{"date only, master a step earlier", kOnlyDate, "abc", -1, kPlain, true},
        CompareCase{"date only, master later", kOnlyDate, "abc", 1, kPlain, true},
        CompareCase{"size only, same length rewritten", kOnlySize, "xyz", 300, kPlain, false},
        CompareCase{"size only, other length", kOnlySize, "ab", 0, kPlain, true},
        CompareCase{"attributes only, read-only master", kOnlyAttr, "abc", 0, kReadOnly, true},
        CompareCase{"attributes only, same attributes", kOnlyAttr, "zzzzz", 300, kPlain, false},
        CompareCase{"no switch, master has it", kNone, "zzzzz", 300, kReadOnly, false},
        CompareCase{"size and date, same", "", "abc", 0, kReadOnly, false},
        CompareCase{"size and date, other time", "", "abc", 1, kPlain, true}));

TEST(RunSyncTest, EmptyMaskFindsNoFilesButSubfoldersAreStillMade) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/a.txt"), "a");
  fs.AddFile(Native("/s/sub/b.txt"), "b");
  Job(fs, "/d", "Mask=\n");

  RecordingSink sink = RunJob(fs);

  EXPECT_THAT(engine::CopyList, IsEmpty());
  EXPECT_THAT(fs.Tree(Native("/d")), ElementsAre("sub/"));
  EXPECT_THAT(fs.Tree(Native("/m")), ElementsAre("sub/"));
  EXPECT_THAT(sink.failures, IsEmpty());
}

// A folder in the master where the source has a file counts as an entry of size 0.
TEST(RunSyncTest, MasterFolderEntryComparesLikeAFile) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/empty.txt"), "");
  fs.AddFile(Native("/s/full.txt"), "x");
  fs.AddFolder(Native("/m/empty.txt"));
  fs.AddFolder(Native("/m/full.txt"));
  fs.AddFolder(Native("/d"));
  Job(fs, "/d", kOnlySize);

  RecordingSink sink = RunJob(fs);

  EXPECT_THAT(fs.Tree(Native("/d")), ElementsAre("full.txt"));
  EXPECT_TRUE(fs.IsFolder(Native("/m/full.txt")));
  EXPECT_THAT(sink.failures, ElementsAre(Refused("copy /s/full.txt -> /m//full.txt",
                                                 testing_support::kIsAFolder)));
}

TEST(RunSyncTest, TargetsInsideTheSourceAreNeverScanned) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/a.txt"), "a");
  fs.AddFile(Native("/s/sub/b.txt"), "b");
  fs.AddFolder(Native("/s/out"));
  fs.AddFolder(Native("/s/keep"));
  // Spelled differently from the scan's paths: only the folder's identity can tell.
  fs.AddLink(Native("/out-link"), Native("/s/out"));
  Settings(fs, "SourceFolder=" + Native("/s") + "\nMasterFolder=" + Native("/s/./keep") +
                   "\nDestFolder=" + Native("/out-link") + "\n");

  RecordingSink first = RunJob(fs);
  EXPECT_THAT(engine::SubFolders, ElementsAre(Native("/sub")));
  EXPECT_THAT(first.failures, IsEmpty());
  RecordingSink second = RunJob(fs);

  EXPECT_THAT(second.events, ElementsAre("Start", kScan, "Total 0", "Finish"));
  EXPECT_THAT(fs.Log("list"), testing::Each(testing::Not(testing::HasSubstr("out"))));
  EXPECT_THAT(fs.Log("list"), testing::Each(testing::Not(testing::HasSubstr("keep"))));
  for (const char* target : {"/s/out", "/s/keep"}) {
    EXPECT_THAT(fs.Tree(Native(target)), ElementsAre("a.txt", "sub/", "sub/b.txt")) << target;
  }
}

TEST(RunSyncTest, LinksBackUpTheTreeAreNotFollowed) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/sub/b.txt"), "b");
  fs.AddFolder(Native("/s/sub/deep"));
  fs.AddLink(Native("/s/sub/to-top"), Native("/s"));
  fs.AddLink(Native("/s/sub/deep/to-parent"), Native("/s/sub"));
  fs.AddFile(Native("/elsewhere/e.txt"), "e");
  fs.AddLink(Native("/s/ext"), Native("/elsewhere"));
  Job(fs, "/d");

  RecordingSink sink = RunJob(fs);

  EXPECT_THAT(engine::SubFolders,
              UnorderedElementsAre(Native("/sub"), Native("/sub/deep"), Native("/ext")));
  EXPECT_THAT(sink.failures, IsEmpty());
  EXPECT_THAT(fs.Tree(Native("/d")),
              ElementsAre("ext/", "ext/e.txt", "sub/", "sub/b.txt", "sub/deep/"));
}

TEST(RunSyncTest, FileThatMissedADestinationIsHeldBackFromTheMasterAndRetried) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/a.txt"), "a");
  fs.AddFile(Native("/s/b.txt"), "b");
  fs.AddFolder(Native("/m"));
  fs.AddFolder(Native("/d/a.txt"));  // stands in the way of the copy
  Job(fs, "/d");

  RecordingSink first = RunJob(fs);

  EXPECT_EQ(Steps(first), 4);
  EXPECT_THAT(first.failures,
              ElementsAre(Refused("copy /s/a.txt -> /d//a.txt", testing_support::kIsAFolder),
                          HeldBack("/s/a.txt", kMissed)));
  EXPECT_THAT(fs.Tree(Native("/d")), ElementsAre("a.txt/", "b.txt"));
  EXPECT_THAT(fs.Tree(Native("/m")), ElementsAre("b.txt"));

  fs.Remove(Native("/d/a.txt"));
  RecordingSink second = RunJob(fs);

  EXPECT_THAT(second.failures, IsEmpty());
  EXPECT_THAT(second.events, ElementsAre("Start", kScan, "Total 2", "Step", Copy("/s/a.txt"),
                                         "Step", Copy("/s/a.txt"), "Finish"));
  EXPECT_EQ(fs.Content(Native("/d/a.txt")), "a");
  EXPECT_EQ(fs.Content(Native("/m/a.txt")), "a");
}

TEST(RunSyncTest, FolderThatCannotBeMadeIsReportedAndItsFilesHeldBack) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/sub/b.txt"), "b");
  fs.AddFile(Native("/d/sub"), "a file, not a folder");
  Job(fs, "/d");

  RecordingSink sink = RunJob(fs);

  EXPECT_THAT(
      sink.failures,
      ElementsAre(Refused("create folder /d/sub", testing_support::kAlreadyExists),
                  Refused("copy /s/sub/b.txt -> /d//sub/b.txt", testing_support::kNotAFolder),
                  HeldBack("/s/sub/b.txt", kMissed)));
  EXPECT_EQ(fs.Content(Native("/d/sub")), "a file, not a folder");
  EXPECT_THAT(fs.Tree(Native("/m")), ElementsAre("sub/"));
}

// What the scan saw of the master's folders decides which the folder pass makes there, on one
// lane or several: only what is not a folder (links followed) is made, in order.
TEST(RunSyncTest, MasterFoldersAreMadeWhereTheMasterHasNoFolder) {
  struct Case {
    const char* name;
    void (*arrange)(MemoryFileSystem&);
    std::vector<std::string> made;  // "mkdir" entries of the log: folders the run tried to make
    std::vector<std::string> failures;
  };
  const std::vector<Case> cases = {
      {"absent", [](MemoryFileSystem&) {}, {"mkdir /m", "mkdir /m/a", "mkdir /m/a/sub"}, {}},
      {"a folder", [](MemoryFileSystem& fs) { fs.AddFolder(Native("/m/a/sub")); }, {}, {}},
      {"a link to a folder",
       [](MemoryFileSystem& fs) {
         fs.AddFolder(Native("/m/a"));
         fs.AddFolder(Native("/elsewhere"));
         fs.AddLink(Native("/m/a/sub"), Native("/elsewhere"));
       },
       {},
       {}},
      {"a file",
       [](MemoryFileSystem& fs) { fs.AddFile(Native("/m/a/sub"), "in the way"); },
       {"mkdir /m/a/sub"},
       {Refused("create folder /m/a/sub", testing_support::kAlreadyExists),
        Refused("copy /s/a/sub/b.txt -> /m//a/sub/b.txt", testing_support::kNotAFolder)}},
  };
  for (const Case& c : cases) {
    for (int lanes : {1, 2}) {
      SCOPED_TRACE(std::string(c.name) + ", lanes " + std::to_string(lanes));
      MemoryFileSystem fs;
      fs.SetParallelScans(lanes);
      fs.AddFile(Native("/s/a/sub/b.txt"), "b");
      fs.AddFolder(Native("/d/a/sub"));
      c.arrange(fs);
      Job(fs, "/d");

      RecordingSink sink = RunJob(fs);

      std::vector<std::string> expected_made;
      for (const std::string& entry : c.made) expected_made.push_back(Entry(entry));
      EXPECT_EQ(fs.Log("mkdir"), expected_made);
      EXPECT_EQ(sink.failures, c.failures);
      EXPECT_EQ(fs.Content(Native("/d/a/sub/b.txt")), "b");
      if (c.failures.empty()) {
        EXPECT_EQ(fs.Content(Native("/m/a/sub/b.txt")), "b");
      }
    }
  }
}

// Copies run ahead on other threads; the reports must still come file by file, target by
// target, and a master copy must wait for the destinations of its own file.
TEST(RunSyncTest, ManyCopiesReportInOrderAndOnlyTheBlockedFileIsHeldBack) {
  constexpr int kFiles = 30;
  MemoryFileSystem fs;
  fs.SetParallelCopies(4);
  for (int i = 0; i < kFiles; ++i) {
    fs.AddFile(Native("/s/f" + std::to_string(i) + ".txt"),
               std::string(1000 + i, static_cast<char>('a' + i % 26)));
  }
  fs.AddFolder(Native("/m"));
  fs.AddFolder(Native("/one"));
  fs.AddFolder(Native("/two/f13.txt"));  // stands in the way of one copy to the second destination
  Job(fs, "/one;/two");

  RecordingSink sink = RunJob(fs);

  ASSERT_EQ(engine::CopyList.size(), static_cast<size_t>(kFiles));
  std::vector<std::string> expected = {"Start", kScan, "Total 90"};
  for (int target = 0; target < 3; ++target) {
    for (const engine::FileEntry& file : engine::CopyList) {
      expected.push_back("Step");
      expected.push_back("Status Copy " + file.Name);
    }
  }
  expected.push_back("Finish");
  EXPECT_EQ(sink.events, expected);
  EXPECT_THAT(sink.failures,
              ElementsAre(Refused("copy /s/f13.txt -> /two//f13.txt", testing_support::kIsAFolder),
                          HeldBack("/s/f13.txt", kMissed)));
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = "/f" + std::to_string(i) + ".txt";
    const std::string content = fs.Content(Native("/s" + name));
    EXPECT_EQ(fs.Content(Native("/one" + name)), content) << name;
    if (i == 13) {
      EXPECT_FALSE(fs.Exists(Native("/m" + name)));
    } else {
      EXPECT_EQ(fs.Content(Native("/two" + name)), content) << name;
      EXPECT_EQ(fs.Content(Native("/m" + name)), content) << name;
    }
  }
  EXPECT_EQ(fs.Tree(Native("/m")).size(), static_cast<size_t>(kFiles - 1));  // nothing else there
}

// Refusals the disk gives only to some users or on a full device: each is reported with its
// path and reason, the run goes on, and what did not reach every destination stays out of the
// master.
struct RefusalCase {
  const char* name;
  const char* op;
  const char* path;
  FailReason reason;
  std::vector<std::string> failures;
  std::vector<std::string> master;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << c.name;
}

class RefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, IsReportedAndHoldsBackWhatItKeptFromADestination) {
  const RefusalCase& c = GetParam();
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/a.txt"), "a");
  fs.AddFile(Native("/s/sub/b.txt"), "b");
  Job(fs, "/d");
  fs.FailOn(c.op, Native(c.path), c.reason);

  RecordingSink sink = RunJob(fs);

  EXPECT_THAT(sink.failures, ElementsAreArray(c.failures));
  EXPECT_EQ(Steps(sink), 2 * static_cast<long>(engine::CopyList.size()));
  EXPECT_THAT(fs.Tree(Native("/m")), ElementsAreArray(c.master));
}

using testing_support::kAccessDenied;
using testing_support::kDiskFull;
using testing_support::kInputOutput;

INSTANTIATE_TEST_SUITE_P(
    Faults, RefusalTest,
    testing::Values(
        RefusalCase{
            "DestinationRefusesACopy",
            "copy",
            "/d/a.txt",
            kAccessDenied,
            {Refused("copy /s/a.txt -> /d//a.txt", kAccessDenied), HeldBack("/s/a.txt", kMissed)},
            {"sub/", "sub/b.txt"}},
        RefusalCase{"MasterIsFull",
                    "copy",
                    "/m/a.txt",
                    kDiskFull,
                    {Refused("copy /s/a.txt -> /m//a.txt", kDiskFull)},
                    {"sub/", "sub/b.txt"}},
        RefusalCase{"SourceFileCannotBeRead",
                    "copy",
                    "/s/sub/b.txt",
                    kAccessDenied,
                    {Refused("copy /s/sub/b.txt -> /d//sub/b.txt", kAccessDenied),
                     HeldBack("/s/sub/b.txt", kMissed)},
                    {"a.txt", "sub/"}},
        RefusalCase{"SubfolderCannotBeListed",
                    "list",
                    "/s/sub",
                    kAccessDenied,
                    {Refused("list /s/sub", kAccessDenied)},
                    {"a.txt", "sub/"}},
        RefusalCase{"EntryCannotBeExamined",
                    "status",
                    "/s/sub/b.txt",
                    kAccessDenied,
                    {Refused("status /s/sub/b.txt", kAccessDenied)},
                    {"a.txt", "sub/"}},
        RefusalCase{"FolderCannotBeMade",
                    "mkdir",
                    "/d/sub",
                    kAccessDenied,
                    {Refused("create folder /d/sub", kAccessDenied),
                     Refused("copy /s/sub/b.txt -> /d//sub/b.txt", testing_support::kNoSuchFile),
                     HeldBack("/s/sub/b.txt", kMissed)},
                    {"a.txt", "sub/"}},
        RefusalCase{"DestinationCannotBeFlushed",
                    "flush",
                    "/d",
                    kInputOutput,
                    {Refused("flush /d", kInputOutput),
                     HeldBack("/s/sub/b.txt", "its copies could not be flushed to disk"),
                     HeldBack("/s/a.txt", "its copies could not be flushed to disk")},
                    {"sub/"}}),
    [](const auto& row) { return std::string(row.param.name); });

// A sink that can no longer report asks the run to stop: nothing new starts, the copy that the
// last status reports has been made, and Finish never comes.
TEST(RunSyncTest, StopsWhenTheSinkAsksAfterAStatus) {
  struct Case {
    int statuses;
    std::vector<std::string> events;
    std::vector<std::string> writes;
  };
  const Case cases[] = {
      {1, {"Start", kScan}, {}},
      {3,
       {"Start", kScan, "Total 4", "Step", Copy("/s/sub/b.txt"), "Step", Copy("/s/a.txt")},
       {Entry("mkdir /d"), Entry("mkdir /d/sub"), Entry("mkdir /m"), Entry("mkdir /m/sub"),
        Entry("copy /s/sub/b.txt -> /d//sub/b.txt"), Entry("copy /s/a.txt -> /d//a.txt")}},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    fs.AddFile(Native("/s/a.txt"), "a");
    fs.AddFile(Native("/s/sub/b.txt"), "b");
    Job(fs, "/d");

    RecordingSink sink = RunJob(fs, c.statuses);

    EXPECT_EQ(sink.events, c.events) << c.statuses;
    EXPECT_EQ(Writes(fs), c.writes) << c.statuses;
    EXPECT_THAT(sink.failures, IsEmpty());
  }
}

struct NoSourceCase {
  const char* what;
  std::string source_line;
  std::string reason;
};

void PrintTo(const NoSourceCase& c, std::ostream* os) {
  *os << c.what;
}

class NoSourceTest : public testing::TestWithParam<NoSourceCase> {};

TEST_P(NoSourceTest, ReportsTheSourceAndDoesNothing) {
  const NoSourceCase& c = GetParam();
  MemoryFileSystem fs;
  fs.AddFile(Native("/file"), "x");
  if (c.source_line != "no settings file")
    Settings(fs, Native(c.source_line) + "\nMasterFolder=" + Native("/m") + "\n");

  RecordingSink sink = RunJob(fs);

  EXPECT_THAT(sink.events, ElementsAre("Start", kScan, "Total 0", "Finish"));
  EXPECT_THAT(sink.failures, ElementsAre(c.reason)) << c.what;
  EXPECT_FALSE(fs.Exists(Native("/m")));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, NoSourceTest,
    testing::Values(
        NoSourceCase{"missing folder", "SourceFolder=/nothing",
                     Refused("list /nothing", testing_support::kNoSuchFile)},
        NoSourceCase{"a file", "SourceFolder=/file",
                     Refused("list /file", testing_support::kNotAFolder)},
        NoSourceCase{"empty", "SourceFolder=", "no source folder is set: nothing to copy"},
        NoSourceCase{"no key", "Mask=*", "no source folder is set: nothing to copy"},
        NoSourceCase{"no file", "no settings file", "no source folder is set: nothing to copy"}));

// "/s/" gives "/s//a.txt" during the scan; the relative path still starts at the second "/".
TEST(RunSyncTest, TrailingSeparatorsShowAsDoubleAndChangeNothingElse) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/s/a.txt"), "a");
  fs.AddFile(Native("/s/sub/b.txt"), "b");
  Settings(fs, Native("SourceFolder=/s/\nMasterFolder=/m/\nDestFolder=/d/\n"));

  RecordingSink first = RunJob(fs);

  EXPECT_THAT(first.failures, IsEmpty());
  EXPECT_THAT(first.events, testing::Contains(Copy("/s//sub/b.txt")));
  EXPECT_THAT(first.events, testing::Contains(Copy("/s//a.txt")));
  for (const char* target : {"/d", "/m"}) {
    EXPECT_THAT(fs.Tree(Native(target)), ElementsAre("a.txt", "sub/", "sub/b.txt")) << target;
  }
  EXPECT_THAT(RunJob(fs).events, ElementsAre("Start", kScan, "Total 0", "Finish"));
}

}  // namespace
