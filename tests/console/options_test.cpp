// The command line: options before the settings file, "--", and the usage error.
#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir_test.h"

namespace {

using testing_support::RunProgram;

struct OptionsCase {
  const char* name;
  std::vector<std::string> args;
  int exit_code;
  const char* out_starts;  // nullptr: must be empty
  const char* err_starts;  // nullptr: must be empty
  bool copied;             // the run reached the destination
};

void PrintTo(const OptionsCase& c, std::ostream* os) {
  *os << c.name;
}

class OptionsTest : public testing_support::TempDirTest,
                    public ::testing::WithParamInterface<OptionsCase> {};

TEST_P(OptionsTest, ParsesAsDocumented) {
  const OptionsCase& c = GetParam();
  WriteFile("src/a.txt", "a");
  MakeFolder("master");
  const std::string settings =
      "[Main]\nSourceFolder=" + PathOf("src") + "\nMasterFolder=" + PathOf("master") + "\n";
  WriteFile("job.bfs", settings);
  WriteFile("-job.bfs", settings);
  std::vector<std::string> argv = {PARLOCON_PATH};
  argv.insert(argv.end(), c.args.begin(), c.args.end());

  auto result = RunProgram(argv, PathOf());

  EXPECT_EQ(result.exit_code, c.exit_code) << result.err;
  if (c.out_starts == nullptr) {
    EXPECT_EQ(result.out, "");
  } else {
    EXPECT_THAT(result.out, ::testing::StartsWith(c.out_starts));
  }
  if (c.err_starts == nullptr) {
    EXPECT_EQ(result.err, "");
  } else {
    EXPECT_THAT(result.err, ::testing::StartsWith(c.err_starts));
  }
  EXPECT_EQ(std::filesystem::exists(PathOf("master/a.txt")), c.copied);
}

constexpr char kRunOut[] = "Get list of files...\r\n";
constexpr char kUsageAfter[] = "\nUsage: parlocon [OPTION]... [--] SETTINGS-FILE\n";

const OptionsCase kCases[] = {
    {"NoArgumentDoesNothing", {}, 0, nullptr, nullptr, false},
    {"SettingsFileAlone", {"job.bfs"}, 0, kRunOut, nullptr, true},
    {"LaterArgumentsAreIgnored", {"job.bfs", "--bogus", "x"}, 0, kRunOut, nullptr, true},
    {"DoubleDashEndsOptions", {"--", "-job.bfs"}, 0, kRunOut, nullptr, true},
    {"DoubleDashBeforeAnOrdinaryName",
     {"--stats", "--", "job.bfs"},
     0,
     kRunOut,
     "parlocon: files listed 1,",
     true},
    {"LongDryRunWritesNothing", {"--dry-run", "job.bfs"}, 0, kRunOut, nullptr, false},
    {"LoneDashIsAName", {"-"}, 2, nullptr, "parlocon: cannot read the settings file", false},
    {"Help", {"--help"}, 0, "Usage: parlocon", nullptr, false},
    {"HelpAfterAnOption", {"--stats", "--help", "job.bfs"}, 0, "Usage: parlocon", nullptr, false},
    {"Version", {"--version"}, 0, "parlocon 1.0.1.125\n", nullptr, false},
    {"UnknownLongOption",
     {"--bogus", "job.bfs"},
     64,
     nullptr,
     "parlocon: unknown option --bogus\n",
     false},
    {"UnknownShortOption", {"-x", "job.bfs"}, 64, nullptr, "parlocon: unknown option -x\n", false},
    {"OptionWithValue",
     {"--dry-run=yes", "job.bfs"},
     64,
     nullptr,
     "parlocon: unknown option --dry-run=yes\n",
     false},
    {"NameStartingWithDash",
     {"-job.bfs"},
     64,
     nullptr,
     "parlocon: unknown option -job.bfs\n",
     false},
    {"OptionsWithoutSettingsFile",
     {"--stats"},
     64,
     nullptr,
     "parlocon: no settings file named\n",
     false},
    {"DoubleDashAlone", {"--"}, 64, nullptr, "parlocon: no settings file named\n", false},
    {"JobKeyOptionsBothWays",
     {"--progress", "--retries=2", "--retry-wait", "0", "--time-tolerance=4", "--ignore-hour-shift",
      "--exclude=*.tmp", "--exclude", "x", "job.bfs"},
     0,
     kRunOut,
     nullptr,
     true},
    {"NumberBeyondAnyBoundTakesTheBound",
     {"--retries=99999999999999999999", "job.bfs"},
     0,
     kRunOut,
     nullptr,
     true},
    {"NegativeNumber",
     {"--retries=-1", "job.bfs"},
     64,
     nullptr,
     "parlocon: option --retries needs a whole number of 0 or more, not \"-1\"\n",
     false},
    {"NumberWithAUnit",
     {"--retry-wait=5s", "job.bfs"},
     64,
     nullptr,
     "parlocon: option --retry-wait needs a whole number of 0 or more, not \"5s\"\n",
     false},
    {"EmptyNumber",
     {"--time-tolerance=", "job.bfs"},
     64,
     nullptr,
     "parlocon: option --time-tolerance needs a whole number of 0 or more, not \"\"\n",
     false},
    {"SeparateValueTakesTheNextArgument",
     {"--retries", "job.bfs"},
     64,
     nullptr,
     "parlocon: option --retries needs a whole number of 0 or more, not \"job.bfs\"\n",
     false},
    {"ValueMissingAtTheEnd",
     {"--exclude"},
     64,
     nullptr,
     "parlocon: option --exclude needs a value\n",
     false},
    {"SwitchWithValue",
     {"--progress=1", "job.bfs"},
     64,
     nullptr,
     "parlocon: unknown option --progress=1\n",
     false},
    {"ParallelCopies", {"--parallel=3", "job.bfs"}, 0, kRunOut, nullptr, true},
    {"OneCopyAtATime", {"--parallel=1", "job.bfs"}, 0, kRunOut, nullptr, true},
    {"ParallelOfNone",
     {"--parallel=0", "job.bfs"},
     64,
     nullptr,
     "parlocon: option --parallel needs a whole number of 1 or more, not \"0\"\n",
     false},
    {"ParallelOfAWord",
     {"--parallel=many", "job.bfs"},
     64,
     nullptr,
     "parlocon: option --parallel needs a whole number of 1 or more, not \"many\"\n",
     false},
};

INSTANTIATE_TEST_SUITE_P(Cases, OptionsTest, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(OptionsTest, UsageErrorShowsTheUsageOnStandardError) {
  auto result = RunProgram({PARLOCON_PATH, "--bogus"});
  auto help = RunProgram({PARLOCON_PATH, "--help"});

  EXPECT_EQ(result.err, "parlocon: unknown option --bogus\n" + help.out);
  EXPECT_THAT(result.err, ::testing::HasSubstr(kUsageAfter));
}

}  // namespace
