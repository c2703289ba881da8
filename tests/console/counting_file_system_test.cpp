// The summary's counter sits between the run and the file system; it must hand every copy on
// unchanged, including the stamp that tells the run whether a source changed meanwhile.
#include <gtest/gtest.h>

#include "console/run_statistics.h"
#include "tests/support/memory_file_system.h"

namespace {

using platform::SourceStamp;
using testing_support::Native;

TEST(CountingFileSystemTest, PassesStampedCopiesOnAndCountsOnlyThoseMade) {
  testing_support::MemoryFileSystem inner;
  inner.AddFile(Native("/a"), "abc");
  console::CountingFileSystem counting(inner, /*dry_run=*/false);
  SourceStamp copied = 0, again = 0;

  EXPECT_TRUE(counting.CopyOver(Native("/a"), Native("/b"), 0, &copied).ok());
  EXPECT_NE(copied, 0u);
  EXPECT_TRUE(counting.CopyOver(Native("/a"), Native("/c"), copied, &again).ok());
  EXPECT_EQ(again, copied);
  // A stamp the source no longer has: the copy is refused, and not counted.
  EXPECT_FALSE(counting.CopyOver(Native("/a"), Native("/d"), copied + 1, &again).ok());

  EXPECT_EQ(inner.Content(Native("/c")), "abc");
  EXPECT_FALSE(inner.Exists(Native("/d")));
  EXPECT_EQ(counting.copies(), 2u);
}

}  // namespace
