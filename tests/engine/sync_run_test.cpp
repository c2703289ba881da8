#include "engine/sync_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir_test.h"

namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using testing_support::RecordingSink;

class RunSyncTest : public testing_support::TempDirTest {
 protected:
  std::string Settings(const std::string& body) { return WriteFile("job.bfs", "[Main]\n" + body); }
  // Source "src" and master "master" with the given destinations; `extra` adds keys.
  std::string Job(const std::string& dest_folders, const std::string& extra = "") {
    return Settings("SourceFolder=" + PathOf("src") + "\nMasterFolder=" + PathOf("master") +
                    "\nDestFolder=" + dest_folders + "\n" + extra);
  }
  static RecordingSink Run(const std::string& settings) {
    RecordingSink sink;
    engine::RunSync(settings, sink);
    return sink;
  }
  static long Steps(const RecordingSink& sink) {
    return std::count(sink.events.begin(), sink.events.end(), "Step");
  }
  std::string Copy(const std::string& source_relative) {
    return "Status Copy " + PathOf(source_relative);
  }
};

TEST_F(RunSyncTest, CopiesSubfolderFilesFirstToEachTargetMasterLast) {
  WriteFile("src/a.txt", "a");
  WriteFile("src/sub/b.txt", "b");
  MakeFolder("master");
  std::string settings = Job(PathOf("dest"));

  RecordingSink sink = Run(settings);

  EXPECT_THAT(engine::SubFolders, ElementsAre("/sub"));
  EXPECT_THAT(sink.events, ElementsAre("Start", "Status Get list of files...", "Total 4", "Step",
                                       Copy("src/sub/b.txt"), "Step", Copy("src/a.txt"), "Step",
                                       Copy("src/sub/b.txt"), "Step", Copy("src/a.txt"), "Finish"));
  EXPECT_THAT(sink.failures, IsEmpty());
  for (const char* target : {"dest", "master"}) {
    EXPECT_THAT(ListTree(target), ElementsAre("a.txt", "sub/", "sub/b.txt")) << target;
  }
  EXPECT_EQ(ReadFile("dest/sub/b.txt"), "b");
  EXPECT_EQ(ReadFile("master/a.txt"), "a");

  EXPECT_THAT(Run(settings).events,
              ElementsAre("Start", "Status Get list of files...", "Total 0", "Finish"));
}

// An empty target gets no folders and no copies (at the root they would land in "/"), yet
// its steps are reported so that the total still holds.
TEST_F(RunSyncTest, EmptyTargetsReceiveNothingButKeepTheirSteps) {
  const std::string unique = root_.filename().string();
  WriteFile("src/a.txt", "a");
  WriteFile("src/" + unique + "/b.txt", "b");
  const std::string d1 = PathOf("d1"), d2 = PathOf("d2"), m = PathOf("master");
  for (const auto& [dest_folders, targets] :
       {std::pair<std::string, std::vector<std::string>>{";" + d1, {"", d1, m}},
        {d1 + ";;" + d2 + ";", {d1, "", d2, m}}}) {
    RecordingSink sink = Run(Job(dest_folders));

    EXPECT_EQ(engine::Targets, targets);
    const long total = static_cast<long>(targets.size()) * 2;
    EXPECT_THAT(sink.events, testing::Contains("Total " + std::to_string(total)));
    EXPECT_EQ(Steps(sink), total);
    EXPECT_THAT(sink.failures, IsEmpty());
    EXPECT_FALSE(fs::exists("/" + unique));
    EXPECT_THAT(ListTree("d1"), ElementsAre("a.txt", unique + "/", unique + "/b.txt"));
    fs::remove_all(m);
  }
}

TEST_F(RunSyncTest, WithoutMasterEveryFileIsNewEveryRun) {
  const std::string unique = root_.filename().string();
  WriteFile("src/a.txt", "a");
  WriteFile("src/" + unique + "/b.txt", "b");
  std::string settings =
      Settings("SourceFolder=" + PathOf("src") + "\nDestFolder=" + PathOf("d") + "\n");

  for (int run = 0; run < 2; ++run) {
    RecordingSink sink = Run(settings);
    EXPECT_THAT(engine::Targets, ElementsAre(PathOf("d"), ""));
    EXPECT_EQ(engine::CopyList.size(), 2u) << run;
    EXPECT_EQ(Steps(sink), 4) << run;
    EXPECT_THAT(sink.failures, IsEmpty());
  }
  EXPECT_THAT(ListTree("d"), ElementsAre("a.txt", unique + "/", unique + "/b.txt"));
  EXPECT_FALSE(fs::exists("/" + unique));
}

