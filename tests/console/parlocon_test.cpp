#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir_test.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using testing_support::RunOptions;
using testing_support::RunProgram;
using testing_support::StdoutTo;

constexpr char kFirstLine[] = "Get list of files...\r\n";
// Copies may run ahead of the line that reports them: two per processor, at most four processors.
constexpr size_t kMostCopiesAhead = 8;

class ParloconTest : public testing_support::TempDirTest {
 protected:
  // Settings with source "src", master "master" and destination "dest".
  std::string Job(const std::string& name = "job.bfs") {
    return WriteFile(name, "[Main]\nSourceFolder=" + PathOf("src") + "\nMasterFolder=" +
                               PathOf("master") + "\nDestFolder=" + PathOf("dest") + "\n");
  }
  std::string CopyLine(const std::string& source_relative) {
    return "Copy " + PathOf(source_relative) + "\r\n";
  }
};

TEST_F(ParloconTest, PrintsOneLinePerCopyEndedByCrLfToPipeAndFile) {
  WriteFile("src/a.txt", "a");
  WriteFile("src/sub/b.txt", "b");
  MakeFolder("master");
  Job();
  RunOptions to_file;
  to_file.working_folder = PathOf();
  to_file.stdout_to = StdoutTo::kFile;
  to_file.stdout_file = PathOf("out.txt");

  auto first = RunProgram({PARLOCON_PATH, "job.bfs"}, PathOf());
  fs::remove_all(PathOf("dest"));
  fs::remove_all(PathOf("master"));
  MakeFolder("master");
  auto again = RunProgram({PARLOCON_PATH, "job.bfs"}, to_file);
  auto nothing_new = RunProgram({PARLOCON_PATH, "job.bfs"}, PathOf());

  const std::string both = CopyLine("src/sub/b.txt") + CopyLine("src/a.txt");
  EXPECT_EQ(first.out, kFirstLine + both + both);
  EXPECT_EQ(ReadFile("out.txt"), first.out);
  EXPECT_EQ(nothing_new.out, kFirstLine);
  for (const auto& run : {first, again, nothing_new}) {
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exit_code, 0);
  }
  EXPECT_EQ(ReadFile("dest/sub/b.txt"), "b");
}

struct ArgsCase {
  const char* what;
  std::string working_folder;  // inside the test's folder
  std::vector<std::string> args;
  int exit_code;
};

void PrintTo(const ArgsCase& c, std::ostream* os) {
  *os << c.what;
}

class ParloconArgsTest : public ParloconTest, public testing::WithParamInterface<ArgsCase> {};

// A name without "/" is taken from the current folder; a name with one is used as it stands.
TEST_P(ParloconArgsTest, FindsTheSettingsFileOrEndsWithTwo) {
  const ArgsCase& c = GetParam();
  WriteFile("src/a.txt", "a");
  MakeFolder("master");
  MakeFolder("dest");
  MakeFolder("conf/sub");
  Job("conf/job.bfs");
  std::vector<std::string> argv = {PARLOCON_PATH};
  for (const std::string& arg : c.args) {
    argv.push_back(arg.rfind("<t>", 0) == 0 ? PathOf() + arg.substr(3) : arg);
  }

  auto result = RunProgram(argv, PathOf(c.working_folder));

  EXPECT_EQ(result.exit_code, c.exit_code) << result.err;
  if (c.exit_code == 0) {
    EXPECT_EQ(result.out, kFirstLine + CopyLine("src/a.txt") + CopyLine("src/a.txt"));
    EXPECT_EQ(result.err, "");
  } else {
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, StartsWith("parlocon: "));
    EXPECT_THAT(ListTree("dest"), IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ParloconArgsTest,
    testing::Values(ArgsCase{"bare name in the current folder", "conf", {"job.bfs"}, 0},
                    ArgsCase{"further arguments ignored", "conf", {"job.bfs", "x.bfs", "-v"}, 0},
                    ArgsCase{"relative with slash", "", {"conf/job.bfs"}, 0},
                    ArgsCase{"dot slash", "conf", {"./job.bfs"}, 0},
                    ArgsCase{"absolute", "conf/sub", {"<t>/conf/job.bfs"}, 0},
                    ArgsCase{"doubled slash", "", {"<t>//conf//job.bfs"}, 0},
                    ArgsCase{"bare name elsewhere", "", {"job.bfs"}, 2},
                    ArgsCase{"relative to the current folder", "conf", {"conf/job.bfs"}, 2},
                    ArgsCase{"a folder", "", {"conf"}, 2},
                    ArgsCase{"empty name is the current folder", "conf", {""}, 2}));

TEST_F(ParloconTest, NoArgumentDoesNothing) {
  Job();
  auto result = RunProgram({PARLOCON_PATH}, PathOf());
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_THAT(ListTree(""), ElementsAre("job.bfs"));
}

TEST_F(ParloconTest, HelpAndVersion) {
  auto help = RunProgram({PARLOCON_PATH, "--help"});
  auto version = RunProgram({PARLOCON_PATH, "--version", "ignored"});
  EXPECT_THAT(help.out, StartsWith("Usage: parlocon [OPTION]... [--] SETTINGS-FILE"));
  EXPECT_THAT(version.out, HasSubstr("1.0.1.125"));
  for (const auto& run : {help, version}) {
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "");
  }
}

