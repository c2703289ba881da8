// The summary line of "--stats": its figures against what the run did on disk.
#include <cstdint>
#include <filesystem>
#include <regex>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir_test.h"

namespace {

using testing_support::RunProgram;

struct Figures {
  uint64_t listed = 0, copies = 0, bytes = 0, failures = 0;
  std::string other_lines;  // standard error without the summary line
};

// Splits off the summary, which must be the last line of standard error.
Figures ParseSummary(const std::string& err, bool dry_run) {
  static const std::regex kReal(
      "parlocon: files listed (\\d+), copies made (\\d+), bytes copied (\\d+), "
      "failures (\\d+), seconds \\d+\\.\\d{3}\n$");
  static const std::regex kDry(
      "parlocon: files listed (\\d+), copies to make (\\d+), bytes to copy (\\d+), "
      "failures (\\d+), seconds \\d+\\.\\d{3}\n$");
  std::smatch m;
  Figures f;
  if (!std::regex_search(err, m, dry_run ? kDry : kReal)) {
    ADD_FAILURE() << "no summary line in: " << err;
    return f;
  }
  f.listed = std::stoull(m[1]);
  f.copies = std::stoull(m[2]);
  f.bytes = std::stoull(m[3]);
  f.failures = std::stoull(m[4]);
  f.other_lines = err.substr(0, static_cast<size_t>(m.position(0)));
  return f;
}

size_t LineCount(const std::string& text) {
  return std::count(text.begin(), text.end(), '\n');
}

class StatsTest : public testing_support::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    WriteFile("src/empty", "");
    WriteFile("src/small.txt", "seven!!");
    WriteFile("src/sub/large.bin", std::string(300000, 'x'));
  }
  void Settings(const std::string& dest) {
    WriteFile("job.bfs", "[Main]\nSourceFolder=" + PathOf("src") +
                             "\nMasterFolder=" + PathOf("master") + "\nDestFolder=" + dest + "\n");
  }
  // Files and bytes now under `folder`.
  std::pair<uint64_t, uint64_t> FilesAndBytes(const std::string& folder) {
    uint64_t files = 0, bytes = 0;
    std::error_code ignored;
    for (const auto& e : std::filesystem::recursive_directory_iterator(PathOf(folder), ignored)) {
      if (!e.is_regular_file())
        continue;
      ++files;
      bytes += e.file_size();
    }
    return {files, bytes};
  }
};

TEST_F(StatsTest, FiguresMatchWhatWasCopied) {
  Settings(PathOf("d1") + ";" + PathOf("d2"));

  auto result = RunProgram({PARLOCON_PATH, "--stats", "job.bfs"}, PathOf());

  ASSERT_EQ(result.exit_code, 0) << result.err;
  Figures f = ParseSummary(result.err, false);
  EXPECT_EQ(f.other_lines, "");
  EXPECT_EQ(f.listed, 3u);
  EXPECT_EQ(f.failures, 0u);
  uint64_t files = 0, bytes = 0;
  for (const char* target : {"d1", "d2", "master"}) {
    auto [n, b] = FilesAndBytes(target);
    files += n;
    bytes += b;
  }
  EXPECT_EQ(f.copies, files);
  EXPECT_EQ(f.bytes, bytes);
  EXPECT_EQ(bytes, 3u * 300007u);
}

TEST_F(StatsTest, FailedCopiesAreCountedAsFailuresNotAsCopies) {
  WriteFile("d1", "a file where a folder must go");
  Settings(PathOf("d1") + ";" + PathOf("d2"));

  auto result = RunProgram({PARLOCON_PATH, "--stats", "job.bfs"}, PathOf());

  EXPECT_EQ(result.exit_code, 3);
  Figures f = ParseSummary(result.err, false);
  EXPECT_EQ(f.failures, LineCount(f.other_lines));
  EXPECT_GT(f.failures, 0u);
  // Only d2 got the files: every one failed to reach d1, so the master holds them back.
  auto [files, bytes] = FilesAndBytes("d2");
  EXPECT_EQ(f.copies, files);
  EXPECT_EQ(f.bytes, bytes);
  EXPECT_EQ(FilesAndBytes("master").first, 0u);
}

TEST_F(StatsTest, DryRunCountsWhatTheFollowingRunCopies) {
  WriteFile("master/small.txt", "an older, longer text");
  Settings(PathOf("d1"));

  auto dry = RunProgram({PARLOCON_PATH, "-n", "--stats", "job.bfs"}, PathOf());
  auto real = RunProgram({PARLOCON_PATH, "--stats", "job.bfs"}, PathOf());

  Figures predicted = ParseSummary(dry.err, true), done = ParseSummary(real.err, false);
  EXPECT_EQ(predicted.listed, done.listed);
  EXPECT_EQ(predicted.copies, done.copies);
  EXPECT_EQ(predicted.bytes, done.bytes);
  EXPECT_EQ(predicted.failures, done.failures);
  EXPECT_EQ(done.copies, 6u);
}

TEST_F(StatsTest, NothingExtraWithoutTheOption) {
  Settings(PathOf("d1"));

  auto result = RunProgram({PARLOCON_PATH, "job.bfs"}, PathOf());

  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.err, "");
}

}  // namespace
