// A source file that vanishes or is replaced after the scan: before its first copy, or after
// one destination received it and before the next. The program is held at the moment by its
// own output: standard output is a one-page pipe that nobody reads, so the run stops inside
// the copy pass until the test has made the change. Copies into the destinations run side by
// side, so "between two destinations" is a moment of a run that copies one file at a time
// (--parallel=1); side by side, both have their copy by the time the first is reported.
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

enum class Change { kVanish, kReplace, kRewriteInPlace, kFolder, kFifo };

struct SourceChangeCase {
  const char* name;
  int copies_before;  // copies of the file already made when it changes
  Change change;
  int exit_code;
  std::vector<std::string> options;
  // Lines expected on standard error, with {src}, {dest1}, {dest2} and {master} filled in.
  std::vector<std::string> errors;
  // What the rerun leaves different from the source (nothing is ever deleted).
  std::vector<std::string> after_rerun;
};

void PrintTo(const SourceChangeCase& c, std::ostream* os) {
  *os << c.name;
}

constexpr int kQuietFiles = 300;  // copied before the changed file in every target's pass

bool Exited(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(in, line);
  const size_t after_name = line.rfind(')');
  return after_name == std::string::npos || line.substr(after_name + 2, 1) == "Z";
}

bool BlockedInWrite(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
  std::string number;
  in >> number;
  return number == std::to_string(SYS_write);
}

