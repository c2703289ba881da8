// The keys TimeTolerance, IgnoreHourShift and Exclude, and the options that change them for one
// run, on real folders through the real program: which files a run hands out, which folders it
// makes, that a dry run says the same, and that a settings file without them (or with their
// defaults written out) runs exactly as before.
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir_test.h"

namespace {

using testing_support::RunProgram;

constexpr long long kTime = 1685620800;  // 2023-06-01 12:00:00 UTC, an even second

struct JobKeysCase {
  const char* name;
  const char* keys;  // lines added to [Main]
  std::vector<std::string> options;
  std::vector<std::string> copied;  // source files handed out, relative to src
  std::vector<std::string> dest;    // what the destination holds afterwards
};

void PrintTo(const JobKeysCase& c, std::ostream* os) {
  *os << c.name;
}

class JobKeysTest : public testing_support::TempDirTest,
                    public testing::WithParamInterface<JobKeysCase> {
 protected:
  // Files whose master copies are as many seconds off as their name says, new files, and a
  // new folder; the master holds the files of the top folder.
  void MakeTree() {
    const std::pair<const char*, long long> masters[] = {
        {"same.txt", 0},    {"off2.txt", -2},    {"off4.txt", -4},
        {"hour.txt", 3600}, {"hour2.txt", 3602}, {"hourless2.txt", -3598}};
    for (const auto& [name, off] : masters) {
      WriteFile(std::string("src/") + name, name);
      SetTime(std::string("src/") + name, kTime);
      WriteFile(std::string("master/") + name, name);
      SetTime(std::string("master/") + name, kTime + off);
    }
    WriteFile("src/new.tmp", "t");
    WriteFile("src/build/x.txt", "x");
    WriteFile("src/build/deep/y.txt", "y");
    WriteFile("src/keep/z.txt", "z");
    WriteFile("src/keep/build/w.txt", "w");
    MakeFolder("dest");
  }
  std::vector<std::string> Argv(const std::vector<std::string>& options, bool dry) {
    std::vector<std::string> argv = {PARLOCON_PATH};
    if (dry)
      argv.push_back("--dry-run");
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(PathOf("job.bfs"));
    return argv;
  }
};

TEST_P(JobKeysTest, HandsOutWhatTheKeysAndOptionsLeave) {
  const JobKeysCase& c = GetParam();
  MakeTree();
  WriteFile("job.bfs", "[Main]\nSourceFolder=" + PathOf("src") + "\nMasterFolder=" +
                           PathOf("master") + "\nDestFolder=" + PathOf("dest") + "\n" + c.keys);

  auto dry = RunProgram(Argv(c.options, true));
  EXPECT_THAT(ListTree("dest"), testing::IsEmpty()) << "the dry run wrote nothing";
  auto run = RunProgram(Argv(c.options, false));

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(dry.out, run.out);
  EXPECT_EQ(dry.err, run.err);
  EXPECT_EQ(dry.exit_code, run.exit_code);
  std::set<std::string> copied;
  const std::string prefix = "Copy " + PathOf("src") + "/";
  for (size_t at = run.out.find(prefix); at != std::string::npos;
       at = run.out.find(prefix, at + 1)) {
    copied.insert(run.out.substr(at + prefix.size(), run.out.find('\r', at) - at - prefix.size()));
  }
  EXPECT_THAT(copied, testing::UnorderedElementsAreArray(c.copied));
  EXPECT_THAT(ListTree("dest"), testing::ElementsAreArray(c.dest));
  // The next run finds nothing more to hand out.
  auto again = RunProgram(Argv(c.options, false));
  EXPECT_EQ(again.out, "Get list of files...\r\n");
}

const std::vector<std::string> kEveryFolder = {
    "build/", "build/deep/", "build/deep/y.txt", "build/x.txt",
    "keep/",  "keep/build/", "keep/build/w.txt", "keep/z.txt"};

std::vector<std::string> Dest(std::vector<std::string> files, bool with_folders = true) {
  if (with_folders)
    files.insert(files.end(), kEveryFolder.begin(), kEveryFolder.end());
  std::sort(files.begin(), files.end());
  return files;
}

const std::vector<std::string> kNew = {"new.tmp", "build/x.txt", "build/deep/y.txt", "keep/z.txt",
                                       "keep/build/w.txt"};

std::vector<std::string> Copied(std::vector<std::string> files) {
  files.insert(files.end(), kNew.begin(), kNew.end());
  return files;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, JobKeysTest,
    testing::Values(
        JobKeysCase{
            "FourteenKeysAlone",
            "",
            {},
            Copied({"off2.txt", "off4.txt", "hour.txt", "hour2.txt", "hourless2.txt"}),
            Dest({"off2.txt", "off4.txt", "hour.txt", "hour2.txt", "hourless2.txt", "new.tmp"})},
        JobKeysCase{
            "DefaultsWrittenOut",
            "TimeTolerance=0\nIgnoreHourShift=0\nExclude=\nRetries=0\nRetryWait=5\n",
            {},
            Copied({"off2.txt", "off4.txt", "hour.txt", "hour2.txt", "hourless2.txt"}),
            Dest({"off2.txt", "off4.txt", "hour.txt", "hour2.txt", "hourless2.txt", "new.tmp"})},
        JobKeysCase{"ToleranceKey",
                    "TimeTolerance=2\n",
                    {},
                    Copied({"off4.txt", "hour.txt", "hour2.txt", "hourless2.txt"}),
                    Dest({"off4.txt", "hour.txt", "hour2.txt", "hourless2.txt", "new.tmp"})},
        JobKeysCase{"ToleranceOption",
                    "",
                    {"--time-tolerance=2"},
                    Copied({"off4.txt", "hour.txt", "hour2.txt", "hourless2.txt"}),
                    Dest({"off4.txt", "hour.txt", "hour2.txt", "hourless2.txt", "new.tmp"})},
        JobKeysCase{
            "OptionOverridesTheKey",
            "TimeTolerance=4\n",
            {"--time-tolerance", "0"},
            Copied({"off2.txt", "off4.txt", "hour.txt", "hour2.txt", "hourless2.txt"}),
            Dest({"off2.txt", "off4.txt", "hour.txt", "hour2.txt", "hourless2.txt", "new.tmp"})},
        JobKeysCase{"HourShiftKey",
                    "IgnoreHourShift=1\n",
                    {},
                    Copied({"off2.txt", "off4.txt", "hour2.txt", "hourless2.txt"}),
                    Dest({"off2.txt", "off4.txt", "hour2.txt", "hourless2.txt", "new.tmp"})},
        JobKeysCase{"HourShiftWithinTheTolerance",
                    "IgnoreHourShift=1\nTimeTolerance=2\n",
                    {},
                    Copied({"off4.txt"}),
                    Dest({"off4.txt", "new.tmp"})},
        JobKeysCase{"HourShiftOptions",
                    "",
                    {"--ignore-hour-shift", "--time-tolerance=2"},
                    Copied({"off4.txt"}),
                    Dest({"off4.txt", "new.tmp"})},
        JobKeysCase{"ExcludeKey",
                    "Exclude=*.tmp;build;off?.txt\n",
                    {},
                    {"hour.txt", "hour2.txt", "hourless2.txt", "keep/z.txt"},
                    {"hour.txt", "hour2.txt", "hourless2.txt", "keep/", "keep/z.txt"}},
        JobKeysCase{"ExcludeOptions",
                    "",
                    {"--exclude=*.tmp", "--exclude", "build;off?.txt"},
                    {"hour.txt", "hour2.txt", "hourless2.txt", "keep/z.txt"},
                    {"hour.txt", "hour2.txt", "hourless2.txt", "keep/", "keep/z.txt"}},
        JobKeysCase{"ExcludeOptionAddsToTheKey",
                    "Exclude=*.tmp\nTimeTolerance=4\nIgnoreHourShift=1\n",
                    {"--exclude=keep"},
                    {"build/x.txt", "build/deep/y.txt"},
                    {"build/", "build/deep/", "build/deep/y.txt", "build/x.txt"}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
