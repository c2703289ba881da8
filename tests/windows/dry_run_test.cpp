// What stands in the way on the disk, met first by a dry run of parlocon.exe and then by the
// run itself: a file where a folder must be made, a folder where a file goes, a file where a
// destination folder belongs, a source file another program holds without sharing. The dry
// run writes nothing and says exactly what the run then says, with the same exit code.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/temp_dir_test.h"
#include "tests/windows/process.h"
#include "tests/windows/unicode_files.h"

namespace {

using windows_tests::ParloconExe;
using windows_tests::ProcessResult;
using windows_tests::RunCommandLine;
using windows_tests::TreeOf;

class DryRunTest;

struct PredictionCase {
  const char* name;
  std::function<void(DryRunTest&)> block;
  unsigned long exit_code;
  // Texts that each line on standard error holds, in order, with {src}, {d1} and {master}
  // filled in.
  std::vector<std::string> errors;
};

void PrintTo(const PredictionCase& c, std::ostream* os) {
  *os << c.name;
}

class DryRunTest : public testing_support::TempDirTest,
                   public ::testing::WithParamInterface<PredictionCase> {
 public:
  using TempDirTest::MakeFolder;
  using TempDirTest::PathOf;
  using TempDirTest::WriteFile;

  // Held open like a file another program is writing and shares with no one.
  void HoldWithoutSharing(const std::string& relative) {
    held_ = CreateFileA(PathOf(relative).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held_, INVALID_HANDLE_VALUE);
  }
  std::string Fill(std::string text) const {
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"{src}", PathOf("src")},
                                     {"{d1}", PathOf("d1")},
                                     {"{master}", PathOf("master")}}) {
      for (size_t at = text.find(key); at != std::string::npos; at = text.find(key)) {
        text.replace(at, key.size(), value);
      }
    }
    return text;
  }

 protected:
  void TearDown() override {
    if (held_ != INVALID_HANDLE_VALUE)
      CloseHandle(held_);
    TempDirTest::TearDown();
  }
  ProcessResult Run(const std::string& options) {
    return RunCommandLine("\"" + ParloconExe() + "\"" + options + " job.bfs", PathOf(),
                          PathOf("out"));
  }

  HANDLE held_ = INVALID_HANDLE_VALUE;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

TEST_P(DryRunTest, SaysWhatTheRunSays) {
  const PredictionCase& c = GetParam();
  WriteFile("src\\top.txt", "top");
  WriteFile("src\\sub\\a.txt", "a");
  for (const char* folder : {"d1", "master", "out"}) MakeFolder(folder);
  WriteFile("job.bfs", "[Main]\r\nSourceFolder=" + PathOf("src") + "\r\nMasterFolder=" +
                           PathOf("master") + "\r\nDestFolder=" + PathOf("d1") + "\r\n");
  c.block(*this);
  const std::vector<std::string> before = TreeOf(PathOf("d1"));

  ProcessResult dry = Run(" -n");

  EXPECT_EQ(TreeOf(PathOf("d1")), before);
  ProcessResult run = Run("");
  EXPECT_EQ(dry.err, run.err);
  EXPECT_EQ(dry.out, run.out);
  EXPECT_EQ(dry.exit_code, run.exit_code);
  EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_EQ(lines.size(), c.errors.size()) << run.err;
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_THAT(lines[i], ::testing::HasSubstr(Fill(c.errors[i]))) << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, DryRunTest,
    ::testing::Values(
        PredictionCase{"AFileWhereAFolderMustBeMade",
                       [](DryRunTest& test) { test.WriteFile("d1\\sub", "in the way"); },
                       3,
                       {"parlocon: create folder {d1}\\sub: ",
                        "parlocon: copy {src}\\sub\\a.txt -> {d1}\\\\sub\\a.txt: ",
                        "parlocon: master copy held back for {src}\\sub\\a.txt: "}},
        PredictionCase{"AFolderWhereAFileGoes",
                       [](DryRunTest& test) { test.MakeFolder("d1\\top.txt"); },
                       3,
                       {"parlocon: copy {src}\\top.txt -> {d1}\\\\top.txt: ",
                        "parlocon: master copy held back for {src}\\top.txt: "}},
        PredictionCase{"ASourceFileHeldWithoutSharing",
                       [](DryRunTest& test) { test.HoldWithoutSharing("src\\top.txt"); },
                       3,
                       {"parlocon: copy {src}\\top.txt -> {d1}\\\\top.txt: ",
                        "parlocon: master copy held back for {src}\\top.txt: "}}),
    [](const ::testing::TestParamInfo<PredictionCase>& param) { return param.param.name; });

}  // namespace
