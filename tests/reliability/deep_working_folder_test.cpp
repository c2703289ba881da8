// A settings file named bare, from a current folder deeper than PATH_MAX, where no full path
// can name it: the program reads it and runs it from the current folder, as "cat" can.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <ostream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

constexpr int kLevels = 24;  // of 200-byte names: about 4,800 bytes below the test's folder

struct DeepCase {
  const char* name;
  std::string argument;
  int exit_code;
  std::string err;
};

void PrintTo(const DeepCase& c, std::ostream* os) {
  *os << c.name;
}

class DeepWorkingFolderTest : public ReliabilityTest,
                              public ::testing::WithParamInterface<DeepCase> {
 protected:
  void TearDown() override {
    if (bottom_ >= 0)
      close(bottom_);
    ReliabilityTest::TearDown();
  }
  int bottom_ = -1;
};

TEST_P(DeepWorkingFolderTest, ReadsAndRunsABareNameFromTheCurrentFolder) {
  const DeepCase& c = GetParam();
  for (int i = 0; i < 3; ++i) {
    PutFile(WriteFile("src/sub/f" + std::to_string(i), ""), "file " + std::to_string(i),
            kBaseTimeNs + i * kSecondNs);
  }
  for (const char* target : {"dest1", "dest2", "master"}) MakeFolder(target);
  // The settings file lies at the bottom, written through open folders.
  const std::string settings = WriteDefaultSettings();
  MakeFolder("deep");
  bottom_ = open(PathOf("deep").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const std::string level_name(200, 'd');
  size_t depth = PathOf("deep").size();
  for (int level = 0; level < kLevels; ++level) {
    ASSERT_EQ(mkdirat(bottom_, level_name.c_str(), 0755), 0);
    const int next = openat(bottom_, level_name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(next, 0);
    close(bottom_);
    bottom_ = next;
    depth += 1 + level_name.size();
  }
  ASSERT_GT(depth, size_t{PATH_MAX});
  PutFileAt(bottom_, "job.bfs", ReadFile("job.bfs"), kBaseTimeNs);
  StartOptions start;
  start.working_folder_fd = bottom_;
  std::string out, err;

  const Ended ended = RunToEnd(Command(c.argument), "", start, &out, &err);

  EXPECT_EQ(ended.exit_code, c.exit_code) << err;
  EXPECT_EQ(err, c.err);
  if (c.exit_code == 0) {
    EXPECT_THAT(out, ::testing::StartsWith("Get list of files...\r\nCopy " + PathOf("src")));
    EXPECT_THAT(TargetDifferences(), ::testing::IsEmpty());
  } else {
    EXPECT_EQ(out, "");
    EXPECT_THAT(ReadTree(PathOf("master")).files, ::testing::IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, DeepWorkingFolderTest,
    ::testing::Values(DeepCase{"SettingsFileThere", "job.bfs", 0, ""},
                      // Named as it was given, as other programs name a missing file.
                      DeepCase{"NoSuchFile", "other.bfs", 2,
                               "parlocon: cannot read the settings file: read other.bfs: No such "
                               "file or directory\n"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