TEST_F(RunSyncTest, WithoutSubfoldersOnlyTopLevelFilesGoAndNoFolderIsMade) {
  WriteFile("src/a.txt", "a");
  WriteFile("src/sub/b.txt", "b");
  MakeFolder("master");
  MakeFolder("d1");

  RecordingSink sink = Run(Job(PathOf("d1") + ";" + PathOf("d2"), "SyncSub=0\n"));

  EXPECT_THAT(engine::SubFolders, IsEmpty());
  EXPECT_THAT(ListTree("d1"), ElementsAre("a.txt"));
  EXPECT_FALSE(fs::exists(PathOf("d2")));
  // d2 did not get the file, so the master must not record it as handed out.
  EXPECT_THAT(ListTree("master"), IsEmpty());
  EXPECT_THAT(sink.failures,
              ElementsAre(AllOf(HasSubstr(PathOf("d2") + "//a.txt"),
                                HasSubstr("No such file or directory")),
                          AllOf(HasSubstr(PathOf("src/a.txt")), HasSubstr("held back"))));
}

TEST_F(RunSyncTest, HiddenSubfoldersAreNotScannedButHiddenFilesAreCopied) {
  WriteFile("src/.git/config", "c");
  WriteFile("src/.profile", "p");
  WriteFile("src/sub/.keep", "k");

  RecordingSink sink = Run(Job(PathOf("dest")));

  EXPECT_THAT(engine::SubFolders, ElementsAre("/sub"));
  EXPECT_THAT(ListTree("dest"), ElementsAre(".profile", "sub/", "sub/.keep"));
  EXPECT_THAT(ListTree("master"), ElementsAre(".profile", "sub/", "sub/.keep"));
  EXPECT_THAT(sink.failures, IsEmpty());
}

struct CompareCase {
  const char* what;
  std::string switches;
  std::string master_content;
  long long master_seconds;  // after kSourceTime
  long master_nanoseconds;
  unsigned master_mode;
  bool copied;
};

void PrintTo(const CompareCase& c, std::ostream* os) {
  *os << c.what;
}

// An even second, so that a second later is still the same 2-second step.
constexpr long long kSourceTime = 1700000000;
const std::string kOnlyDate = "flSize=0\nflDate=1\nflAttr=0\n";
const std::string kOnlySize = "flSize=1\nflDate=0\nflAttr=0\n";
const std::string kOnlyAttr = "flSize=0\nflDate=0\nflAttr=1\n";
const std::string kNone = "flSize=0\nflDate=0\nflAttr=0\n";

class CompareTest : public RunSyncTest, public testing::WithParamInterface<CompareCase> {};

TEST_P(CompareTest, CopiesWhatTheSwitchesCallChangedAndWhatTheMasterLacks) {
  const CompareCase& c = GetParam();
  WriteFile("src/a.txt", "abc");
  SetTime("src/a.txt", kSourceTime);
  WriteFile("src/new.txt", "n");
  MakeFolder("dest");
  WriteFile("master/a.txt", c.master_content);
  SetTime("master/a.txt", kSourceTime + c.master_seconds, c.master_nanoseconds);
  fs::permissions(PathOf("master/a.txt"), fs::perms(c.master_mode));

  RecordingSink sink = Run(Job(PathOf("dest"), c.switches));

  EXPECT_THAT(sink.failures, IsEmpty());
  EXPECT_EQ(fs::exists(PathOf("dest/a.txt")), c.copied) << c.what;
  EXPECT_EQ(ReadFile("master/a.txt"), c.copied ? "abc" : c.master_content) << c.what;
  EXPECT_EQ(ReadFile("dest/new.txt"), "n") << c.what;
  EXPECT_EQ(ReadFile("master/new.txt"), "n") << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CompareTest,
    testing::Values(
        CompareCase{"date only, size differs", kOnlyDate, "abcdef", 0, 0, 0644, false},
        CompareCase{"date only, same 2-second step", kOnlyDate, "abc", 1, 999999999, 0644, false},
        CompareCase{"date only, a second earlier is the step before", kOnlyDate, "abc", -1, 0, 0644,
                    true},
        CompareCase{"date only, master later", kOnlyDate, "abc", 2, 0, 0644, true},
        CompareCase{"size only, same length rewritten", kOnlySize, "xyz", 600, 0, 0644, false},
        CompareCase{"size only, other length", kOnlySize, "ab", 0, 0, 0644, true},
        CompareCase{"attributes only, read-only master", kOnlyAttr, "abc", 0, 0, 0444, true},
        CompareCase{"attributes only, same mode", kOnlyAttr, "zzzzz", 600, 0, 0600, false},
        CompareCase{"no switch, master has it", kNone, "zzzzz", 600, 0, 0444, false},
        CompareCase{"size and date, same", "", "abc", 0, 0, 0444, false},
        CompareCase{"size and date, other time", "", "abc", 2, 0, 0644, true}));

