// Paths the run cannot use: a file where a folder belongs and a folder where a file belongs,
// source folders and files an unprivileged user cannot read, a destination it cannot write,
// and a read-only source that later changes. Each failure is named on standard error with
// exit code 3, nothing in the way is removed, and once the obstacle is gone the next run
// completes every target.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

class BlockedPathTest;

struct BlockedPathCase {
  const char* name;
  bool as_nobody;
  std::function<void(BlockedPathTest&)> block;
  int exit_code;
  // Lines on standard error, with {src}, {dest1}, {dest2} and {master} filled in.
  std::vector<std::string> errors;
  std::function<void(BlockedPathTest&)> unblock;
};

void PrintTo(const BlockedPathCase& c, std::ostream* os) {
  *os << c.name;
}

class BlockedPathTest : public ReliabilityTest,
                        public ::testing::WithParamInterface<BlockedPathCase> {
 public:
  void Chmod(const std::string& relative, unsigned mode) {
    ASSERT_EQ(chmod(PathOf(relative).c_str(), mode), 0) << relative;
  }
  void Remove(const std::string& relative) { std::filesystem::remove_all(PathOf(relative)); }
  using ReliabilityTest::PathOf;
  using ReliabilityTest::ReadFile;
  using ReliabilityTest::TargetDifferences;
  using ReliabilityTest::WriteFile;

  std::string Fill(std::string text) {
    const std::pair<std::string, std::string> names[] = {{"{src}", PathOf("src")},
                                                         {"{dest1}", PathOf("dest1")},
                                                         {"{dest2}", PathOf("dest2")},
                                                         {"{master}", PathOf("master")}};
    for (const auto& [key, value] : names) {
      for (size_t at = text.find(key); at != std::string::npos; at = text.find(key)) {
        text.replace(at, key.size(), value);
      }
    }
    return text;
  }
};

TEST_P(BlockedPathTest, NamesEachFailureRemovesNothingAndCompletesOnceUnblocked) {
  const BlockedPathCase& c = GetParam();
  if (c.as_nobody && geteuid() != 0)
    GTEST_SKIP() << "running as another user needs root";
  PutFile(WriteFile("src/top.txt", ""), "top", kBaseTimeNs);
  MakeFolder("src/sub");
  PutFile(PathOf("src/sub/a.txt"), "a", kBaseTimeNs);
  for (const char* target : {"dest1", "dest2", "master"}) MakeFolder(target);
  const std::string settings = WriteDefaultSettings();
  if (c.as_nobody) {
    for (const char* target : {"dest1", "dest2", "master"}) GiveToNobody(PathOf(target));
  }
  c.block(*this);
  const Tree source_before = ReadTree(PathOf("src"));

  RunResult blocked = Run(settings, c.as_nobody);

  std::string expected_err;
  for (const std::string& error : c.errors) expected_err += "parlocon: " + Fill(error) + "\n";
  EXPECT_EQ(blocked.err, expected_err);
  EXPECT_EQ(blocked.ended.exit_code, c.exit_code);
  // Whatever a target holds under a source file's name is that file, whole.
  for (const std::string& target : Targets()) {
    const Tree tree = ReadTree(target);
    EXPECT_THAT(tree.temporaries, ::testing::IsEmpty()) << target;
    for (const auto& [path, state] : tree.files) {
      auto it = source_before.files.find(path);
      if (it != source_before.files.end()) {
        EXPECT_EQ(state, it->second) << target << " " << path;
      }
    }
  }

  c.unblock(*this);
  RunResult unblocked = Run(settings, c.as_nobody);
  EXPECT_EQ(unblocked.ended.exit_code, 0) << unblocked.err;
  EXPECT_EQ(unblocked.err, "");
  EXPECT_THAT(TargetDifferences(), ::testing::IsEmpty());
}

const char kHeldBack[] = ": not every destination received it";

