// Last-write times compared in the local time of a zone whose clocks go back: in Berlin on
// 2023-10-29 the hour from 02:00 to 03:00 came twice. A run converts every time with one
// offset, so a file rewritten in the second 02:30 differs from its master copy of the first,
// and files written in summer and in winter still compare equal to their own copies.
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

constexpr char kZone[] = "Europe/Berlin";
constexpr int64_t kSummerHalfPastTwo = 1698539400LL * kSecondNs;  // 00:30 UTC, 02:30 CEST
constexpr int64_t kWinterHalfPastTwo = 1698543000LL * kSecondNs;  // 01:30 UTC, 02:30 CET

struct FileVersion {
  const char* path;
  const char* content;
  int64_t mtime_ns;
};

struct RepeatedHourCase {
  const char* name;
  std::vector<FileVersion> source;
  std::vector<FileVersion> in_targets;  // put in every destination and the master first
  int copies;                           // "Copy " lines of the first run
};

void PrintTo(const RepeatedHourCase& c, std::ostream* os) {
  *os << c.name;
}

class RepeatedHourTest : public ReliabilityTest,
                         public ::testing::WithParamInterface<RepeatedHourCase> {};

TEST_P(RepeatedHourTest, DifferentInstantsDifferAndEqualOnesStayEqual) {
  const RepeatedHourCase& c = GetParam();
  if (access(("/usr/share/zoneinfo/" + std::string(kZone)).c_str(), R_OK) != 0) {
    GTEST_SKIP() << "the zone " << kZone << " is not installed (package tzdata)";
  }
  MakeFolder("src");
  for (const FileVersion& file : c.source)
    PutFile(PathOf("src/") + file.path, file.content, file.mtime_ns);
  for (const std::string& target : Targets()) {
    MakeFolder(target.substr(root_.string().size() + 1));
    for (const FileVersion& file : c.in_targets) {
      PutFile(target + "/" + file.path, file.content, file.mtime_ns);
    }
  }
  const std::string settings = WriteDefaultSettings();

  for (int run_number = 1; run_number <= 2; ++run_number) {
    SCOPED_TRACE("run " + std::to_string(run_number));
    std::string out, err;
    Ended ended = RunToEnd({"/usr/bin/env", "TZ=" + std::string(kZone), PARLOCON_PATH, settings},
                           PathOf(), &out, &err);
    int copy_lines = 0;
    for (size_t at = out.find("\r\nCopy "); at != std::string::npos;
         at = out.find("\r\nCopy ", at + 1)) {
      ++copy_lines;
    }
    EXPECT_EQ(copy_lines, run_number == 1 ? c.copies : 0) << out;
    EXPECT_EQ(err, "");
    EXPECT_EQ(ended.exit_code, 0);
    EXPECT_THAT(TargetDifferences(), ::testing::IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Berlin, RepeatedHourTest,
    ::testing::Values(
        // Same size, so only the time can tell the new version from the master's.
        RepeatedHourCase{"RewrittenInTheSecondHalfPastTwo",
                         {{"a.txt", "second", kWinterHalfPastTwo}},
                         {{"a.txt", "first!", kSummerHalfPastTwo}},
                         3},
        RepeatedHourCase{"SummerAndWinterFilesSyncedThenRescanned",
                         {{"summer.txt", "summer", 1688211000LL * kSecondNs},  // 2023-07-01
                          {"winter.txt", "winter", 1673011800LL * kSecondNs},  // 2023-01-06
                          {"first.txt", "first", kSummerHalfPastTwo},
                          {"second.txt", "second", kWinterHalfPastTwo}},
                         {},
                         12}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