TEST_F(RunSyncTest, EmptyMaskFindsNoFilesButSubfoldersAreStillMade) {
  WriteFile("src/a.txt", "a");
  WriteFile("src/sub/b.txt", "b");

  RecordingSink sink = Run(Job(PathOf("dest"), "Mask=\n"));

  EXPECT_THAT(engine::CopyList, IsEmpty());
  EXPECT_THAT(ListTree("dest"), ElementsAre("sub/"));
  EXPECT_THAT(ListTree("master"), ElementsAre("sub/"));
  EXPECT_THAT(sink.failures, IsEmpty());
}

// A folder in the master where the source has a file counts as an entry of size 0.
TEST_F(RunSyncTest, MasterFolderEntryComparesLikeAFile) {
  WriteFile("src/empty.txt", "");
  WriteFile("src/full.txt", "x");
  MakeFolder("master/empty.txt");
  MakeFolder("master/full.txt");
  MakeFolder("dest");

  RecordingSink sink = Run(Job(PathOf("dest"), kOnlySize));

  EXPECT_THAT(ListTree("dest"), ElementsAre("full.txt"));
  EXPECT_TRUE(fs::is_directory(PathOf("master/full.txt")));
  EXPECT_THAT(sink.failures, ElementsAre(AllOf(HasSubstr(PathOf("master") + "//full.txt"),
                                               HasSubstr("Is a directory"))));
}

TEST_F(RunSyncTest, TargetsInsideTheSourceAreNeverScanned) {
  WriteFile("src/a.txt", "a");
  WriteFile("src/sub/b.txt", "b");
  MakeFolder("src/out");
  MakeFolder("src/keep");
  // Spelled differently from the scan's paths: only the folder's identity can tell.
  fs::create_directory_symlink(PathOf("src/out"), PathOf("out-link"));
  std::string settings =
      Settings("SourceFolder=" + PathOf("src") + "\nMasterFolder=" + PathOf("src") +
               "/./keep\nDestFolder=" + PathOf("out-link") + "\n");

  RecordingSink first = Run(settings);
  EXPECT_THAT(engine::SubFolders, ElementsAre("/sub"));
  EXPECT_THAT(first.failures, IsEmpty());
  RecordingSink second = Run(settings);

  EXPECT_THAT(second.events,
              ElementsAre("Start", "Status Get list of files...", "Total 0", "Finish"));
  for (const char* target : {"src/out", "src/keep"}) {
    EXPECT_THAT(ListTree(target), ElementsAre("a.txt", "sub/", "sub/b.txt")) << target;
  }
}

TEST_F(RunSyncTest, LinksBackUpTheTreeAreNotFollowed) {
  WriteFile("src/sub/b.txt", "b");
  MakeFolder("src/sub/deep");
  fs::create_directory_symlink(PathOf("src"), PathOf("src/sub/to-top"));
  fs::create_directory_symlink(PathOf("src/sub"), PathOf("src/sub/deep/to-parent"));
  WriteFile("elsewhere/e.txt", "e");
  fs::create_directory_symlink(PathOf("elsewhere"), PathOf("src/ext"));

  RecordingSink sink = Run(Job(PathOf("dest")));

  EXPECT_THAT(engine::SubFolders, UnorderedElementsAre("/sub", "/sub/deep", "/ext"));
  EXPECT_THAT(sink.failures, IsEmpty());
  EXPECT_THAT(ListTree("dest"), ElementsAre("ext/", "ext/e.txt", "sub/", "sub/b.txt", "sub/deep/"));
}

// Whatever is not a file or a folder after following links is not listed, and never opened:
// opening a pipe would stall the scan.
TEST_F(RunSyncTest, EntriesThatAreNeitherFilesNorFoldersAreLeftOut) {
  WriteFile("src/a.txt", "a");
  MakeFolder("src/odd");
  ASSERT_EQ(mkfifo(PathOf("src/odd/pipe.txt").c_str(), 0644), 0);
  fs::create_symlink(PathOf("src/odd/pipe.txt"), PathOf("src/odd/pipe-link.txt"));
  fs::create_symlink(PathOf("nowhere"), PathOf("src/odd/dangling.txt"));

  RecordingSink sink = Run(Job(PathOf("dest")));

  EXPECT_THAT(sink.failures, IsEmpty());
  EXPECT_THAT(engine::SubFolders, ElementsAre("/odd"));
  EXPECT_THAT(ListTree("dest"), ElementsAre("a.txt", "odd/"));
}