INSTANTIATE_TEST_SUITE_P(
    Faults, BlockedPathTest,
    ::testing::Values(
        BlockedPathCase{"FileWhereAFolderBelongs",
                        false,
                        [](BlockedPathTest& f) { f.WriteFile("dest1/sub", "keep"); },
                        3,
                        {"create folder {dest1}/sub: File exists",
                         "copy {src}/sub/a.txt -> {dest1}//sub/a.txt: Not a directory",
                         std::string("master copy held back for {src}/sub/a.txt") + kHeldBack},
                        [](BlockedPathTest& f) {
                          EXPECT_EQ(f.ReadFile("dest1/sub"), "keep");
                          f.Remove("dest1/sub");
                        }},
        BlockedPathCase{"FolderWhereAFileBelongs",
                        false,
                        [](BlockedPathTest& f) { f.WriteFile("dest2/top.txt/inner", "keep"); },
                        3,
                        {"copy {src}/top.txt -> {dest2}//top.txt: Is a directory",
                         std::string("master copy held back for {src}/top.txt") + kHeldBack},
                        [](BlockedPathTest& f) {
                          EXPECT_EQ(f.ReadFile("dest2/top.txt/inner"), "keep");
                          f.Remove("dest2/top.txt");
                        }},
        BlockedPathCase{"SourceSubfolderNobodyCanList",
                        true,
                        [](BlockedPathTest& f) { f.Chmod("src/sub", 0700); },
                        3,
                        {"list {src}/sub: Permission denied"},
                        [](BlockedPathTest& f) { f.Chmod("src/sub", 0755); }},
        BlockedPathCase{"SourceFolderNobodyCanList",
                        true,
                        [](BlockedPathTest& f) { f.Chmod("src", 0700); },
                        3,
                        {"list {src}: Permission denied"},
                        [](BlockedPathTest& f) { f.Chmod("src", 0755); }},
        BlockedPathCase{"SourceFileNobodyCanRead",
                        true,
                        [](BlockedPathTest& f) { f.Chmod("src/top.txt", 0600); },
                        3,
                        {"copy {src}/top.txt -> {dest1}//top.txt: Permission denied",
                         "copy {src}/top.txt -> {dest2}//top.txt: Permission denied",
                         std::string("master copy held back for {src}/top.txt") + kHeldBack},
                        [](BlockedPathTest& f) { f.Chmod("src/top.txt", 0644); }},
        BlockedPathCase{"DestinationNobodyCanWrite",
                        true,
                        [](BlockedPathTest& f) { f.Chmod("dest1", 0555); },
                        3,
                        {"create folder {dest1}/sub: Permission denied",
                         "copy {src}/sub/a.txt -> {dest1}//sub/a.txt: No such file or directory",
                         "copy {src}/top.txt -> {dest1}//top.txt: Permission denied",
                         std::string("master copy held back for {src}/sub/a.txt") + kHeldBack,
                         std::string("master copy held back for {src}/top.txt") + kHeldBack},
                        [](BlockedPathTest& f) { f.Chmod("dest1", 0755); }},
        // Read-only copies of a read-only source must not stop its next version.
        BlockedPathCase{"ReadOnlySourceThatChanges",
                        false,
                        [](BlockedPathTest& f) { f.Chmod("src/top.txt", 0444); },
                        0,
                        {},
                        [](BlockedPathTest& f) {
                          EXPECT_THAT(f.TargetDifferences(), ::testing::IsEmpty());
                          PutFile(f.PathOf("src/top.txt"), "top, second version",
                                  kBaseTimeNs + 10 * kSecondNs, 0444);
                        }},
        BlockedPathCase{"ReadOnlySourceThatChangesAsNobody",
                        true,
                        [](BlockedPathTest& f) { f.Chmod("src/top.txt", 0444); },
                        0,
                        {},
                        [](BlockedPathTest& f) {
                          EXPECT_THAT(f.TargetDifferences(), ::testing::IsEmpty());
                          PutFile(f.PathOf("src/top.txt"), "top, second version",
                                  kBaseTimeNs + 10 * kSecondNs, 0444);
                        }}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
