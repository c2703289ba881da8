// The order a run gives names in, seen by strace: every destination's copies are flushed to
// disk (one syncfs per file system) after its last copy and before the master gets its first,
// so that a power cut can never leave the master recording a copy that did not reach a
// destination. A run that copies nothing into a destination flushes nothing.
#include <unistd.h>

#include <map>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"
#include "tests/reliability/support/strace_calls.h"

namespace reliability {
namespace {

struct FlushCase {
  const char* name;
  std::vector<std::string> options;
  bool changed;       // the source holds files the targets lack
  bool destinations;  // the job has its two destinations
  bool master;        // the job has a master folder
  int flushes;
};

void PrintTo(const FlushCase& c, std::ostream* os) {
  *os << c.name;
}

class FlushOrderTest : public ReliabilityTest, public ::testing::WithParamInterface<FlushCase> {
 protected:
  bool Under(const std::string& path, const std::string& target) {
    const std::string folder = PathOf(target) + "/";
    return path.compare(0, folder.size(), folder) == 0;
  }
};

TEST_P(FlushOrderTest, DestinationsAreFlushedAfterTheirCopiesAndBeforeTheMaster) {
  const FlushCase& c = GetParam();
  const std::string no_strace = StraceUnavailable();
  if (!no_strace.empty())
    GTEST_SKIP() << no_strace;
  MoveIntoRam("64m");
  // dest1 on a file system of its own; dest2 and the master share the test's.
  MakeFolder("dest1");
  TmpfsMount dest1_mount(PathOf("dest1"), "size=16m");
  if (!dest1_mount.mounted())
    GTEST_SKIP() << dest1_mount.refusal();
  for (int f = 0; f < 4; ++f) {
    for (int i = 0; i < 10; ++i) {
      PutFile(WriteFile("src/d" + std::to_string(f) + "/file" + std::to_string(i), ""),
              std::string(100 * i, 'x'), kBaseTimeNs);
    }
  }
  const std::string settings =
      WriteSettings(PathOf("src"), c.master ? PathOf("master") : "",
                    c.destinations ? std::vector<std::string>{PathOf("dest1"), PathOf("dest2")}
                                   : std::vector<std::string>{});
  if (!c.changed) {
    ASSERT_EQ(Run(settings).ended.exit_code, 0);
  }

  // The leak checker of a sanitizer build cannot work under a tracer.
  std::vector<std::string> argv = {
      kStrace,      "-f",
      "-qq",        "-y",
      "-s",         "4096",
      "-o",         PathOf("trace"),
      "-e",         "trace=syncfs,rename,renameat,renameat2,link,linkat",
      "-E",         "ASAN_OPTIONS=detect_leaks=0",
      PARLOCON_PATH};
  argv.insert(argv.end(), c.options.begin(), c.options.end());
  argv.push_back(settings);
  std::string err;
  const Ended ended = RunToEnd(argv, PathOf(), nullptr, &err);
  ASSERT_EQ(ended.exit_code, 0) << err;

  const std::vector<Call> calls = ReadTrace(PathOf("trace"));
  int flushes = 0, first_flush = INT32_MAX, last_flush = -1, first_master = INT32_MAX;
  std::map<std::string, int> last_copy, flushes_of, names;  // by target
  for (const Call& call : calls) {
    EXPECT_TRUE(call.ok) << call.name << " " << call.path;
    for (const char* dest : {"dest1", "dest2"}) {
      if (!Under(call.path, dest))
        continue;
      if (call.name == "syncfs") {
        ++flushes_of[dest];
      } else {
        last_copy[dest] = std::max(last_copy[dest], call.end);
        ++names[dest];
      }
    }
    if (call.name == "syncfs") {
      ++flushes;
      first_flush = std::min(first_flush, call.start);
      last_flush = std::max(last_flush, call.end);
    } else if (Under(call.path, "master")) {
      first_master = std::min(first_master, call.start);
      ++names["master"];
    }
  }
  EXPECT_EQ(flushes, c.flushes);
  for (const auto& [dest, line] : last_copy) {
    EXPECT_EQ(flushes_of[dest], c.flushes > 0 ? 1 : 0)
        << dest << " is flushed once, through a folder of its own";
    EXPECT_LT(line, first_flush) << dest << " received a copy after a flush";
  }
  EXPECT_LT(last_flush, first_master) << "the master received a copy before the last flush";
  for (const auto& [dest, line] : last_copy) {
    EXPECT_LT(line, first_master) << dest << " received a copy after the master's first";
  }
  // Each of the 40 files got at least one name in each target written.
  const bool written = c.changed && c.options.empty();
  EXPECT_GE(names["master"], written && c.master ? 40 : 0);
  EXPECT_GE(names["dest1"], written && c.destinations ? 40 : 0);
  EXPECT_GE(names["dest2"], written && c.destinations ? 40 : 0);
  // A dry run writes nothing; a job without destinations or master leaves those empty.
  EXPECT_EQ(TargetDifferences().empty(), c.destinations && c.master && c.options.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FlushOrderTest,
    ::testing::Values(FlushCase{"CopiesIntoTwoFileSystems", {}, true, true, true, 2},
                      FlushCase{"NothingChanged", {}, false, true, true, 0},
                      FlushCase{"OnlyAMaster", {}, true, false, true, 0},
                      FlushCase{"NoMasterToRecordThem", {}, true, true, false, 0},
                      FlushCase{"DryRun", {"--dry-run"}, true, true, true, 0}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