// The text is the whole of what they do: with no standard output to take it, or none that
// works, they end with 1.
TEST_F(ParloconTest, HelpAndVersionWithoutWorkingOutputEndWithOne) {
  for (const char* option : {"--help", "--version"}) {
    for (StdoutTo to : {StdoutTo::kNone, StdoutTo::kFullDevice}) {
      RunOptions options;
      options.stdout_to = to;
      auto result = RunProgram({PARLOCON_PATH, option}, options);
      EXPECT_EQ(result.exit_code, 1) << option << " " << static_cast<int>(to);
      EXPECT_EQ(result.err, "") << option;
    }
  }
}

// Standard output keeps exactly the progress lines; every failure is one line on standard error.
TEST_F(ParloconTest, FailuresGoToStandardErrorAndEndWithThree) {
  WriteFile("src/a.txt", "a");
  MakeFolder("master");
  MakeFolder("dest/a.txt");
  Job();

  auto result = RunProgram({PARLOCON_PATH, PathOf("job.bfs")});

  EXPECT_EQ(result.exit_code, 3);
  EXPECT_EQ(result.out, kFirstLine + CopyLine("src/a.txt") + CopyLine("src/a.txt"));
  EXPECT_EQ(result.err, "parlocon: copy " + PathOf("src/a.txt") + " -> " + PathOf("dest") +
                            "//a.txt: Is a directory\nparlocon: master copy held back for " +
                            PathOf("src/a.txt") + ": not every destination received it\n");
  EXPECT_FALSE(fs::exists(PathOf("master/a.txt")));
}

struct BrokenOutputCase {
  StdoutTo stdout_to;
  std::string message;
  bool fails_at_first_line;
};

void PrintTo(const BrokenOutputCase& c, std::ostream* os) {
  *os << c.message;
}

class BrokenOutputTest : public ParloconTest,
                         public testing::WithParamInterface<BrokenOutputCase> {};

