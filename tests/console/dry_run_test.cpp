// A dry run reads everything a run reads, writes nothing, and prints what the run after it
// prints.
#include <sys/stat.h>

#include <functional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir_test.h"
#include "tests/support/tree_snapshot.h"

namespace {

using testing_support::RunProgram;
using testing_support::TreeSnapshot;

class DryRunTest;

struct DryRunCase {
  const char* name;
  std::function<void(DryRunTest&)> prepare;  // builds the tree and writes job.bfs
  int exit_code;
  size_t copy_lines;
};

class DryRunTest : public testing_support::TempDirTest,
                   public ::testing::WithParamInterface<DryRunCase> {
 public:
  void Settings(const std::string& dest, const std::string& extra = "") {
    WriteFile("job.bfs", "[Main]\nSourceFolder=" + PathOf("src") + "\nMasterFolder=" +
                             PathOf("master") + "\nDestFolder=" + dest + "\n" + extra);
  }
  // Two files in the source, one a folder down, both older than now.
  void Source() {
    WriteFile("src/a.txt", "alpha");
    WriteFile("src/sub/b.txt", "beta");
    SetTime("src/a.txt", 1600000000);
    SetTime("src/sub/b.txt", 1600000000);
  }
  using TempDirTest::MakeFolder;
  using TempDirTest::PathOf;
  using TempDirTest::SetTime;
  using TempDirTest::WriteFile;
};

void PrintTo(const DryRunCase& c, std::ostream* os) {
  *os << c.name;
}

size_t CountCopyLines(const std::string& out) {
  size_t count = 0;
  for (size_t at = out.find("\nCopy "); at != std::string::npos; at = out.find("\nCopy ", at + 1)) {
    ++count;
  }
  return count;
}

TEST_P(DryRunTest, WritesNothingAndPrintsWhatTheRunPrints) {
  const DryRunCase& c = GetParam();
  c.prepare(*this);
  const std::vector<std::string> before = TreeSnapshot(PathOf());

  auto dry = RunProgram({PARLOCON_PATH, "-n", "job.bfs"}, PathOf());

  EXPECT_EQ(TreeSnapshot(PathOf()), before);
  EXPECT_EQ(dry.exit_code, c.exit_code) << dry.err;

  auto real = RunProgram({PARLOCON_PATH, "job.bfs"}, PathOf());

  EXPECT_EQ(dry.out, real.out);
  EXPECT_EQ(dry.err, real.err);
  EXPECT_EQ(dry.exit_code, real.exit_code);
  EXPECT_EQ(CountCopyLines(real.out), c.copy_lines) << real.out;
}

const DryRunCase kCases[] = {
    {"NewTargets",
     [](DryRunTest& t) {
       t.Source();
       t.WriteFile("src/sub/deep/.hidden", "h");
       t.Settings(t.PathOf("d1") + ";" + t.PathOf("d2/inner"));
     },
     0, 9},
    {"ChangedFilesOverReadOnlyAndStaleTemporary",
     [](DryRunTest& t) {
       t.Source();
       t.WriteFile("master/a.txt", "alpha");
       t.SetTime("master/a.txt", 1600000000);
       t.WriteFile("master/sub/b.txt", "old");
       t.WriteFile("d1/sub/b.txt", "old");
       chmod(t.PathOf("d1/sub/b.txt").c_str(), 0444);
       // What an interrupted copy leaves behind; a real run clears it away.
       t.WriteFile("d1/sub/.~parlowen-0123456789abcdef.tmp", "half");
       t.Settings(t.PathOf("d1"));
     },
     0, 2},
    {"EmptyTargetsInTheList",
     [](DryRunTest& t) {
       t.Source();
       t.Settings(";" + t.PathOf("d1") + ";;");
     },
     0, 8},
    {"SourceMissing", [](DryRunTest& t) { t.Settings(t.PathOf("d1")); }, 3, 0},
    {"SettingsFileMissing", [](DryRunTest&) {}, 2, 0},
    {"FileWhereAFolderMustGo",
     [](DryRunTest& t) {
       t.Source();
       t.WriteFile("d1", "a file");
       t.Settings(t.PathOf("d1") + ";" + t.PathOf("d2"));
     },
     3, 6},
    {"FileWhereASubfolderMustGo",
     [](DryRunTest& t) {
       t.Source();
       t.WriteFile("d1/sub", "a file");
       t.Settings(t.PathOf("d1"));
     },
     3, 4},
    {"FolderWhereAFileMustGo",
     [](DryRunTest& t) {
       t.Source();
       t.MakeFolder("d1/a.txt");
       t.Settings(t.PathOf("d1"));
     },
     3, 4},
    {"DestinationMissingWithoutSubfolders",
     [](DryRunTest& t) {
       t.Source();
       t.Settings(t.PathOf("d1"), "SyncSub=0\n");
     },
     3, 2},
};

INSTANTIATE_TEST_SUITE_P(Cases, DryRunTest, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
