// What stands in the way on the disk, met first by a dry run and then by the run itself: links
// where a file or a folder goes, paths the system cannot name, files and folders in each
// other's place, a source file or a destination an unprivileged user cannot use. The dry run
// writes nothing and says exactly what the run then says, with the same exit code.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"
#include "tests/support/tree_snapshot.h"

namespace reliability {
namespace {

class DryRunPredictionTest;

struct PredictionCase {
  const char* name;
  bool as_nobody;
  std::function<void(DryRunPredictionTest&)> block;  // may write job.bfs anew
  int exit_code;
  // Lines on standard error with {src}, {dest1}, {dest2} and {master} filled in; when
  // `exact` is false, texts that some line must contain.
  std::vector<std::string> errors;
  bool exact = true;
};

void PrintTo(const PredictionCase& c, std::ostream* os) {
  *os << c.name;
}

class DryRunPredictionTest : public ReliabilityTest,
                             public ::testing::WithParamInterface<PredictionCase> {
 public:
  using ReliabilityTest::MakeFolder;
  using ReliabilityTest::PathOf;
  using ReliabilityTest::WriteFile;
  using ReliabilityTest::WriteSettings;

  void Link(const std::string& relative, const std::string& to) {
    std::filesystem::create_symlink(PathOf(to), PathOf(relative));
  }
  void Chmod(const std::string& relative, unsigned mode) {
    ASSERT_EQ(chmod(PathOf(relative).c_str(), mode), 0) << relative;
  }

  // A source folder whose files the source can name but a destination with a longer name
  // cannot: the destination's copy of the bottom folder lies beyond PATH_MAX.
  void DeeperThanTheDestinationCanName() {
    const std::string level(200, 'd'), destination(250, 'D');
    std::string relative = "src/deep";
    MakeFolder(relative);
    while (PathOf(relative).size() + 1 + level.size() + 2 < 4060) {
      relative += "/" + level;
      MakeFolder(relative);
    }
    PutFile(PathOf(relative + "/f"), "bottom", kBaseTimeNs);
    // The destination's text stands for the source's "src".
    ASSERT_GE(PathOf(destination).size() + relative.size() - 3, size_t{PATH_MAX});
    WriteSettings(PathOf("src"), PathOf("master"), {PathOf(destination)});
  }
};

TEST_P(DryRunPredictionTest, DryRunSaysWhatTheRunSays) {
  const PredictionCase& c = GetParam();
  if (c.as_nobody && geteuid() != 0)
    GTEST_SKIP() << "running as another user needs root";
  MakeFolder("src/sub");
  PutFile(PathOf("src/top.txt"), "top", kBaseTimeNs);
  PutFile(PathOf("src/sub/a.txt"), "a", kBaseTimeNs);
  for (const char* target : {"dest1", "dest2", "master"}) MakeFolder(target);
  const std::string settings = WriteDefaultSettings();
  if (c.as_nobody) {
    for (const char* target : {"dest1", "dest2", "master"}) GiveToNobody(PathOf(target));
  }
  c.block(*this);
  const std::vector<std::string> before = testing_support::TreeSnapshot(PathOf());

  std::string dry_out, dry_err;
  Ended dry = RunToEnd({PARLOCON_PATH, "-n", settings}, PathOf(), &dry_out, &dry_err, c.as_nobody);
  EXPECT_EQ(testing_support::TreeSnapshot(PathOf()), before);
  RunResult real = Run(settings, c.as_nobody);

  EXPECT_EQ(dry_err, real.err);
  EXPECT_EQ(dry.exit_code, real.ended.exit_code);
  EXPECT_EQ(dry_out, real.out);
  EXPECT_EQ(real.ended.exit_code, c.exit_code) << real.err;
  if (c.exact) {
    std::string expected_err;
    for (const std::string& error : c.errors)
      expected_err += "parlocon: " + FillPaths(error) + "\n";
    EXPECT_EQ(real.err, expected_err);
  } else {
    for (const std::string& error : c.errors) {
      EXPECT_GT(real.ErrLinesWith(FillPaths(error)), 0) << error << "\n" << real.err;
    }
  }
}

const char kHeldBack[] = ": not every destination received it";

INSTANTIATE_TEST_SUITE_P(
    Obstacles, DryRunPredictionTest,
    ::testing::Values(
        // The copy's rename replaces the link, not the folder it leads to.
        PredictionCase{"LinkToAFolderWhereAFileGoes",
                       false,
                       [](DryRunPredictionTest& f) {
                         f.MakeFolder("elsewhere");
                         f.Link("dest1/top.txt", "elsewhere");
                       },
                       0,
                       {}},
        PredictionCase{"DanglingLinkWhereASubfolderGoes",
                       false,
                       [](DryRunPredictionTest& f) { f.Link("dest1/sub", "nowhere"); },
                       3,
                       {"create folder {dest1}/sub: File exists",
                        "copy {src}/sub/a.txt -> {dest1}//sub/a.txt: No such file or directory",
                        std::string("master copy held back for {src}/sub/a.txt") + kHeldBack}},
        PredictionCase{"PathsBeyondPathMax",
                       false,
                       [](DryRunPredictionTest& f) { f.DeeperThanTheDestinationCanName(); },
                       3,
                       {": File name too long", "/f -> ", "master copy held back for "},
                       false},
        PredictionCase{"FileWhereASubfolderGoes",
                       false,
                       [](DryRunPredictionTest& f) { f.WriteFile("dest1/sub", "keep"); },
                       3,
                       {"create folder {dest1}/sub: File exists",
                        "copy {src}/sub/a.txt -> {dest1}//sub/a.txt: Not a directory",
                        std::string("master copy held back for {src}/sub/a.txt") + kHeldBack}},
        PredictionCase{"FolderWhereAFileGoes",
                       false,
                       [](DryRunPredictionTest& f) { f.MakeFolder("dest2/top.txt/inner"); },
                       3,
                       {"copy {src}/top.txt -> {dest2}//top.txt: Is a directory",
                        std::string("master copy held back for {src}/top.txt") + kHeldBack}},
        PredictionCase{"SourceFileNobodyCanRead",
                       true,
                       [](DryRunPredictionTest& f) { f.Chmod("src/top.txt", 0600); },
                       3,
                       {"copy {src}/top.txt -> {dest1}//top.txt: Permission denied",
                        "copy {src}/top.txt -> {dest2}//top.txt: Permission denied",
                        std::string("master copy held back for {src}/top.txt") + kHeldBack}},
        PredictionCase{"DestinationNobodyCanWrite",
                       true,
                       [](DryRunPredictionTest& f) { f.Chmod("dest1", 0555); },
                       3,
                       {"create folder {dest1}/sub: Permission denied",
                        "copy {src}/sub/a.txt -> {dest1}//sub/a.txt: No such file or directory",
                        "copy {src}/top.txt -> {dest1}//top.txt: Permission denied",
                        std::string("master copy held back for {src}/sub/a.txt") + kHeldBack,
                        std::string("master copy held back for {src}/top.txt") + kHeldBack}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