TEST_F(RunSyncTest, CopiesCarryTimeAndModeAndReplaceReadOnlyCopies) {
  WriteFile("src/ro.txt", "v1");
  SetTime("src/ro.txt", 1700000000, 123456789);
  fs::permissions(PathOf("src/ro.txt"), fs::perms(0444));
  WriteFile("src/run.sh", "#!/bin/sh\n");
  SetTime("src/run.sh", 1600000001, 500000000);
  fs::permissions(PathOf("src/run.sh"), fs::perms(0750));
  WriteFile("src/shared.txt", "s");
  fs::permissions(PathOf("src/shared.txt"), fs::perms(0666));  // more than the usual umask lets by
  MakeFolder("dest");
  MakeFolder("master");
  std::string settings = Job(PathOf("dest"));

  EXPECT_THAT(Run(settings).failures, IsEmpty());
  fs::permissions(PathOf("src/ro.txt"), fs::perms(0644));
  WriteFile("src/ro.txt", "version 2");
  fs::permissions(PathOf("src/ro.txt"), fs::perms(0444));
  SetTime("src/ro.txt", 1700000100, 987654321);
  RecordingSink second = Run(settings);

  EXPECT_THAT(second.failures, IsEmpty());
  EXPECT_EQ(Steps(second), 2);
  for (std::string target : {"dest/", "master/"}) {
    EXPECT_EQ(ReadFile(target + "ro.txt"), "version 2");
    EXPECT_EQ(TimeOf(target + "ro.txt"), "1700000100.987654321");
    EXPECT_EQ(ModeOf(target + "ro.txt"), 0444u);
    EXPECT_EQ(TimeOf(target + "run.sh"), "1600000001.500000000");
    EXPECT_EQ(ModeOf(target + "run.sh"), 0750u);
    EXPECT_EQ(ModeOf(target + "shared.txt"), 0666u);
  }
}

TEST_F(RunSyncTest, FileThatMissedADestinationIsHeldBackFromTheMasterAndRetried) {
  WriteFile("src/a.txt", "a");
  WriteFile("src/b.txt", "b");
  MakeFolder("master");
  MakeFolder("dest/a.txt");  // stands in the way of the copy
  std::string settings = Job(PathOf("dest"));

  RecordingSink first = Run(settings);

  EXPECT_EQ(Steps(first), 4);
  EXPECT_THAT(first.failures,
              ElementsAre(AllOf(HasSubstr(PathOf("src/a.txt")),
                                HasSubstr(PathOf("dest") + "//a.txt"), HasSubstr("Is a directory")),
                          AllOf(HasSubstr(PathOf("src/a.txt")), HasSubstr("held back"))));
  EXPECT_THAT(ListTree("dest"), ElementsAre("a.txt/", "b.txt"));  // no temporary file left
  EXPECT_THAT(ListTree("master"), ElementsAre("b.txt"));

  fs::remove(PathOf("dest/a.txt"));
  RecordingSink second = Run(settings);

  EXPECT_THAT(second.failures, IsEmpty());
  EXPECT_THAT(second.events, ElementsAre("Start", "Status Get list of files...", "Total 2", "Step",
                                         Copy("src/a.txt"), "Step", Copy("src/a.txt"), "Finish"));
  EXPECT_EQ(ReadFile("dest/a.txt"), "a");
  EXPECT_EQ(ReadFile("master/a.txt"), "a");
}

TEST_F(RunSyncTest, FolderThatCannotBeMadeIsReportedAndItsFilesHeldBack) {
  WriteFile("src/sub/b.txt", "b");
  WriteFile("dest/sub", "a file, not a folder");

  RecordingSink sink = Run(Job(PathOf("dest")));

  EXPECT_THAT(
      sink.failures,
      ElementsAre(AllOf(HasSubstr(PathOf("dest") + "/sub"), HasSubstr("File exists")),
                  AllOf(HasSubstr(PathOf("dest") + "//sub/b.txt"), HasSubstr("Not a directory")),
                  HasSubstr("held back")));
  EXPECT_EQ(ReadFile("dest/sub"), "a file, not a folder");
  EXPECT_THAT(ListTree("master"), ElementsAre("sub/"));
}

