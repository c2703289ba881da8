// A source file that changes while parlocon.exe hands it out: replaced by another file, or
// rewritten in place with the same size and a time in the same two-second step, after one
// destination received it, or after every destination and before the master. The program is
// held at the moment by its own output: standard output is a one-page pipe that the test stops
// reading, and 300 other files' lines lie between the moment and the next copy of the file.
#include <windows.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/temp_dir_test.h"
#include "tests/windows/process.h"

namespace {

using windows_tests::ParloconExe;
using windows_tests::PipedProcess;
using windows_tests::ProcessResult;
using windows_tests::RunCommandLine;

constexpr char kScanLine[] = "Get list of files...\r\n";
constexpr int kQuietFiles = 300;
// 2021-06-15 10:20:30 UTC in 100-nanosecond steps since 1601: an even second.
constexpr ULONGLONG kOldTime = 132682608300000000ull;

enum class Change { kReplace, kRewriteInPlace };

struct SourceChangeCase {
  const char* name;
  int copies_before;  // copies of the file already made when it changes
  Change change;
  // Lines on standard error, with {src} and {master} for those folders.
  std::vector<std::string> errors;
};

void PrintTo(const SourceChangeCase& c, std::ostream* os) {
  *os << c.name;
}

void SetWriteTime(const std::string& path, ULONGLONG time) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  const FILETIME t{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &t));
  CloseHandle(file);
}

class SourceChangeTest : public testing_support::TempDirTest,
                         public ::testing::WithParamInterface<SourceChangeCase> {
 protected:
  std::string Fill(std::string text) const {
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"{src}", PathOf("src")},
                                     {"{master}", PathOf("master")}}) {
      for (size_t at = text.find(key); at != std::string::npos; at = text.find(key)) {
        text.replace(at, key.size(), value);
      }
    }
    return text;
  }
  ProcessResult Run() {
    return RunCommandLine("\"" + ParloconExe() + "\" job.bfs", PathOf(), PathOf("out"));
  }
  // The file's content after the change.
  std::string MakeChange(Change change) {
    const std::string victim = PathOf("src\\victim");
    if (change == Change::kReplace) {
      const std::string next = WriteFile("src\\victim.next", "the new version, longer");
      EXPECT_TRUE(MoveFileExA(next.c_str(), victim.c_str(), MOVEFILE_REPLACE_EXISTING));
      return "the new version, longer";
    }
    // Same size, same file, a time in the same two-second step: only the content and the
    // exact times tell.
    HANDLE file = CreateFileA(victim.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    EXPECT_TRUE(::WriteFile(file, "THE OLD VERSION", 15, &wrote, nullptr));
    CloseHandle(file);
    SetWriteTime(victim, kOldTime + 5000000);
    return "THE OLD VERSION";
  }
};

TEST_P(SourceChangeTest, IsReportedAndTheNextRunHandsOneVersionToEveryTarget) {
  const SourceChangeCase& c = GetParam();
  for (int i = 0; i < kQuietFiles; ++i) {
    WriteFile("src\\quiet\\file" + std::to_string(i), "quiet " + std::to_string(i));
  }
  WriteFile("src\\victim", "the old version");
  SetWriteTime(PathOf("src\\victim"), kOldTime);
  MakeFolder("out");
  WriteFile("job.bfs", "[Main]\r\nSourceFolder=" + PathOf("src") +
                           "\r\nMasterFolder=" + PathOf("master") +
                           "\r\nDestFolder=" + PathOf("d1") + ";" + PathOf("d2") + "\r\n");

  // Copies into the destinations run side by side: "between two destinations" is a moment of
  // a run that copies one file at a time, while side by side both have their copy by the time
  // the first is reported.
  const bool between_destinations = c.copies_before == 1;
  PipedProcess run(
      "\"" + ParloconExe() + "\"" + (between_destinations ? " --parallel=1" : "") + " job.bfs",
      PathOf(), PathOf("out"));
  ASSERT_TRUE(run.ReadUntil("Copy " + PathOf("src\\victim") + "\r\n", c.copies_before));
  const std::string now = MakeChange(c.change);
  ProcessResult first = run.Finish();

  std::string expected_err;
  for (const std::string& error : c.errors) expected_err += "parlocon: " + Fill(error) + "\n";
  EXPECT_EQ(first.err, expected_err);
  EXPECT_EQ(first.exit_code, 3u);

  ProcessResult rerun = Run();
  EXPECT_EQ(rerun.err, "");
  EXPECT_EQ(rerun.exit_code, 0u);
  for (const char* target : {"d1", "d2", "master"}) {
    EXPECT_EQ(ReadFile(std::string(target) + "\\victim"), now) << target;
  }
  EXPECT_EQ(Run().out, kScanLine);
}

const char kChanged[] =
    "{src}\\victim changed during the run: the destinations may hold different versions";
const char kHeldBack[] = "master copy held back for {src}\\victim: it changed during the run";

INSTANTIATE_TEST_SUITE_P(
    Changes, SourceChangeTest,
    ::testing::Values(
        SourceChangeCase{"ReplacedBetweenDestinations", 1, Change::kReplace, {kChanged, kHeldBack}},
        SourceChangeCase{"RewrittenInPlaceBetweenDestinations",
                         1,
                         Change::kRewriteInPlace,
                         {kChanged, kHeldBack}},
        SourceChangeCase{
            "ReplacedBeforeTheMaster",
            2,
            Change::kReplace,
            {"copy {src}\\victim -> {master}\\\\victim: the file changed during the run"}},
        SourceChangeCase{
            "RewrittenInPlaceBeforeTheMaster",
            2,
            Change::kRewriteInPlace,
            {"copy {src}\\victim -> {master}\\\\victim: the file changed during the run"}}),
    [](const ::testing::TestParamInfo<SourceChangeCase>& param) { return param.param.name; });

}  // namespace
