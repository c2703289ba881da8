// The summary's counter sits between the run and the file system; it must hand every copy on
// unchanged, including the stamp that tells the run whether a source changed meanwhile.
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "console/run_statistics.h"
#include "engine/platform/forwarding_file_system.h"

namespace {

using platform::IoResult;
using platform::SourceStamp;

// Answers copies without touching the disk and writes down what it was asked.
class CopyRecorder : public platform::ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;
  IoResult CopyOver(const std::string&, const std::string&, SourceStamp expected,
                    SourceStamp* copied) override {
    expected_stamps.push_back(expected);
    *copied = 42;
    IoResult refused;
    refused.os_code = 1;
    refused.message = "copy: changed";
    return expected == 99 ? refused : IoResult{};
  }
  std::vector<SourceStamp> expected_stamps;
};

TEST(CountingFileSystemTest, PassesStampedCopiesOnAndCountsOnlyThoseMade) {
  CopyRecorder inner(platform::DefaultFileSystem());
  console::CountingFileSystem counting(inner, /*dry_run=*/false);
  SourceStamp copied = 0;

  EXPECT_TRUE(counting.CopyOver("/nowhere/a", "/nowhere/b", 7, &copied).ok());
  EXPECT_EQ(copied, 42u);
  EXPECT_FALSE(counting.CopyOver("/nowhere/a", "/nowhere/b", 99, &copied).ok());

  EXPECT_THAT(inner.expected_stamps, ::testing::ElementsAre(7u, 99u));
  EXPECT_EQ(counting.copies(), 1u);
}

}  // namespace