// Copies run ahead on other threads; the reports must still come file by file, target by
// target, and a master copy must wait for the destinations of its own file.
TEST_F(RunSyncTest, ManyCopiesReportInOrderAndOnlyTheBlockedFileIsHeldBack) {
  constexpr int kFiles = 30;
  for (int i = 0; i < kFiles; ++i) {
    WriteFile("src/f" + std::to_string(i) + ".txt", std::string(1000 + i, 'a' + i % 26));
  }
  MakeFolder("master");
  MakeFolder("one");
  MakeFolder("two/f13.txt");  // stands in the way of one copy to the second destination

  RecordingSink sink = Run(Job(PathOf("one") + ";" + PathOf("two")));

  ASSERT_EQ(engine::CopyList.size(), static_cast<size_t>(kFiles));
  std::vector<std::string> expected = {"Start", "Status Get list of files...", "Total 90"};
  for (int target = 0; target < 3; ++target) {
    for (const engine::FileEntry& file : engine::CopyList) {
      expected.push_back("Step");
      expected.push_back("Status Copy " + file.Name);
    }
  }
  expected.push_back("Finish");
  EXPECT_EQ(sink.events, expected);
  EXPECT_THAT(sink.failures,
              ElementsAre(AllOf(HasSubstr(PathOf("two") + "//f13.txt"), HasSubstr("Is a directory")),
                          AllOf(HasSubstr(PathOf("src/f13.txt")), HasSubstr("held back"))));
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = "/f" + std::to_string(i) + ".txt";
    const std::string content = ReadFile("src" + name);
    EXPECT_EQ(ReadFile("one" + name), content) << name;
    if (i == 13) {
      EXPECT_FALSE(fs::exists(PathOf("master" + name)));
    } else {
      EXPECT_EQ(ReadFile("two" + name), content) << name;
      EXPECT_EQ(ReadFile("master" + name), content) << name;
    }
  }
  EXPECT_EQ(ListTree("master").size(), static_cast<size_t>(kFiles - 1));  // nothing else there
}

struct NoSourceCase {
  const char* what;
  std::string source_line;  // <t> stands for the test's folder
  const char* reason;
};

void PrintTo(const NoSourceCase& c, std::ostream* os) {
  *os << c.what;
}

class NoSourceTest : public RunSyncTest, public testing::WithParamInterface<NoSourceCase> {};

TEST_P(NoSourceTest, ReportsTheSourceAndDoesNothing) {
  const NoSourceCase& c = GetParam();
  WriteFile("file", "x");
  std::string source = c.source_line;
  if (size_t at = source.find("<t>"); at != std::string::npos)
    source.replace(at, 3, PathOf());
  std::string settings = source == "no settings file"
                             ? PathOf("missing.bfs")
                             : Settings(source + "\nMasterFolder=" + PathOf("master") + "\n");

  RecordingSink sink = Run(settings);

  EXPECT_THAT(sink.events,
              ElementsAre("Start", "Status Get list of files...", "Total 0", "Finish"));
  EXPECT_THAT(sink.failures, ElementsAre(HasSubstr(c.reason))) << c.what;
  EXPECT_FALSE(fs::exists(PathOf("master")));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, NoSourceTest,
    testing::Values(NoSourceCase{"missing folder", "SourceFolder=<t>/nothing",
                                 "/nothing: No such file or directory"},
                    NoSourceCase{"a file", "SourceFolder=<t>/file", "/file: Not a directory"},
                    NoSourceCase{"empty", "SourceFolder=", "source folder"},
                    NoSourceCase{"no key", "Mask=*", "source folder"},
                    NoSourceCase{"no file", "no settings file", "source folder"}));

// "src/" gives "src//a.txt" during the scan; the relative path still starts at the second "/".
TEST_F(RunSyncTest, TrailingSeparatorsShowAsDoubleAndChangeNothingElse) {
  WriteFile("src/a.txt", "a");
  WriteFile("src/sub/b.txt", "b");
  std::string settings =
      Settings("SourceFolder=" + PathOf("src") + "/\nMasterFolder=" + PathOf("master") +
               "/\nDestFolder=" + PathOf("dest") + "/\n");

  RecordingSink first = Run(settings);

  EXPECT_THAT(first.failures, IsEmpty());
  EXPECT_THAT(first.events, testing::Contains("Status Copy " + PathOf("src") + "//sub/b.txt"));
  EXPECT_THAT(first.events, testing::Contains("Status Copy " + PathOf("src") + "//a.txt"));
  for (const char* target : {"dest", "master"}) {
    EXPECT_THAT(ListTree(target), ElementsAre("a.txt", "sub/", "sub/b.txt")) << target;
  }
  EXPECT_THAT(Run(settings).events,
              ElementsAre("Start", "Status Get list of files...", "Total 0", "Finish"));
}

}  // namespace
