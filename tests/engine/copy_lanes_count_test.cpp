// How many copies a run has under way at once, and the order copies start in when several
// destinations are served side by side: the reports stay destination after destination.
#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/copy_files.h"
#include "engine/load_options.h"
#include "engine/sync_run.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/recording_sink.h"

namespace {

using testing_support::MemoryFileSystem;
using testing_support::Native;
using testing_support::RecordingSink;

// Counts the copies under way at once, and takes "/net..." folders for network ones.
class CountingLanes : public MemoryFileSystem {
 public:
  platform::IoResult CopyOver(const std::string& from, const std::string& to,
                              platform::SourceStamp expected,
                              platform::SourceStamp* copied) override {
    const int now = ++under_way_;
    int seen = most_;
    while (now > seen && !most_.compare_exchange_weak(seen, now)) {
    }
    platform::IoResult result = MemoryFileSystem::CopyOver(from, to, expected, copied);
    --under_way_;
    return result;
  }
  bool WaitsOnNetwork(const std::string& folder) override {
    return folder.find("net") != std::string::npos;
  }
  std::atomic<int> under_way_{0};
  std::atomic<int> most_{0};
};

struct LanesCase {
  const char* name;
  int processors;  // the file system's own count
  const char* destinations;
  const char* parallel_key;  // nullptr: none in the settings file
  int parallel_option;
  int lanes;
};

void PrintTo(const LanesCase& c, std::ostream* os) {
  *os << c.name;
}

class LanesTest : public ::testing::TestWithParam<LanesCase> {};

TEST_P(LanesTest, TheRunHasAsManyCopiesUnderWayAsChosen) {
  const LanesCase& c = GetParam();
  CountingLanes fs;
  fs.SetParallelCopies(c.processors);
  for (int i = 0; i < 200; ++i) fs.AddFile(Native("/s/f" + std::to_string(i)), "x");
  std::string keys = "SourceFolder=" + Native("/s") + "\nMasterFolder=" + Native("/m") +
                     "\nDestFolder=" + Native(c.destinations) + "\n";
  if (c.parallel_key != nullptr)
    keys += std::string("Parallel=") + c.parallel_key + "\n";
  fs.AddFile(Native("/job.bfs"), "[Main]\n" + keys);
  engine::LoadOptions(fs, Native("/job.bfs"), engine::Options);
  std::vector<std::string> targets;
  size_t from = 0;
  const std::string dests = Native(c.destinations);
  for (size_t cut; (cut = dests.find(';', from)) != std::string::npos; from = cut + 1) {
    targets.push_back(dests.substr(from, cut - from));
  }
  targets.push_back(dests.substr(from));
  targets.push_back(Native("/m"));
  for (const std::string& target : targets) fs.AddFolder(target);
  const int key = engine::Options.Parallel;

  EXPECT_EQ(engine::CopyLanesFor(fs, targets, c.parallel_option > 0 ? c.parallel_option : key),
            c.lanes);
  RecordingSink sink;
  engine::OptionOverrides overrides;
  if (c.parallel_option > 0)
    overrides.parallel = c.parallel_option;
  engine::RunSync(fs, Native("/job.bfs"), overrides, sink);
  EXPECT_THAT(sink.failures, ::testing::IsEmpty());
  EXPECT_LE(fs.most_.load(), c.lanes);
  if (c.lanes == 1) {
    EXPECT_EQ(fs.most_.load(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanesTest,
    ::testing::Values(
        LanesCase{"OnePerProcessorForLocalTargets", 2, "/a;/b", nullptr, 0, 2},
        LanesCase{"FourMoreForEachNetworkDestination", 2, "/net1;/b;/net2", nullptr, 0, 10},
        LanesCase{"AtMostSixteenByThemselves", 4, "/net1;/net2;/net3;/net4", nullptr, 0, 16},
        LanesCase{"TheSettingsKey", 2, "/net1", "3", 0, 3},
        LanesCase{"TheOptionOverTheKey", 2, "/net1", "3", 1, 1},
        LanesCase{"AKeyOfNoneOrAWordTakesTheDefault", 2, "/a", "0", 0, 2},
        LanesCase{"AWord", 2, "/a", "many", 0, 2},
        LanesCase{"AtMostSixtyFour", 2, "/a", "500", 0, 64},
        LanesCase{"OneWhereTheFileSystemAllowsOne", 1, "/net1", "8", 0, 1}),
    [](const auto& row) { return std::string(row.param.name); });

// Copies into the second destination start long before the first destination's are all
// reported; the reports still come destination after destination, file by file.
TEST(SideBySideTest, LaterDestinationsStartEarlyAndReportInTurn) {
  constexpr int kFiles = 40;
  for (int lanes : {1, 4}) {
    MemoryFileSystem fs;
    fs.SetParallelCopies(lanes);
    for (int i = 0; i < kFiles; ++i) fs.AddFile(Native("/s/f" + std::to_string(i)), "x");
    fs.AddFolder(Native("/m"));
    fs.AddFile(Native("/job.bfs"), "[Main]\nSourceFolder=" + Native("/s") + "\nMasterFolder=" +
                                       Native("/m") + "\nDestFolder=" + Native("/one;/two") + "\n");
    RecordingSink sink;
    engine::RunSync(fs, Native("/job.bfs"), sink);

    std::vector<std::string> expected = {"Start", "Status Get list of files...",
                                         "Total " + std::to_string(3 * kFiles)};
    for (int target = 0; target < 3; ++target) {
      for (const engine::FileEntry& file : engine::CopyList) {
        expected.push_back("Step");
        expected.push_back("Status Copy " + file.Name);
      }
    }
    expected.push_back("Finish");
    EXPECT_EQ(sink.events, expected) << lanes;
    const std::vector<std::string> copies = fs.Log("copy");
    const auto first_two = std::find_if(copies.begin(), copies.end(), [](const std::string& c) {
      return c.find(Native("/two/")) != std::string::npos;
    });
    const long started_before = first_two - copies.begin();  // copies before the first to /two
    if (lanes == 1) {
      EXPECT_EQ(started_before, kFiles);
    } else {
      EXPECT_LT(started_before, 3 * lanes) << "the second destination waited its turn";
    }
  }
}

}  // namespace
