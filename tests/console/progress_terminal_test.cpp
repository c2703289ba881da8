// "--progress" through a pseudo-terminal: what the terminal shows once the run is over, that
// no failure line ever shares a row with the progress line, that standard output keeps its
// bytes, and that nothing is drawn when standard error is not a terminal.
#include <regex>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir_test.h"

namespace {

using testing_support::RunOptions;
using testing_support::RunProgram;
using testing_support::StdoutTo;

// The rows a terminal shows after these bytes: CR goes to the row's start, LF to the next row,
// everything else is written over what the row held. Blanks at a row's end are dropped.
std::vector<std::string> Screen(const std::string& bytes) {
  std::vector<std::string> rows(1);
  size_t column = 0;
  for (char c : bytes) {
    if (c == '\r') {
      column = 0;
    } else if (c == '\n') {
      rows.emplace_back();
      column = 0;
    } else {
      std::string& row = rows.back();
      if (row.size() <= column)
        row.resize(column + 1, ' ');
      row[column++] = c;
    }
  }
  for (std::string& row : rows) row.erase(row.find_last_not_of(' ') + 1);
  if (rows.back().empty())
    rows.pop_back();
  return rows;
}

struct TerminalCase {
  const char* name;
  std::vector<std::string> options;
  StdoutTo stdout_to;
  bool failing;  // one destination copy fails: a folder stands where the file goes
  // The rows the terminal shows; a row "<progress N/M>" is the final progress line of N of M.
  std::vector<std::string> rows;
};

void PrintTo(const TerminalCase& c, std::ostream* os) {
  *os << c.name;
}

class ProgressTest : public testing_support::TempDirTest {
 protected:
  void MakeJob(bool failing) {
    WriteFile("src/a.txt", "aaaa");
    WriteFile("src/sub/b.txt", "bb");
    MakeFolder("master");
    if (failing)
      MakeFolder("dest/a.txt");
    WriteFile("job.bfs", "[Main]\nSourceFolder=" + PathOf("src") + "\nMasterFolder=" +
                             PathOf("master") + "\nDestFolder=" + PathOf("dest") + "\n");
  }
  // What standard output gets, with or without the option.
  std::string Output() {
    const std::string both =
        "Copy " + PathOf("src/sub/b.txt") + "\r\nCopy " + PathOf("src/a.txt") + "\r\n";
    return "Get list of files...\r\n" + both + both;
  }
  std::string Fill(std::string row) {
    for (size_t at = row.find("{root}"); at != std::string::npos; at = row.find("{root}"))
      row.replace(at, 6, PathOf());
    return row;
  }
};

class ProgressTerminalTest : public ProgressTest,
                             public testing::WithParamInterface<TerminalCase> {};

TEST_P(ProgressTerminalTest, ShowsTheFinalFiguresAndEveryOtherLineWhole) {
  const TerminalCase& c = GetParam();
  MakeJob(c.failing);
  RunOptions terminal;
  terminal.stdout_to = c.stdout_to;
  terminal.stderr_terminal = true;
  std::vector<std::string> argv = {PARLOCON_PATH, "--progress"};
  argv.insert(argv.end(), c.options.begin(), c.options.end());
  argv.push_back(PathOf("job.bfs"));

  auto run = RunProgram(argv, terminal);

  EXPECT_EQ(run.exit_code, c.failing ? 3 : 0);
  const std::vector<std::string> rows = Screen(run.err);
  ASSERT_EQ(rows.size(), c.rows.size()) << run.err;
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string& want = c.rows[i];
    if (want.rfind("<progress ", 0) == 0) {
      const std::string counts = want.substr(10, want.size() - 11);
      const std::regex final_line(counts + " copies, 12 B/12 B(, [0-9.]+ [KMG]?i?B/s)?, " +
                                  "done in 0:0[0-9]");
      EXPECT_TRUE(std::regex_match(rows[i], final_line)) << "row " << i << ": " << rows[i];
    } else {
      EXPECT_EQ(rows[i], Fill(want)) << "row " << i;
    }
  }
  // Standard output as without the option: its bytes never meet the terminal's.
  if (c.stdout_to == StdoutTo::kCapture) {
    EXPECT_EQ(run.out, Output());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ProgressTerminalTest,
    testing::Values(
        TerminalCase{"OutputElsewhere", {}, StdoutTo::kCapture, false, {"<progress 4/4>"}},
        TerminalCase{"DryRun", {"--dry-run"}, StdoutTo::kCapture, false, {"<progress 4/4>"}},
        TerminalCase{"FailureLinesAboveIt",
                     {},
                     StdoutTo::kCapture,
                     true,
                     {"parlocon: copy {root}/src/a.txt -> {root}/dest//a.txt: Is a directory",
                      "parlocon: master copy held back for {root}/src/a.txt: not every "
                      "destination received it",
                      "<progress 4/4>"}},
        TerminalCase{"OutputOnTheSameTerminal",
                     {},
                     StdoutTo::kErrorTerminal,
                     true,
                     {"Get list of files...", "Copy {root}/src/sub/b.txt",
                      "parlocon: copy {root}/src/a.txt -> {root}/dest//a.txt: Is a directory",
                      "Copy {root}/src/a.txt", "Copy {root}/src/sub/b.txt",
                      "parlocon: master copy held back for {root}/src/a.txt: not every "
                      "destination received it",
                      "Copy {root}/src/a.txt", "<progress 4/4>"}}),
    [](const auto& row) { return std::string(row.param.name); });

// Standard error in a pipe is no terminal: the option adds nothing there, the run's lines and
// its statistics come as ever.
TEST_F(ProgressTest, NothingWhenStandardErrorIsNoTerminal) {
  MakeJob(false);
  auto run = RunProgram({PARLOCON_PATH, "--progress", "--stats", PathOf("job.bfs")});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, Output());
  EXPECT_THAT(run.err, testing::MatchesRegex("parlocon: files listed 2, copies made 4, bytes "
                                             "copied 12, failures 0, seconds [0-9.]+\n"));
}

}  // namespace