int CountOf(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

class SourceChangeTest : public ReliabilityTest,
                         public ::testing::WithParamInterface<SourceChangeCase> {
 protected:
  std::string Fill(const std::string& text) {
    std::string out = text;
    const std::pair<std::string, std::string> names[] = {{"{src}", PathOf("src")},
                                                         {"{dest1}", PathOf("dest1")},
                                                         {"{dest2}", PathOf("dest2")},
                                                         {"{master}", PathOf("master")}};
    for (const auto& [key, value] : names) {
      for (size_t at = out.find(key); at != std::string::npos; at = out.find(key)) {
        out.replace(at, key.size(), value);
      }
    }
    return out;
  }

  void MakeChange(Change change) {
    const std::string victim = PathOf("src/victim");
    switch (change) {
      case Change::kVanish:
        ASSERT_EQ(unlink(victim.c_str()), 0);
        break;
      case Change::kReplace:
        ReplaceFile(victim, "the new version, longer", kBaseTimeNs + 50 * kSecondNs, 0640);
        break;
      case Change::kRewriteInPlace: {
        // Same size, same inode, a time in the same two-second step: only the content and
        // the exact times tell.
        PutFile(victim, "THE OLD VERSION", kBaseTimeNs + kSecondNs / 2);
        break;
      }
      case Change::kFolder:
        ASSERT_EQ(unlink(victim.c_str()), 0);
        WriteFile("src/victim/inner", "inner");
        break;
      case Change::kFifo:
        ASSERT_EQ(unlink(victim.c_str()), 0);
        ASSERT_EQ(mkfifo(victim.c_str(), 0644), 0);
        break;
    }
  }
};

TEST_P(SourceChangeTest, ReportsWhatFailedAndTheRerunLeavesEveryTargetConsistent) {
  const SourceChangeCase& c = GetParam();
  MoveIntoRam("64m");
  MakeFolder("src/quiet");
  for (int i = 0; i < kQuietFiles; ++i) {
    PutFile(PathOf("src/quiet/file" + std::to_string(i)), "quiet " + std::to_string(i),
            kBaseTimeNs);
  }
  PutFile(PathOf("src/victim"), "the old version", kBaseTimeNs);
  const std::string settings = WriteDefaultSettings();

  std::vector<std::string> command = Command(settings);
  command.insert(command.begin() + 1, c.options.begin(), c.options.end());
  Process run(command, PathOf(), OutputKind::kSmallPipe);
  // Read until the file has reached as many targets as asked, then let the pipe fill up.
  const std::string line = "Copy " + PathOf("src/victim") + "\r\n";
  while (CountOf(run.out(), line) < c.copies_before) {
    ASSERT_TRUE(run.Read(-1)) << "the run ended early: " << run.err();
  }
  while (!(run.PendingOutput() > 0 && BlockedInWrite(run.pid()))) {
    ASSERT_FALSE(Exited(run.pid())) << "the run ended before it was held: " << run.err();
    run.Read(1, /*with_output=*/false);
  }
  MakeChange(c.change);
  RunResult first;
  first.ended = run.Wait();
  first.err = run.err();

  std::string expected_err;
  for (const std::string& error : c.errors) expected_err += "parlocon: " + Fill(error) + "\n";
  EXPECT_EQ(first.err, expected_err);
  EXPECT_EQ(first.ended.exit_code, c.exit_code);

  RunResult rerun = Run(settings);
  EXPECT_EQ(rerun.ended.exit_code, 0) << rerun.err;
  EXPECT_EQ(rerun.err, "");
  EXPECT_THAT(TargetDifferences(), ::testing::ElementsAreArray(c.after_rerun));

  RunResult third = Run(settings);
  EXPECT_EQ(third.out, "Get list of files...\r\n");
}

const char kGone[] = ": No such file or directory";
const char kNotFile[] = ": not a regular file";

INSTANTIATE_TEST_SUITE_P(
    Faults, SourceChangeTest,
    ::testing::Values(
        SourceChangeCase{"VanishesBeforeItsCopy",
                         0,
                         Change::kVanish,
                         3,
                         {},
                         {std::string("copy {src}/victim -> {dest1}//victim") + kGone,
                          std::string("copy {src}/victim -> {dest2}//victim") + kGone,
                          "master copy held back for {src}/victim: not every destination "
                          "received it"},
                         {}},
        SourceChangeCase{"ReplacedBeforeItsCopy", 0, Change::kReplace, 0, {}, {}, {}},
        SourceChangeCase{"ReplacedByFolderBeforeItsCopy",
                         0,
                         Change::kFolder,
                         3,
                         {},
                         {std::string("copy {src}/victim -> {dest1}//victim") + kNotFile,
                          std::string("copy {src}/victim -> {dest2}//victim") + kNotFile,
                          "master copy held back for {src}/victim: not every destination "
                          "received it"},
                         {}},
        SourceChangeCase{"ReplacedByPipeBeforeItsCopy",
                         0,
                         Change::kFifo,
                         3,
                         {},
                         {std::string("copy {src}/victim -> {dest1}//victim") + kNotFile,
                          std::string("copy {src}/victim -> {dest2}//victim") + kNotFile,
                          "master copy held back for {src}/victim: not every destination "
                          "received it"},
                         {}},
        SourceChangeCase{"VanishesBetweenTargets",
                         1,
                         Change::kVanish,
                         3,
                         {"--parallel=1"},
                         {std::string("copy {src}/victim -> {dest2}//victim") + kGone,
                          "master copy held back for {src}/victim: not every destination "
                          "received it"},
                         {"dest1: extra victim"}},
        SourceChangeCase{"ReplacedBetweenTargets",
                         1,
                         Change::kReplace,
                         3,
                         {"--parallel=1"},
                         {"{src}/victim changed during the run: the destinations may hold "
                          "different versions",
                          "master copy held back for {src}/victim: it changed during the run"},
                         {}},
        SourceChangeCase{"RewrittenInPlaceBetweenTargets",
                         1,
                         Change::kRewriteInPlace,
                         3,
                         {"--parallel=1"},
                         {"{src}/victim changed during the run: the destinations may hold "
                          "different versions",
                          "master copy held back for {src}/victim: it changed during the run"},
                         {}},
        SourceChangeCase{"ReplacedBeforeTheMasterCopy",
                         2,
                         Change::kReplace,
                         3,
                         {},
                         {"copy {src}/victim -> {master}//victim: the file changed during the "
                          "run"},
                         {}},
        SourceChangeCase{"ReplacedAfterTheDestinationsSideBySide",
                         1,
                         Change::kReplace,
                         3,
                         {},
                         {"copy {src}/victim -> {master}//victim: the file changed during the "
                          "run"},
                         {}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