// Lines reach a pipe or file in blocks of 128 bytes, so a lost reader shows at the line that
// fills the first block; the run stops right there. Copies already running ahead of the report
// are complete ones, and nothing half-made is left. Without any standard output the very first
// line fails, before anything is copied.
TEST_P(BrokenOutputTest, EndsWithOneAtTheLineThatFails) {
  for (int i = 0; i < 40; ++i) WriteFile("src/f" + std::to_string(i) + ".txt", "x");
  MakeFolder("master");
  MakeFolder("dest");
  Job();
  const size_t line = CopyLine("src/f0.txt").size();
  const size_t copies_made =
      GetParam().fails_at_first_line ? 0 : (128 - (sizeof kFirstLine - 1) + line - 1) / line;
  RunOptions options;
  options.stdout_to = GetParam().stdout_to;

  auto result = RunProgram({PARLOCON_PATH, PathOf("job.bfs")}, options);

  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err,
            "Exception EInOutError in module parlocon at 00000000.\n" + GetParam().message + "\n");
  const std::vector<std::string> made = ListTree("dest");
  EXPECT_GE(made.size(), copies_made);
  EXPECT_LE(made.size(), copies_made + kMostCopiesAhead);
  for (const std::string& name : made) {
    EXPECT_THAT(name, StartsWith("f"));  // no temporary file stays behind
    EXPECT_EQ(ReadFile("dest/" + name), "x") << name;
  }
  EXPECT_THAT(ListTree("master"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, BrokenOutputTest,
    testing::Values(BrokenOutputCase{StdoutTo::kClosedPipe, "I/O error 32.", false},
                    BrokenOutputCase{StdoutTo::kFullDevice, "Disk full.", false},
                    BrokenOutputCase{StdoutTo::kNone, "I/O error 9.", true}));

class ParloconAsNobodyTest : public ParloconTest {
 protected:
  void SetUp() override {
    ParloconTest::SetUp();
    if (!testing_support::CanRunAsNobody())
      GTEST_SKIP() << "needs root to start nobody";
    fs::permissions(PathOf(), fs::perms(0755));
    RunOptions options;
    options.as_nobody = true;
    if (RunProgram({PARLOCON_PATH, "--version"}, options).exit_code != 0) {
      GTEST_SKIP() << "nobody cannot run " << PARLOCON_PATH;
    }
  }
  testing_support::ProgramResult RunAsNobody(const std::string& settings) {
    RunOptions options;
    options.as_nobody = true;
    return RunProgram({PARLOCON_PATH, settings}, options);
  }
};

TEST_F(ParloconAsNobodyTest, UnreadableSettingsFileEndsWithTwo) {
  Job();
  fs::permissions(PathOf("job.bfs"), fs::perms(0600));

  auto result = RunAsNobody(PathOf("job.bfs"));

  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_THAT(result.err, StartsWith("parlocon: "));
  EXPECT_THAT(result.err, HasSubstr(PathOf("job.bfs") + ": Permission denied"));
}

TEST_F(ParloconAsNobodyTest, UnreadableFolderIsReportedAndTheRestIsCopied) {
  WriteFile("src/a.txt", "a");
  WriteFile("src/locked/b.txt", "b");
  fs::permissions(PathOf("src/locked"), fs::perms(0700));
  for (const char* target : {"dest", "master"}) {
    MakeFolder(target);
    fs::permissions(PathOf(target), fs::perms::all);
  }
  Job();

  auto result = RunAsNobody(PathOf("job.bfs"));

  EXPECT_EQ(result.exit_code, 3);
  EXPECT_EQ(result.err, "parlocon: list " + PathOf("src/locked") + ": Permission denied\n");
  EXPECT_EQ(result.out, kFirstLine + CopyLine("src/a.txt") + CopyLine("src/a.txt"));
  EXPECT_THAT(ListTree("dest"), ElementsAre("a.txt", "locked/"));
}

TEST_F(ParloconAsNobodyTest, FolderWhoseEntriesCannotBeExaminedIsReported) {
  WriteFile("src/a.txt", "a");
  WriteFile("src/listonly/b.txt", "b");
  // Readable but not searchable: the names can be read, their details cannot.
  fs::permissions(PathOf("src/listonly"), fs::perms(0744));
  for (const char* target : {"dest", "master"}) {
    MakeFolder(target);
    fs::permissions(PathOf(target), fs::perms::all);
  }
  Job();

  auto result = RunAsNobody(PathOf("job.bfs"));

  EXPECT_EQ(result.exit_code, 3);
  EXPECT_EQ(result.err,
            "parlocon: status " + PathOf("src/listonly") + "/b.txt: Permission denied\n");
  EXPECT_EQ(result.out, kFirstLine + CopyLine("src/a.txt") + CopyLine("src/a.txt"));
}

}  // namespace
